#pragma once
// The text font: what a new text takes its face, size, colour and style
// from. The window keeps one for the whole run; the font chooser and the
// "change" mode of the text tool replace it.

#include "Canvas.h"

#include <QString>
#include <cstdint>

namespace quirindo::tools {

struct TTextFont {
    QString Face = QStringLiteral("Arial");
    std::int32_t Size = 10;      // points
    TColor Color = clWindowText; // 0x00BBGGRR or a system colour
    std::uint8_t Charset = 0;    // 0: ANSI
    std::uint8_t Pitch = 0;      // 0 default, 1 variable, 2 fixed
    std::uint8_t Style = 0;      // TFontStyleBits

    bool operator==(const TTextFont&) const = default;
};

} // namespace quirindo::tools
