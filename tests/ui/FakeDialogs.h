#pragma once
// Scripted answers for the questions and file dialogs of the main window,
// with a record of what was asked.

#include "UserDialogs.h"

#include <QStringList>
#include <deque>

namespace quirindo::test {

class TFakeDialogs final : public ui::TUserDialogs {
public:
    std::deque<ui::TAnswer> Answers;              // for AskYesNoCancel
    // File dialog answers; an empty name stands for a cancelled dialog.
    std::deque<QString> SaveNames;
    std::deque<QString> OpenNames;
    std::deque<std::optional<std::int32_t>> Colors;
    QStringList Questions, Errors;
    int SaveDialogs = 0, OpenDialogs = 0, ColorDialogs = 0;
    std::int32_t LastColorPreset = -1;
    ui::TFileDialogSpec LastSpec;

    ui::TAnswer AskYesNoCancel(const QString& caption, const QString& text) override {
        Questions << caption + QStringLiteral("|") + text;
        return Pop(Answers, ui::TAnswer::Cancel);
    }
    std::optional<QString> AskSaveFileName(const ui::TFileDialogSpec& spec) override {
        ++SaveDialogs;
        LastSpec = spec;
        return Chosen(Pop(SaveNames, QString()));
    }
    std::optional<QString> AskOpenFileName(const ui::TFileDialogSpec& spec) override {
        ++OpenDialogs;
        LastSpec = spec;
        return Chosen(Pop(OpenNames, QString()));
    }
    void ShowError(const QString&, const QString& text) override { Errors << text; }
    std::optional<std::int32_t> AskColor(std::int32_t initial) override {
        ++ColorDialogs;
        LastColorPreset = initial;
        return Pop(Colors, std::optional<std::int32_t>());
    }

private:
    static std::optional<QString> Chosen(const QString& name) {
        if (name.isEmpty()) return std::nullopt;
        return name;
    }
    template <class Q, class T> static T Pop(Q& queue, T fallback) {
        if (queue.empty()) return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

} // namespace quirindo::test
