#pragma once
// Names for screen readers where Qt's own widgets leave a field nameless.

class QWidget;

namespace quirindo::ui {

// Qt's font dialog labels its lists, not the edit fields above them: each
// nameless line edit takes the name of the label in its grid column.
void NameEditsByColumnLabels(QWidget* dialog);

} // namespace quirindo::ui
