#include "Localisation.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>

#include <initializer_list>
#include <utility>

namespace quirindo::ui {

namespace {

// Index of the "&" that marks the caption's letter; -1 if none ("&&" is a
// literal ampersand, not a mark).
qsizetype MarkIndex(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) continue;
        if (text[i + 1] != QLatin1Char('&')) return i;
        ++i;
    }
    return -1;
}

bool IsWordStart(const QString& text, qsizetype i) {
    return i == 0 || !text[i - 1].isLetterOrNumber();
}

bool IsPlain(QChar c) {
    return c.unicode() < 128 && c.isLetterOrNumber();
}

// Where the "&" goes in `text` so that its letter is not in `used`: a word's
// initial first, then any letter, plain ASCII before accented letters
// (those are awkward or missing on many keyboards); -1 if every letter is
// taken.
qsizetype ChooseLetter(const QString& text, const QSet<QChar>& used) {
    const auto pick = [&](bool initialsOnly, bool plainOnly) -> qsizetype {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (!c.isLetterOrNumber() || (plainOnly && !IsPlain(c))) continue;
            if (initialsOnly && !IsWordStart(text, i)) continue;
            if (!used.contains(c.toLower())) return i;
        }
        return -1;
    };
    for (const auto& [initials, plain] : {std::pair{true, true}, std::pair{false, true},
                                          std::pair{true, false}, std::pair{false, false}})
        if (const qsizetype i = pick(initials, plain); i >= 0) return i;
    return -1;
}

void Assign(const QList<QAction*>& actions) {
    // Letters already marked are kept (the recent files' numbers), so they
    // are claimed before any other item chooses.
    QSet<QChar> used;
    for (const QAction* a : actions)
        if (const QChar c = MnemonicOf(a->text()); !c.isNull()) used.insert(c);
    for (QAction* a : actions) {
        if (a->isSeparator() || a->text().isEmpty()) continue;
        if (MarkIndex(a->text()) < 0) {
            QString text = a->text();
            const qsizetype at = ChooseLetter(text, used);
            if (at >= 0) {
                used.insert(text[at].toLower());
                text.insert(at, QLatin1Char('&'));
                a->setText(text);
            }
        }
        if (a->menu()) AssignMnemonics(a->menu());
    }
}

} // namespace

QChar MnemonicOf(const QString& text) {
    const qsizetype i = MarkIndex(text);
    return i < 0 ? QChar() : text[i + 1].toLower();
}

void AssignMnemonics(QMenu* menu) {
    if (menu) Assign(menu->actions());
}

void AssignMnemonics(QMenuBar* bar) {
    if (bar) Assign(bar->actions());
}

QString KeepMnemonic(const QString& previous, const QString& text) {
    const QChar letter = MnemonicOf(previous);
    if (letter.isNull() || MarkIndex(text) >= 0) return text;
    // The letter at a word's start if it is one there, as it was chosen.
    qsizetype at = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].toLower() != letter) continue;
        if (IsWordStart(text, i)) {
            at = i;
            break;
        }
        if (at < 0) at = i;
    }
    if (at < 0) return text;
    QString marked = text;
    marked.insert(at, QLatin1Char('&'));
    return marked;
}

} // namespace quirindo::ui
