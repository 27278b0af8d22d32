#pragma once
// The questions and file dialogs the document commands need, behind one
// interface so that tests answer them instead of a person.

#include <QString>
#include <cstdint>
#include <optional>

class QWidget;

namespace quirindo::ui {

enum class TAnswer { Yes, No, Cancel };

// A file dialog's description: default suffix and a filter in the
// "Text|pattern|Text|pattern" form the translation table holds.
struct TFileDialogSpec {
    QString Title;
    QString DefaultSuffix;
    QString Filter;
};

class TUserDialogs {
public:
    virtual ~TUserDialogs() = default;
    virtual TAnswer AskYesNoCancel(const QString& caption, const QString& text) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> AskSaveFileName(const TFileDialogSpec& spec) = 0;
    virtual std::optional<QString> AskOpenFileName(const TFileDialogSpec& spec) = 0;
    virtual void ShowError(const QString& caption, const QString& text) = 0;
    // The chosen colour as 0x00BBGGRR, or nothing when cancelled.
    virtual std::optional<std::int32_t> AskColor(std::int32_t initial) = 0;
};

// Qt's own message boxes and file dialogs. Remembers the folder last used.
class TQtUserDialogs final : public TUserDialogs {
public:
    explicit TQtUserDialogs(QWidget* parent) : FParent(parent) {}
    TAnswer AskYesNoCancel(const QString& caption, const QString& text) override;
    std::optional<QString> AskSaveFileName(const TFileDialogSpec& spec) override;
    std::optional<QString> AskOpenFileName(const TFileDialogSpec& spec) override;
    void ShowError(const QString& caption, const QString& text) override;
    std::optional<std::int32_t> AskColor(std::int32_t initial) override;

private:
    QWidget* FParent;
    QString FLastDirectory;
};

// "Zeichnungen (*.qrd)|*.qrd" -> "Zeichnungen (*.qrd)": pairs of description
// and pattern become Qt's "Description (patterns)" entries joined by ";;".
QString QtFilterFromPairs(const QString& filter);

} // namespace quirindo::ui
