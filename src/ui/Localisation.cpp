#include "Localisation.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractPrintDialog>
#include <QAbstractSpinBox>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QErrorMessage>
#include <QFrame>
#include <QFileDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QRadioButton>
#include <QSet>
#include <QTabBar>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <deque>

namespace quirindo::ui {
namespace {

class TPass {
public:
    explicit TPass(const TTextLookup& lookup) : FLookup(lookup) {}

    void Run(const QList<QObject*>& roots) {
        std::deque<QObject*> pending;
        for (QObject* root : roots)
            if (root && Mark(root)) pending.push_back(root);
        while (!pending.empty()) {
            QObject* p = pending.front();
            pending.pop_front();
            if (!Translate(p)) continue;
            const QObjectList& owned = p->children();
            for (auto it = owned.crbegin(); it != owned.crend(); ++it)
                if (Mark(*it)) pending.push_back(*it);
            // Actions shared from elsewhere, or made without an owner, are
            // reached through the lists of the widgets and groups using them.
            QList<QAction*> used;
            if (auto* w = qobject_cast<QWidget*>(p))
                used = w->actions();
            else if (auto* g = qobject_cast<QActionGroup*>(p))
                used = g->actions();
            for (QAction* a : used)
                if (Mark(a)) pending.push_back(a);
        }
        // Once each window's labels all have their new texts.
        for (QWidget* window : FLabelWindows) {
            MakeRoomBesideLabels(window);
            FitFixedWindowToLabels(window);
        }
    }

private:
    bool Mark(QObject* o) {
        if (FVisited.contains(o)) return false;
        FVisited.insert(o);
        return true;
    }

    QString T(const QString& text) const { return text.isEmpty() ? text : FLookup(text); }

