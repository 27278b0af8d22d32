#include "FontChooser.h"

#include "AccessibleNames.h"

#include "ColorSwatch.h"
#include "DrawObjects.h"
#include "Messages.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace quirindo::ui {
namespace {

// The chooser is built when the user asks for it, after the interface was
// translated, so its texts are looked up here.
QString T(const char* german) {
    return QString::fromStdString(TranslateUtf8(german));
}

} // namespace

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
    : QDialog(parent), FInitialFace(initial.Face), FColor(initial.Color),
      FCharset(initial.Charset) {
    setObjectName(QStringLiteral("FontChooser"));
    setWindowTitle(T("Schriftart"));

    FontBox = new QFontDialog(this);
    FontBox->setObjectName(QStringLiteral("FontBox"));
    // Shown inside this dialog: no window and no buttons of its own.
    FontBox->setWindowFlags(Qt::Widget);
    FontBox->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    FontBox->setCurrentFont(QFontFromTextFont(initial));
    NameEditsByColumnLabels(FontBox);
    FShownFace = FontBox->currentFont().family();
    // Qt's font dialog answers Enter and Escape by closing itself, which
    // would leave an empty chooser; here they answer the chooser.
    FontBox->installEventFilter(this);
    // Whatever else closes it (a list's own Enter handling, say) answers the
    // chooser the same way and leaves the box in place.
    connect(FontBox, &QDialog::finished, this, [this](int result) {
        FontBox->setVisible(true);
        if (result == QDialog::Accepted)
            accept();
        else
            reject();
    });

    auto* colorLabel = new QLabel(T("Farbe:"), this);
    ColorShape = new TColorSwatch(this);
    colorLabel->setBuddy(ColorShape);
    ColorShape->setObjectName(QStringLiteral("ColorShape"));
    ColorShape->setFixedSize(24, 24);
    ColorBtn = new QPushButton(T("Farbe wählen..."), this);
    ColorBtn->setObjectName(QStringLiteral("ColorBtn"));
    SetColor(FColor);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(T("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OkBtn"));
    ok->setDefault(true);
    buttons->addButton(T("Abbrechen"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("CancelBtn"));

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
                                                     this, T("Farbe"));
        if (!chosen.isValid()) return std::nullopt;
        return TColorFromQColor(chosen);
    };
    connect(ColorBtn, &QPushButton::clicked, this, &TFontChooser::ColorBtnClick);
    connect(ColorShape, &TColorSwatch::Pressed, this, &TFontChooser::ColorBtnClick);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

tools::TTextFont TFontChooser::SelectedFont() const {
    const QFont current = FontBox->currentFont();
    tools::TTextFont font = TextFontFromQFont(current, FColor, FCharset);
    if (current.family() == FShownFace && !FInitialFace.isEmpty()) font.Face = FInitialFace;
    return font;
}

bool TFontChooser::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FontBox && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods =
            key->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier);
        if (mods == Qt::NoModifier) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                accept();
                return true;
            }
            if (key->key() == Qt::Key_Escape) {
                reject();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFontChooser::ShowColorInSample(const QColor& color) {
    // The sample is the font box's line edit inside its "sample" group.
    for (QLineEdit* edit : FontBox->findChildren<QLineEdit*>()) {
        if (!qobject_cast<QGroupBox*>(edit->parentWidget())) continue;
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Text, color);
        edit->setPalette(palette);
    }
}

void TFontChooser::SetColor(TColor color) {
    FColor = color;
    // The system's window-text colour is shown as the palette has it.
    const QColor shown =
        color == clWindowText ? palette().color(QPalette::WindowText) : QColorFromTColor(color);
    ColorShape->SetFillColor(TColorFromQColor(shown));
    ShowColorInSample(shown);
}

void TFontChooser::ColorBtnClick() {
    if (const auto chosen = AskColor(FColor)) SetColor(*chosen);
}

} // namespace quirindo::ui
