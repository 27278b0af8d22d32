#pragma once
// The text dialog: the text of a new or changed text object, typed in the
// text font, which "Schriftart wählen..." changes. It is made once and keeps
// its text between uses.

#include "TextFont.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quirindo::ui {

class TAddTextForm : public QDialog {
    Q_OBJECT
public:
    explicit TAddTextForm(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* NewFontBtn = nullptr;
    QFrame* Bevel1 = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    // The text font the box is shown in and "Schriftart wählen..." changes;
    // the window points it at its own. Never null.
    tools::TTextFont* TextFont;
    // Runs the font chooser on a font; the chosen font, or nothing.
    std::function<std::optional<tools::TTextFont>(const tools::TTextFont&)> ChooseFont;

    // The box's text with Windows line breaks (CR LF), as texts are stored.
    [[nodiscard]] std::u16string Text() const;
    void SetText(std::u16string_view text);

    void FormShow();
    void Memo1Change();
    void NewFontBtnClick();
    // The box shows the text font.
    void ApplyTextFont();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    tools::TTextFont FOwnFont;
};

} // namespace quirindo::ui
