#pragma once
// The numbered messages shown in message boxes and the window title. Their
// German texts are the source; a translation hook turns them into the
// current language once the translation table is open.

#include <functional>
#include <string>

namespace quirindo {

enum TMessageId : int {
    msgRestart = 1,
    msgTitle = 2,
    msgUnnamed = 6,
    msgDrawing = 7,
    msgSaveQuestion = 8,
    msgSaveCaption = 9,
};

// German text (UTF-8) of a message id, or nullptr for an id not in the table.
const char* GermanMessageText(int id);
// Ids of the message table in ascending order.
const int* MessageIds(int& count);

// Turns a German text (UTF-8) into the current language.
using TTranslator = std::function<std::string(const std::string& german)>;
TTranslator SetTranslator(TTranslator translator);
std::string TranslateUtf8(const std::string& german);

// Sets `text` to the translated message; an id outside the table leaves it.
void GetMessageText(int id, std::string& text);

} // namespace quirindo
