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

// Reasons appended to error messages ("... konnte nicht geöffnet werden: %2").
// The core reports a reason as one of these German texts, which the window
// translates like any other text when it shows the message; the command
// line, which has no translation table, prints the English form.
namespace reason {
inline constexpr const char* EndOfFile = "unerwartetes Dateiende";
inline constexpr const char* InvalidNumber = "ungültige Zahl";
inline constexpr const char* NegativeObjectCount = "negative Objektanzahl";
inline constexpr const char* NegativeTextCount = "negative Textanzahl";
inline constexpr const char* ObjectCountTooLarge = "Objektanzahl größer als die Datei";
inline constexpr const char* TextCountTooLarge = "Textanzahl größer als die Datei";
inline constexpr const char* NegativeStringLength = "negative Länge einer Zeichenkette";
inline constexpr const char* StringPastEnd = "Zeichenkette reicht über das Dateiende hinaus";
inline constexpr const char* NegativeTextLength = "negative Textlänge";
inline constexpr const char* TextPastEnd = "Text reicht über das Dateiende hinaus";
inline constexpr const char* InvalidPageSize = "ungültige Seitengröße";
inline constexpr const char* NotRegularFile = "keine gewöhnliche Datei";
inline constexpr const char* FileTooLarge = "Datei zu groß";
inline constexpr const char* FarTooLarge = "die Datei ist viel größer, als ihr Inhalt sein kann";
inline constexpr const char* OutOfMemory = "nicht genug Arbeitsspeicher";
// Pictures and printing; %1 and %2 are filled in after translation.
inline constexpr const char* BmpTooLarge = "ein Bild von %1 x %2 Pixeln passt nicht in eine BMP-Datei";
inline constexpr const char* DiskTooSmall =
    "das Bild braucht %1 MB, aber auf dem Datenträger sind nur %2 MB frei";
inline constexpr const char* NoPagesToPrint = "keine Seiten zu drucken";
inline constexpr const char* PrinterCannotOpen = "der Drucker kann nicht geöffnet werden";
inline constexpr const char* CannotBeWritten = "%1 kann nicht geschrieben werden";
inline constexpr const char* PrinterRefusedPage = "der Drucker hat keine neue Seite angenommen";
inline constexpr const char* PrinterError = "der Drucker hat einen Fehler gemeldet";
inline constexpr const char* PictureTooLarge = "ein Bild von %1 x %2 Pixeln ist zu groß";
} // namespace reason

// The German reason for a system error number (errno). Numbers without a
// text of their own give "Systemfehler Nr. N".
std::string SystemErrorReason(int errnum);
// Every German reason text the core can report, for the translation table.
const char* const* ReasonTexts(int& count);
// A reason in the current language, through the translation hook.
std::string TranslatedReason(const std::string& germanReason);
// A reason in English, for the command line; a text that is not a reason
// comes back unchanged.
std::string EnglishReason(const std::string& germanReason);

} // namespace quirindo
