#include "Messages.h"

#include <utility>

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

} // namespace quirindo
