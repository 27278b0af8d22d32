#include "Messages.h"

#include <cerrno>
#include <string_view>
#include <utility>
#include <vector>

namespace quirindo {
namespace {

struct TMessage {
    int Id;
    const char* Text;
};

constexpr TMessage kMessages[] = {
    {msgRestart, "Bitte schließen Sie das Programm und starten Sie es erneut!"},
    {msgTitle, "TAVREN Quirindo 1.0"},
    {msgUnnamed, "unbenannt.qrd"},
    {msgDrawing, "Zeichnung"},
    {msgSaveQuestion, "Die Datei ist noch nicht gespeichert. Wollen Sie jetzt speichern?"},
    {msgSaveCaption, "Speichern"},
};

constexpr int kIds[] = {msgRestart, msgTitle,        msgUnnamed,
                        msgDrawing, msgSaveQuestion, msgSaveCaption};

struct TReason {
    const char* German;
    const char* English;
};

constexpr TReason kReasons[] = {
    {reason::EndOfFile, "unexpected end of file"},
    {reason::InvalidNumber, "invalid number"},
    {reason::NegativeObjectCount, "negative object count"},
    {reason::NegativeTextCount, "negative text count"},
    {reason::ObjectCountTooLarge, "object count larger than the file"},
    {reason::TextCountTooLarge, "text count larger than the file"},
    {reason::NegativeStringLength, "negative string length"},
    {reason::StringPastEnd, "string past the end of the file"},
    {reason::NegativeTextLength, "negative text length"},
    {reason::TextPastEnd, "text past the end of the file"},
    {reason::InvalidPageSize, "invalid page size"},
    {reason::NotRegularFile, "not a regular file"},
    {reason::FileTooLarge, "file too large"},
    {reason::FarTooLarge, "the file is far larger than its contents can be"},
    {reason::OutOfMemory, "not enough memory"},
    {reason::BmpTooLarge, "a picture of %1 x %2 pixels does not fit in a BMP file"},
    {reason::DiskTooSmall, "the picture needs %1 MB, but only %2 MB are free on the disk"},
    {reason::NoPagesToPrint, "no pages to print"},
    {reason::PrinterCannotOpen, "the printer cannot be opened"},
    {reason::CannotBeWritten, "%1 cannot be written"},
    {reason::PrinterRefusedPage, "the printer refused a new page"},
    {reason::PrinterError, "the printer reported an error"},
    {reason::PictureTooLarge, "a picture of %1 x %2 pixels is too large"},
    {"Systemfehler Nr. %1", "system error %1"},
};

struct TSystemReason {
    int Errno;
    TReason Text;
};

// The errors a user meets when opening and saving files; the rest fall back
// to the number.
const TSystemReason kSystemReasons[] = {
    {EACCES, {"Zugriff verweigert", "permission denied"}},
    {EPERM, {"Vorgang nicht erlaubt", "operation not permitted"}},
    {ENOENT, {"Datei oder Ordner nicht gefunden", "no such file or directory"}},
    {ENOTDIR, {"ein Teil des Pfades ist kein Ordner", "a part of the path is not a directory"}},
    {EISDIR, {"ist ein Ordner", "is a directory"}},
    {EEXIST, {"Datei existiert bereits", "file exists"}},
    {ENOSPC, {"kein Platz mehr auf dem Datenträger", "no space left on device"}},
    {EDQUOT, {"Speicherplatzkontingent überschritten", "disk quota exceeded"}},
    {EROFS, {"Dateisystem ist schreibgeschützt", "read-only file system"}},
    {EIO, {"Ein-/Ausgabefehler", "input/output error"}},
    {EFBIG, {reason::FileTooLarge, "file too large"}},
    {ENAMETOOLONG, {"Dateiname zu lang", "file name too long"}},
    {EMFILE, {"zu viele offene Dateien", "too many open files"}},
    {ENFILE, {"zu viele offene Dateien", "too many open files"}},
    {ENOMEM, {reason::OutOfMemory, "not enough memory"}},
    {EBUSY, {"Datei oder Gerät ist belegt", "device or resource busy"}},
    {ETXTBSY, {"Datei ist in Benutzung", "text file busy"}},
    {ELOOP, {"zu viele symbolische Verknüpfungen", "too many levels of symbolic links"}},
    {EINVAL, {"ungültiges Argument", "invalid argument"}},
};

constexpr std::string_view kSystemErrorPrefix = "Systemfehler Nr. ";
constexpr const char* kSystemErrorTemplate = "Systemfehler Nr. %1";

// "Systemfehler Nr. 123" -> "123"; empty for any other text.
std::string_view SystemErrorNumber(std::string_view reason) {
    if (!reason.starts_with(kSystemErrorPrefix)) return {};
    const std::string_view digits = reason.substr(kSystemErrorPrefix.size());
    if (digits.empty() || digits.find_first_not_of("0123456789-") != std::string_view::npos)
        return {};
    return digits;
}

std::vector<const char*> CollectReasonTexts() {
    std::vector<const char*> texts;
    auto add = [&texts](const char* text) {
        for (const char* known : texts)
            if (std::string_view(known) == text) return;
        texts.push_back(text);
    };
    for (const auto& r : kReasons)
        add(r.German);
    for (const auto& r : kSystemReasons)
        add(r.Text.German);
    add(kSystemErrorTemplate);
    return texts;
}

TTranslator& Translator() {
    static TTranslator translator;
    return translator;
}

} // namespace

const char* GermanMessageText(int id) {
    for (const auto& m : kMessages)
        if (m.Id == id) return m.Text;
    return nullptr;
}

const int* MessageIds(int& count) {
    count = static_cast<int>(std::size(kIds));
    return kIds;
}

TTranslator SetTranslator(TTranslator translator) {
    return std::exchange(Translator(), std::move(translator));
}

std::string TranslateUtf8(const std::string& german) {
    return Translator() ? Translator()(german) : german;
}

void GetMessageText(int id, std::string& text) {
    if (const char* german = GermanMessageText(id)) text = TranslateUtf8(german);
}

std::string SystemErrorReason(int errnum) {
    for (const auto& r : kSystemReasons)
        if (r.Errno == errnum) return r.Text.German;
    return std::string(kSystemErrorPrefix) + std::to_string(errnum);
}

const char* const* ReasonTexts(int& count) {
    static const std::vector<const char*> texts = CollectReasonTexts();
    count = static_cast<int>(texts.size());
    return texts.data();
}

std::string TranslatedReason(const std::string& germanReason) {
    // The number is no text to collect in the table: translate the template.
    const std::string_view number = SystemErrorNumber(germanReason);
    if (!number.empty()) {
        std::string text = TranslateUtf8(kSystemErrorTemplate);
        const auto at = text.find("%1");
        if (at != std::string::npos) text.replace(at, 2, number);
        return text;
    }
    return germanReason.empty() ? germanReason : TranslateUtf8(germanReason);
}

std::string EnglishReason(const std::string& germanReason) {
    const std::string_view number = SystemErrorNumber(germanReason);
    if (!number.empty()) return "system error " + std::string(number);
    for (const auto& r : kReasons)
        if (germanReason == r.German) return r.English;
    for (const auto& r : kSystemReasons)
        if (germanReason == r.Text.German) return r.Text.English;
    return germanReason;
}

} // namespace quirindo
