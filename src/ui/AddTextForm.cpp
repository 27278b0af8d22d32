#include "AddTextForm.h"

#include "Canvas.h"
#include "FontChooser.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace quirindo::ui {

TAddTextForm::TAddTextForm(QWidget* parent) : QDialog(parent), TextFont(&FOwnFont) {
    setObjectName(QStringLiteral("AddTextForm"));
    setWindowTitle(QStringLiteral("Text hinzufügen"));
    setFixedSize(399, 266);

    Label1 = new QLabel(QStringLiteral("Text:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(8, 8);
    Label1->adjustSize();

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 24, 377, 137);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);
    // What the user typed is never an interface text to translate.
    Memo1->setProperty("quirindoNoTranslate", true);
    Memo1->installEventFilter(this);
    Label1->setBuddy(Memo1);

    NewFontBtn = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogDetailedView),
                                 QStringLiteral("Schriftart wählen..."), this);
    NewFontBtn->setObjectName(QStringLiteral("NewFontBtn"));
    NewFontBtn->setGeometry(8, 176, 169, 25);
    NewFontBtn->setAutoDefault(false);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(0, 266 - 50, 399, 2);

    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setGeometry(83, 224, 105, 25);
    OkBtn->setEnabled(false);
    OkBtn->setAutoDefault(false);

    CancelBtn = new QPushButton(QStringLiteral("Abbrechen"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(195, 224, 105, 25);
    CancelBtn->setAutoDefault(false);

    connect(Memo1, &QPlainTextEdit::textChanged, this, &TAddTextForm::Memo1Change);
    connect(NewFontBtn, &QPushButton::clicked, this, &TAddTextForm::NewFontBtnClick);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

std::u16string TAddTextForm::Text() const {
    QString text = Memo1->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text.toStdU16String();
}

void TAddTextForm::SetText(std::u16string_view text) {
    const QString plain =
        NormalizeLineBreaks(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
    Memo1->setPlainText(plain);
}

void TAddTextForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    FormShow();
}

void TAddTextForm::FormShow() {
    ApplyTextFont();
    Memo1Change();
    Memo1->setFocus();
}

void TAddTextForm::Memo1Change() {
    OkBtn->setEnabled(!Memo1->document()->isEmpty());
}

void TAddTextForm::ApplyTextFont() {
    Memo1->setFont(QFontFromTextFont(*TextFont));
    QPalette palette = Memo1->palette();
    const QColor color = TextFont->Color == clWindowText ? QWidget::palette().color(QPalette::Text)
                                                         : QColorFromTColor(TextFont->Color);
    palette.setColor(QPalette::Text, color);
    Memo1->setPalette(palette);
}

void TAddTextForm::NewFontBtnClick() {
    if (!ChooseFont) return;
    if (const auto chosen = ChooseFont(*TextFont)) {
        *TextFont = *chosen;
        ApplyTextFont();
    }
    Memo1->setFocus();
}

namespace {

bool IsAltEnter(const QKeyEvent* key) {
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    return enter && (key->modifiers() & Qt::AltModifier);
}

} // namespace

bool TAddTextForm::eventFilter(QObject* watched, QEvent* event) {
    // Alt+Enter accepts even an empty box; Enter alone breaks the line.
    if (watched == Memo1 && event->type() == QEvent::KeyPress &&
        IsAltEnter(static_cast<QKeyEvent*>(event))) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAddTextForm::keyPressEvent(QKeyEvent* event) {
    // Also while a button has the focus, e.g. after choosing a font.
    if (IsAltEnter(event)) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace quirindo::ui