    // Translates the texts of `o`; false when its insides are not to be
    // walked (composite widgets whose parts show what the widget holds, and
    // Qt's own dialogs, which bring their own texts).
    bool Translate(QObject* o) {
        if (o->property(kNoTranslateProperty).toBool()) return false;
        if (auto* a = qobject_cast<QAction*>(o)) {
            TranslateAction(a);
            return true;
        }
        auto* w = qobject_cast<QWidget*>(o);
        if (!w) return true;

        if (IsQtStandardDialog(w)) return false;
        if (w->isWindow() && !qobject_cast<QMenu*>(w)) w->setWindowTitle(T(w->windowTitle()));

        bool descend = true;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            label->setText(T(label->text()));
            GrowToText(label);
            FLabelWindows.insert(label->window());
        } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            auto* b = static_cast<QAbstractButton*>(w);
            b->setText(T(b->text()));
        } else if (auto* tool = qobject_cast<QToolButton*>(w); tool && tool->defaultAction()) {
            return true; // shows its action's text and tooltip, translated there
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            button->setText(T(button->text()));
        } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
            box->setTitle(T(box->title()));
        } else if (qobject_cast<QAbstractSpinBox*>(w)) {
            descend = false; // its text is a number
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            const int selected = combo->currentIndex();
            for (int i = 0; i < combo->count(); ++i)
                combo->setItemText(i, T(combo->itemText(i)));
            combo->setCurrentIndex(selected);
            descend = false;
        } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
            for (int c = 0; c < table->columnCount(); ++c)
                if (QTableWidgetItem* item = table->horizontalHeaderItem(c))
                    item->setText(T(item->text()));
            descend = false;
        } else if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
            if (QTreeWidgetItem* header = tree->headerItem())
                for (int c = 0; c < header->columnCount(); ++c)
                    header->setText(c, T(header->text(c)));
            descend = false;
        } else if (qobject_cast<QAbstractItemView*>(w)) {
            descend = false; // data views show data, not interface texts
        } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setTabText(i, T(tabs->tabText(i)));
                tabs->setTabToolTip(i, T(tabs->tabToolTip(i)));
            }
        } else if (auto* files = qobject_cast<QFileDialog*>(w)) {
            // Each filter is looked up whole, description and patterns.
            QStringList filters = files->nameFilters();
            for (QString& f : filters)
                f = T(f);
            files->setNameFilters(filters);
            descend = false;
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
            TranslateLines(memo->toPlainText(),
                           [memo](const QString& s) { memo->setPlainText(s); });
            descend = false;
        } else if (auto* rich = qobject_cast<QTextEdit*>(w)) {
            // Only a plain-text box is a memo; rich text would lose its markup.
            if (!rich->acceptRichText())
                TranslateLines(rich->toPlainText(),
                               [rich](const QString& s) { rich->setPlainText(s); });
            descend = false;
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            edit->setText(T(edit->text()));
        }
        // Every widget's hint, so that no German tooltip survives the pass.
        if (!w->toolTip().isEmpty()) w->setToolTip(T(w->toolTip()));
        // ... and no German name for screen readers.
        if (!w->accessibleName().isEmpty()) w->setAccessibleName(T(w->accessibleName()));
        return descend;
    }

    // A label placed by hand keeps the size its German text gave it; a
    // longer translation would be cut off, so it grows (never shrinks).
    static void GrowToText(QLabel* label) {
        const QWidget* parent = label->parentWidget();
        if (parent && parent->layout() && parent->layout()->indexOf(label) >= 0) return;
        const QSize hint = label->sizeHint();
        // One never sized by hand has only Qt's placeholder size so far and
        // takes its text's size, as it would when shown untranslated.
        if (!label->testAttribute(Qt::WA_Resized)) {
            label->resize(hint);
            return;
        }
        if (hint.width() > label->width() || hint.height() > label->height())
            label->resize(std::max(label->width(), hint.width()),
                          std::max(label->height(), hint.height()));
    }

    void TranslateLines(const QString& text, const std::function<void(const QString&)>& store) {
        if (text.isEmpty()) return;
        QStringList lines = text.split(QLatin1Char('\n'));
        for (QString& line : lines)
            line = T(line);
        const QString translated = lines.join(QLatin1Char('\n'));
        if (translated != text) store(translated);
    }

    void TranslateAction(QAction* a) {
        if (a->isSeparator()) return;
        const QString oldText = a->text();
        const QString oldTip = a->toolTip();
        // Without a tooltip of its own an action shows its text (without
        // "&" and "..."); that one follows the text and must not be looked
        // up a second time.
        const bool ownTip = oldTip != QAction(oldText).toolTip();
        const QString newText = T(oldText);
        if (newText != oldText) a->setText(newText);
        if (ownTip || (newText != oldText && a->toolTip() == oldTip)) a->setToolTip(T(oldTip));
    }

    static bool IsQtStandardDialog(const QWidget* w) {
        return qobject_cast<const QColorDialog*>(w) || qobject_cast<const QFontDialog*>(w) ||
               qobject_cast<const QMessageBox*>(w) || qobject_cast<const QInputDialog*>(w) ||
               qobject_cast<const QProgressDialog*>(w) || qobject_cast<const QErrorMessage*>(w) ||
               qobject_cast<const QAbstractPrintDialog*>(w) ||
               qobject_cast<const QPageSetupDialog*>(w);
    }

    const TTextLookup& FLookup;
    QSet<QObject*> FVisited;
    QSet<QWidget*> FLabelWindows;
};

} // namespace

void TranslateComponents(const QList<QObject*>& roots, const TTextLookup& lookup) {
    TPass(lookup).Run(roots);
}

void TranslateComponents(QObject* root, const TTextLookup& lookup) {
    TranslateComponents(QList<QObject*>{root}, lookup);
}

namespace {

bool IsPlacedByHand(const QWidget* w) {
    const QWidget* parent = w->parentWidget();
    return !(parent && parent->layout() && parent->layout()->indexOf(w) >= 0);
}

bool IsFixedSize(const QWidget* window) {
    return window && window->minimumSize() == window->maximumSize();
}

// Plain frames are the strips and bevels behind the controls.
bool IsBackdrop(const QWidget* w) {
    return w->metaObject() == &QFrame::staticMetaObject;
}

} // namespace

