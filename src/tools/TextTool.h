#pragma once
// The text tool's four modes: add a text at a press, and change, delete or
// move the text the hover highlights. A text is hit inside the rectangle its
// last drawing measured; of overlapping texts the later one, drawn on top,
// is found.

#include "EditToolHost.h"

#include <cstdint>

namespace quirindo::tools {

// The font a text object carries, as a text font.
[[nodiscard]] TTextFont FontOfText(const TTextObject& text);
// Replaces the text's string and font name buffers and takes the font's
// size, colour, character set, pitch and style. False (text unchanged) when
// a buffer could not be made.
bool SetTextContent(TTextObject& text, std::u16string_view content, const TTextFont& font);

// The text's rectangle in view pixels where the picture of page `page`
// shows it.
[[nodiscard]] TRect TextRectPx(const TTextObject& text, const TViewMapping& view, int page);
// Index of the last text whose rectangle holds view position (x, y) on the
// page under it, or -1.
[[nodiscard]] std::int32_t TextAt(TDrawing& drawing, const TViewMapping& view, int x, int y);
// Sets Right and Bottom to the extent the text is drawn with, as the next
// paint will; so a text can be hit before it was painted.
void MeasureText(TTextObject& text, double scale, double fontFactor,
                 const TTextFontResolver& fonts);

void TextAddPress(TEditToolHost& host, int x, int y);
// Highlights the text under (x, y) in red, or removes the highlight.
void TextHover(TEditToolHost& host, int x, int y);
void TextChangePress(TEditToolHost& host);
void TextDeletePress(TEditToolHost& host);
void TextMovePress(TEditToolHost& host, int x, int y);
void TextMoveDrag(TEditToolHost& host, int x, int y);
void TextMoveRelease(TEditToolHost& host, int x, int y);
// Ends a move in progress, leaving the text where it was.
void TextMoveAbandon(TEditToolHost& host);

} // namespace quirindo::tools
