#pragma once
// The questions and file dialogs the document commands need, behind one
// interface so that tests answer them instead of a person.

#include "TextFont.h"

#include <QString>
#include <cstdint>
#include <optional>

class QWidget;
class QFileDialog;

namespace quirindo::ui {

enum class TAnswer { Yes, No, Cancel };

// A file dialog's description: default suffix and a filter in the
// "Text|pattern|Text|pattern" form the translation table holds.
struct TFileDialogRequest {
    QString Title;
    QString DefaultSuffix;
    QString Filter;
    // Save dialogs ask before replacing an existing file unless this is off.
    bool ConfirmOverwrite = true;
    // The folder the dialog starts in and the name it proposes; either may
    // be empty.
    QString Directory = QString();
    QString SuggestedName = QString();
};

class TUserDialogs {
public:
    virtual ~TUserDialogs() = default;
    virtual TAnswer AskYesNoCancel(const QString& caption, const QString& text) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> AskSaveFileName(const TFileDialogRequest& request) = 0;
    virtual std::optional<QString> AskOpenFileName(const TFileDialogRequest& request) = 0;
    virtual void ShowError(const QString& caption, const QString& text) = 0;
    // The chosen colour as 0x00BBGGRR, or nothing when cancelled.
    virtual std::optional<std::int32_t> AskColor(std::int32_t initial) = 0;
    // The font chooser of the text tool: face, size, colour, character set,
    // pitch and style; nothing when cancelled.
    virtual std::optional<tools::TTextFont> AskTextFont(const tools::TTextFont& initial) = 0;
};

// Qt's own message boxes and file dialogs.
class TQtUserDialogs final : public TUserDialogs {
public:
    explicit TQtUserDialogs(QWidget* parent) : FParent(parent) {}
    TAnswer AskYesNoCancel(const QString& caption, const QString& text) override;
    std::optional<QString> AskSaveFileName(const TFileDialogRequest& request) override;
    std::optional<QString> AskOpenFileName(const TFileDialogRequest& request) override;
    void ShowError(const QString& caption, const QString& text) override;
    std::optional<std::int32_t> AskColor(std::int32_t initial) override;
    std::optional<tools::TTextFont> AskTextFont(const tools::TTextFont& initial) override;

private:
    QWidget* FParent;
};

// Title, filter, default suffix, starting folder and proposed name of a Qt
// file dialog from `request`.
void PrepareFileDialog(QFileDialog& dialog, const TFileDialogRequest& request);
// The extension of a Qt filter's first pattern: "PNG-Dateien (*.png)" gives
// "png"; empty when it has none.
QString FilterSuffix(const QString& qtFilter);

// "Zeichnungen (*.qrd)|*.qrd" -> "Zeichnungen (*.qrd)": pairs of description
// and pattern become Qt's "Description (patterns)" entries joined by ";;".
QString QtFilterFromPairs(const QString& filter);

} // namespace quirindo::ui
