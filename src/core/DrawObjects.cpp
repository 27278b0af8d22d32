#include "DrawObjects.h"

#include <cstdlib>
#include <cstring>

namespace quirindo {

char16_t* NewWideBuffer(std::u16string_view text) {
    auto* buffer = static_cast<char16_t*>(std::calloc(text.size() + 1, sizeof(char16_t)));
    if (buffer && !text.empty()) std::memcpy(buffer, text.data(), text.size() * sizeof(char16_t));
    return buffer;
}

char* NewNameBuffer(std::string_view name) {
    auto* buffer = static_cast<char*>(std::calloc(name.size() + 1, 1));
    if (buffer && !name.empty()) std::memcpy(buffer, name.data(), name.size());
    return buffer;
}

void FreeTextBuffers(TTextObject& text) {
    std::free(text.Text);
    std::free(text.FontName);
    text.Text = nullptr;
    text.FontName = nullptr;
    text.TextLength = 0;
    text.FontNameLength = 0;
}

bool SetTextBuffers(TTextObject& record, std::u16string_view text, std::string_view fontName) {
    char16_t* newText = NewWideBuffer(text);
    char* newName = NewNameBuffer(fontName);
    if (!newText || !newName) {
        std::free(newText);
        std::free(newName);
        return false;
    }
    FreeTextBuffers(record);
    record.Text = newText;
    record.FontName = newName;
    record.TextLength = text.size();
    record.FontNameLength = fontName.size();
    return true;
}

std::u16string_view TextOf(const TTextObject& text) {
    return text.Text ? std::u16string_view(text.Text, text.TextLength) : std::u16string_view();
}

std::string_view FontNameOf(const TTextObject& text) {
    return text.FontName ? std::string_view(text.FontName, text.FontNameLength)
                         : std::string_view();
}

TDrawing::TDrawing() = default;

TDrawing::~TDrawing() {
    Clear();
}

void TDrawing::Clear() {
    for (std::int32_t i = 0; i < Texts.Count(); ++i)
        FreeTextBuffers(Texts[i]);
    Texts.Clear();
    Objects.Clear();
}

void TDrawing::DeleteText(std::int32_t i) {
    if (i < 0 || i >= Texts.Count()) return;
    FreeTextBuffers(Texts[i]);
    Texts.Delete(i);
}

TTextObject* TDrawing::AppendText(std::u16string_view text, std::string_view fontName) {
    TTextObject* record = Texts.Append();
    if (!record) return nullptr;
    // A slot vacated by a delete keeps its old bytes: start from a clean record.
    *record = TTextObject{};
    if (!SetTextBuffers(*record, text, fontName)) {
        // A text without its buffers must not stay in the store.
        Texts.Delete(Texts.Count() - 1);
        return nullptr;
    }
    return record;
}

} // namespace quirindo
