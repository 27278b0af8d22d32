#pragma once
// Scripted answers for the questions and file dialogs of the main window,
// with a record of what was asked.

#include "UserDialogs.h"

#include <QStringList>
#include <deque>
#include <vector>

namespace quirindo::test {

class TFakeDialogs final : public ui::TUserDialogs {
public:
    std::deque<ui::TAnswer> Answers;              // for AskYesNoCancel
    // File dialog answers; an empty name stands for a cancelled dialog.
    std::deque<QString> SaveNames;
    std::deque<QString> OpenNames;
    std::deque<std::optional<std::int32_t>> Colors;
    std::deque<std::optional<tools::TTextFont>> TextFonts; // for AskTextFont
    std::vector<tools::TTextFont> TextFontPresets;
    QStringList Questions, Errors;
    int SaveDialogs = 0, OpenDialogs = 0, ColorDialogs = 0;
    std::int32_t LastColorPreset = -1;
    ui::TFileDialogRequest LastSpec;

    ui::TAnswer AskYesNoCancel(const QString& caption, const QString& text) override {
        Questions << caption + QStringLiteral("|") + text;
        return Pop(Answers, ui::TAnswer::Cancel);
    }
    std::optional<QString> AskSaveFileName(const ui::TFileDialogRequest& request) override {
        ++SaveDialogs;
        LastSpec = request;
        return Chosen(Pop(SaveNames, QString()));
    }
    std::optional<QString> AskOpenFileName(const ui::TFileDialogRequest& request) override {
        ++OpenDialogs;
        LastSpec = request;
        return Chosen(Pop(OpenNames, QString()));
    }
    void ShowError(const QString&, const QString& text) override { Errors << text; }
    std::optional<std::int32_t> AskColor(std::int32_t initial) override {
        ++ColorDialogs;
        LastColorPreset = initial;
        return Pop(Colors, std::optional<std::int32_t>());
    }
    std::optional<tools::TTextFont> AskTextFont(const tools::TTextFont& initial) override {
        TextFontPresets.push_back(initial);
        if (TextFonts.empty() || !TextFonts.front()) {
            if (!TextFonts.empty()) TextFonts.pop_front();
            return std::nullopt;
        }
        const tools::TTextFont chosen = *TextFonts.front();
        TextFonts.pop_front();
        return chosen;
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