QRect ShownLabelGeometry(const QLabel* label) {
    // A label never resized by hand takes its text's size when shown.
    if (label->testAttribute(Qt::WA_Resized)) return label->geometry();
    return {label->pos(), label->sizeHint()};
}

void MakeRoomBesideLabels(QWidget* window) {
    if (!IsFixedSize(window)) return;
    constexpr int kGap = 4;
    QSet<QWidget*> parents;
    for (QLabel* label : window->findChildren<QLabel*>())
        if (IsPlacedByHand(label) && label->parentWidget()) parents.insert(label->parentWidget());
    for (QWidget* parent : parents) {
        const QList<QWidget*> siblings = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        // For each column of controls a label runs into, how far it moves.
        QMap<int, int> shiftOfColumn;
        QList<QRect> labelRows;
        for (const QWidget* w : siblings) {
            const auto* label = qobject_cast<const QLabel*>(w);
            if (!label || !IsPlacedByHand(label) || label->isHidden()) continue;
            const QRect text = ShownLabelGeometry(label);
            labelRows << text;
            for (const QWidget* other : siblings) {
                if (other == w || other->isHidden() || IsBackdrop(other) ||
                    !other->geometry().intersects(text) || other->x() <= text.x())
                    continue;
                int& shift = shiftOfColumn[other->x()];
                shift = std::max(shift, text.right() + 1 + kGap - other->x());
            }
        }
        // The whole column moves, so that fields under one another stay
        // aligned, and so does whatever stands right of it in its rows.
        QMap<QWidget*, int> moves;
        for (auto it = shiftOfColumn.cbegin(); it != shiftOfColumn.cend(); ++it) {
            for (QWidget* w : siblings) {
                if (w->x() != it.key() || IsBackdrop(w)) continue;
                const QRect g = w->geometry();
                if (std::none_of(labelRows.cbegin(), labelRows.cend(), [&g](const QRect& r) {
                        return r.top() <= g.bottom() && g.top() <= r.bottom();
                    }))
                    continue;
                for (QWidget* right : siblings)
                    if (right == w || (right->x() > w->x() && !IsBackdrop(right) &&
                                       right->y() <= g.bottom() && g.top() <= right->geometry().bottom()))
                        moves[right] = std::max(moves.value(right), it.value());
            }
        }
        for (auto it = moves.cbegin(); it != moves.cend(); ++it)
            it.key()->move(it.key()->x() + it.value(), it.key()->y());
    }
}

void FitFixedWindowToLabels(QWidget* window) {
    if (!IsFixedSize(window)) return;
    constexpr int kMargin = 8;
    const int old = window->width();
    int needed = old;
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (!IsPlacedByHand(label)) continue;
        const int width = std::max(label->width(), ShownLabelGeometry(label).width());
        needed = std::max(needed, label->mapTo(window, QPoint(width, 0)).x() + kMargin);
    }
    // Controls moved aside for a label must fit as well.
    for (const QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() || IsBackdrop(child)) continue;
        if (child->geometry().right() + 1 > old)
            needed = std::max(needed, child->geometry().right() + 1 + kMargin);
    }
    if (needed == old) return;
    const int delta = needed - old;
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QRect g = child->geometry();
        if (g.left() == 0 && g.width() == old)
            child->resize(needed, g.height());
        else if (std::abs(g.left() + g.left() + g.width() - old) <= 1)
            child->move(g.left() + delta / 2, g.top());
    }
    window->setFixedSize(needed, window->height());
}

QList<QObject*> ApplicationWindows(QObject* mainWindow) {
    QList<QWidget*> others;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != mainWindow && !w->parentWidget()) others << w;
    std::sort(others.begin(), others.end(), [](const QWidget* a, const QWidget* b) {
        const int byName = QString::compare(a->objectName(), b->objectName());
        if (byName != 0) return byName < 0;
        return qstrcmp(a->metaObject()->className(), b->metaObject()->className()) < 0;
    });
    QList<QObject*> roots{mainWindow};
    for (QWidget* w : others)
        roots << w;
    return roots;
}

} // namespace quirindo::ui
