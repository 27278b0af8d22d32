#include "Localisation.h"

#include <QAction>
#include <QMap>
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

// The places in `text` an "&" may go, best first and one per letter: a
// word's initial before other letters, plain ASCII before accented letters
// (those are awkward or missing on many keyboards); letters in `used` are
// left out.
QList<qsizetype> Candidates(const QString& text, const QSet<QChar>& used) {
    QList<qsizetype> out;
    QSet<QChar> seen = used;
    for (const auto& [initialsOnly, plainOnly] : {std::pair{true, true}, std::pair{false, true},
                                                  std::pair{true, false}, std::pair{false, false}})
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (!c.isLetterOrNumber() || (plainOnly && !IsPlain(c))) continue;
            if (initialsOnly && !IsWordStart(text, i)) continue;
            if (seen.contains(c.toLower())) continue;
            seen.insert(c.toLower());
            out << i;
        }
    return out;
}

// One letter per item, no letter twice. Taken in menu order, each item
// gets its best letter that is free; when none is, an earlier item moves
// on to another of its letters (augmenting paths), so that a short caption
// late in a long menu still gets one whenever the letters allow it.
struct TLetterMatch {
    const QList<QString>& Texts;
    const QList<QList<qsizetype>>& Places;
    QMap<QChar, int> Owner;
    QList<qsizetype> Chosen;

    bool Place(int item, QSet<QChar>& visited) {
        for (const qsizetype at : Places[item]) {
            const QChar c = Texts[item][at].toLower();
            if (visited.contains(c)) continue;
            visited.insert(c);
            const auto it = Owner.constFind(c);
            if (it == Owner.constEnd() || Place(it.value(), visited)) {
                Owner[c] = item;
                Chosen[item] = at;
                return true;
            }
        }
        return false;
    }
};

void Assign(const QList<QAction*>& actions) {
    // Letters already marked are kept (the recent files' numbers), so they
    // are claimed before any other item chooses.
    QSet<QChar> used;
    for (const QAction* a : actions)
        if (const QChar c = MnemonicOf(a->text()); !c.isNull()) used.insert(c);
    QList<QAction*> open;
    QList<QString> texts;
    QList<QList<qsizetype>> places;
    for (QAction* a : actions) {
        if (a->menu()) AssignMnemonics(a->menu());
        if (a->isSeparator() || a->text().isEmpty() || MarkIndex(a->text()) >= 0) continue;
        open << a;
        texts << a->text();
        places << Candidates(a->text(), used);
    }
    TLetterMatch match{texts, places, {}, QList<qsizetype>(open.size(), -1)};
    for (int i = 0; i < open.size(); ++i) {
        QSet<QChar> visited;
        (void)match.Place(i, visited);
    }
    for (int i = 0; i < open.size(); ++i) {
        if (match.Chosen[i] < 0) continue; // every letter taken: no mark
        QString text = texts[i];
        text.insert(match.Chosen[i], QLatin1Char('&'));
        open[i]->setText(text);
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
