#pragma once
// The interface translation pass: one walk over every window created at
// start, replacing each German caption, hint, list text, header title,
// filter and memo line by its translation. It runs once, at the first
// showing of the main window, and only for a language other than German.

#include <QList>
#include <QString>
#include <functional>

class QLabel;
class QMenu;
class QMenuBar;
class QObject;
class QRect;
class QWidget;

namespace quirindo::ui {

// Widgets carrying this dynamic property (any value that converts to true)
// keep their texts, and so do the widgets inside them: the text dialog's
// Unicode text box holds the user's own text, and the translation editor's
// record edit shows a table cell that translating would overwrite.
inline constexpr const char* kNoTranslateProperty = "quirindoNoTranslate";

// Turns one German text into the current language; an unknown or empty text
// comes back unchanged.
using TTextLookup = std::function<QString(const QString&)>;

// Breadth first over QObject ownership from `roots`, each object visited
// once; actions reached only through a widget's or a group's action list are
// visited as well. Within one owner the children are taken last to first.
void TranslateComponents(const QList<QObject*>& roots, const TTextLookup& lookup);
void TranslateComponents(QObject* root, const TTextLookup& lookup);

// The windows of the running application: `mainWindow` first, then every
// other top-level widget without a parent widget (dialogs parented to the
// main window are reached through it), ordered by object name so that the
// texts a first start collects are met in the same order every time.
QList<QObject*> ApplicationWindows(QObject* mainWindow);

// A window of fixed size whose controls are placed by hand widens until
// every label fits, 8 pixels from the right edge: strips that spanned the
// whole width stretch along and controls that were centred stay centred.
// Windows of a size the user can change are left alone.
void FitFixedWindowToLabels(QWidget* window);

// In a window of fixed size, a control a label runs into moves right until
// it stands beside the label, together with the controls in its column and
// those right of it in its rows.
void MakeRoomBesideLabels(QWidget* window);

// Where a label placed by hand shows its text: its size once resized by
// hand, its text's size otherwise (such a label takes that size when shown).
QRect ShownLabelGeometry(const QLabel* label);

} // namespace quirindo::ui

namespace quirindo::ui {

// Gives every item of `menu` (and of its submenus) an Alt+letter of its own
// in the language it now shows: an item keeping a "&" already keeps its
// letter; the others get a word's initial where they can, else another
// letter or digit, plain ASCII before accented letters, an earlier item
// giving way when a later one would otherwise be left without.
// Runs after the translation pass, so each language gets letters of its own.
void AssignMnemonics(QMenu* menu);
void AssignMnemonics(QMenuBar* bar);

// `text` with the Alt+letter `previous` had, where that letter still occurs;
// for captions rewritten while the program runs ("Rückgängig: Radieren").
QString KeepMnemonic(const QString& previous, const QString& text);

// The letter after the "&" of a caption, lower case; a null QChar if none.
QChar MnemonicOf(const QString& text);

} // namespace quirindo::ui
