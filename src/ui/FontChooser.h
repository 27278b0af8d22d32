#pragma once
// The font chooser of the text tool: Qt's font dialog, which knows face,
// size and style, together with the colour that a text also carries. Its
// texts are looked up in the interface language when it is built, Enter and
// Escape answer the whole chooser, and a face the system lacks survives an
// OK that changed nothing.

#include "TextFont.h"

#include <QDialog>
#include <QFont>

#include <functional>
#include <optional>

class QEvent;
class QFontDialog;
class QPushButton;

namespace quirindo::ui {

class TColorSwatch;

// The text font as Qt shows it (size in points); the colour is separate.
[[nodiscard]] QFont QFontFromTextFont(const tools::TTextFont& font);
// Face, size and style from Qt's font; colour and character set as given,
// pitch fixed for a fixed-pitch face and default otherwise.
[[nodiscard]] tools::TTextFont TextFontFromQFont(const QFont& font, TColor color,
                                                 std::uint8_t charset);

class TFontChooser : public QDialog {
    Q_OBJECT
public:
    TFontChooser(const tools::TTextFont& initial, QWidget* parent = nullptr);

    QFontDialog* FontBox = nullptr;
    TColorSwatch* ColorShape = nullptr;
    QPushButton* ColorBtn = nullptr;

    // The font as chosen so far.
    [[nodiscard]] tools::TTextFont SelectedFont() const;
    void SetColor(TColor color);
    // Asks for a colour; tests replace it.
    std::function<std::optional<TColor>(TColor)> AskColor;

private:
    void ColorBtnClick();
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Paints the font box's sample in the chosen colour.
    void ShowColorInSample(const QColor& color);

    // The stored face, and the face the font box showed for it: the box
    // replaces a face that is not installed by its nearest match, which must
    // not reach the text unless the user picks a face.
    QString FInitialFace;
    QString FShownFace;
    TColor FColor;
    std::uint8_t FCharset;
};

} // namespace quirindo::ui
