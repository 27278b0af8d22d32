#include "FontChooser.h"

#include "AccessibleNames.h"

#include "ColorSwatch.h"
#include "DrawObjects.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quirindo::ui {

QFont QFontFromTextFont(const tools::TTextFont& font) {
    QFont f(font.Face);
    f.setPointSize(std::clamp(font.Size < 0 ? -font.Size : font.Size, 1, 1638));
    f.setBold((font.Style & fsBold) != 0);
    f.setItalic((font.Style & fsItalic) != 0);
    f.setUnderline((font.Style & fsUnderline) != 0);
    f.setStrikeOut((font.Style & fsStrikeOut) != 0);
    if (font.Pitch == 2) {
        f.setFixedPitch(true);
        f.setStyleHint(QFont::TypeWriter);
    }
    return f;
}

tools::TTextFont TextFontFromQFont(const QFont& font, TColor color, std::uint8_t charset) {
    tools::TTextFont t;
    t.Face = font.family();
    t.Size = font.pointSize() > 0 ? font.pointSize() : std::max(1, qRound(font.pointSizeF()));
    t.Color = color;
    t.Charset = charset;
    t.Pitch = QFontInfo(font).fixedPitch() ? 2 : 0;
    t.Style = static_cast<std::uint8_t>(
        (font.bold() ? fsBold : 0) | (font.italic() ? fsItalic : 0) |
        (font.underline() ? fsUnderline : 0) | (font.strikeOut() ? fsStrikeOut : 0));
    return t;
}

TFontChooser::TFontChooser(const tools::TTextFont& initial, QWidget* parent)
    : QDialog(parent), FColor(initial.Color), FCharset(initial.Charset) {
    setObjectName(QStringLiteral("FontChooser"));
    setWindowTitle(QStringLiteral("Schriftart"));

    FontBox = new QFontDialog(this);
    FontBox->setObjectName(QStringLiteral("FontBox"));
    // Shown inside this dialog: no window and no buttons of its own.
    FontBox->setWindowFlags(Qt::Widget);
    FontBox->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    FontBox->setCurrentFont(QFontFromTextFont(initial));
    NameEditsByColumnLabels(FontBox);

    auto* colorLabel = new QLabel(QStringLiteral("Farbe:"), this);
    ColorShape = new TColorSwatch(this);
    colorLabel->setBuddy(ColorShape);
    ColorShape->setObjectName(QStringLiteral("ColorShape"));
    ColorShape->setFixedSize(24, 24);
    ColorBtn = new QPushButton(QStringLiteral("Farbe wählen..."), this);
    ColorBtn->setObjectName(QStringLiteral("ColorBtn"));
    SetColor(FColor);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);

    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(ColorShape);
    colorRow->addWidget(ColorBtn);
    colorRow->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FontBox);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);

    AskColor = [this](TColor) -> std::optional<TColor> {
        const QColor chosen = QColorDialog::getColor(QColorFromTColor(ColorShape->FillColor()),
                                                     this, QStringLiteral("Farbe"));
        if (!chosen.isValid()) return std::nullopt;
        return TColorFromQColor(chosen);
    };
    connect(ColorBtn, &QPushButton::clicked, this, &TFontChooser::ColorBtnClick);
    connect(ColorShape, &TColorSwatch::Pressed, this, &TFontChooser::ColorBtnClick);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

tools::TTextFont TFontChooser::SelectedFont() const {
    return TextFontFromQFont(FontBox->currentFont(), FColor, FCharset);
}

void TFontChooser::SetColor(TColor color) {
    FColor = color;
    // The system's window-text colour is shown as the palette has it.
    const QColor shown =
        color == clWindowText ? palette().color(QPalette::WindowText) : QColorFromTColor(color);
    ColorShape->SetFillColor(TColorFromQColor(shown));
}

void TFontChooser::ColorBtnClick() {
    if (const auto chosen = AskColor(FColor)) SetColor(*chosen);
}

} // namespace quirindo::ui
