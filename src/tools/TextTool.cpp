#include "TextTool.h"

#include "Cp1252.h"
#include "Geometry.h"
#include "InstrumentGeometry.h"
#include "PageGeometry.h"

#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstdlib>

namespace quirindo::tools {

namespace {

QString TextString(const TTextObject& text) {
    const std::u16string_view units = TextOf(text);
    return QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size()));
}

// Hit-testing and the drags need a text whose record is still there.
TTextObject* HighlightedText(TEditToolHost& host) {
    TPointerState& p = host.Pointer();
    auto& texts = host.Document().Texts;
    if (p.HoverIndex < 0 || p.HoverIndex >= texts.Count()) return nullptr;
    return texts.Select(p.HoverIndex);
}

// Draws the text onto the view where page `page` shows it, moved by (dx, dy)
// pixels, in its screen font and the given colour.
void DrawTextOnView(TEditToolHost& host, const TTextObject& text, const QColor& color, int page,
                    int dx, int dy) {
    const TPixelPoint corner = PaintBoxPixelOnPage(host, page, text.Left, text.Top);
    const QFont font = host.TextFonts().Font(text, FontFactor(host));
    const QString content = TextString(text);
    host.DrawOnView([=](TCanvas& canvas) {
        canvas.SetFont(font, color);
        TRect at{corner.X + dx, corner.Y + dy, 0, 0};
        at = canvas.MeasureText(at, content);
        canvas.DrawText(at, content);
    });
}

// Size, colour and style of the font; the face is stored as a buffer.
void SetFontFields(TTextObject& text, const TTextFont& font) {
    text.Size = font.Size;
    text.Color = font.Color;
    text.Charset = font.Charset;
    text.Pitch = font.Pitch;
    text.Style = font.Style;
}

} // namespace

TTextFont FontOfText(const TTextObject& text) {
    const std::u16string face = Utf16FromCp1252(FontNameOf(text));
    TTextFont font;
    font.Face = QString::fromUtf16(face.data(), static_cast<qsizetype>(face.size()));
    font.Size = text.Size;
    font.Color = text.Color;
    font.Charset = text.Charset;
    font.Pitch = text.Pitch;
    font.Style = text.Style;
    return font;
}

bool SetTextContent(TTextObject& text, std::u16string_view content, const TTextFont& font) {
    const std::string name = Cp1252FromUtf16(font.Face.toStdU16String());
    if (!SetTextBuffers(text, content, name)) return false;
    SetFontFields(text, font);
    return true;
}

TRect TextRectPx(const TTextObject& text, const TViewMapping& view, int page) {
    const TPointMm a = view.MmToViewOnPage(page, text.Left, text.Top);
    const TPointMm b = view.MmToViewOnPage(page, text.Right, text.Bottom);
    return {RoundHalfEven(a.X), RoundHalfEven(a.Y), RoundHalfEven(b.X), RoundHalfEven(b.Y)};
}

std::int32_t TextAt(TDrawing& drawing, const TViewMapping& view, int x, int y) {
    const int page = view.PageAtView(y);
    for (std::int32_t i = drawing.Texts.Count() - 1; i >= 0; --i) {
        const TRect r = TextRectPx(drawing.Texts[i], view, page);
        if (PointInRect(x, y, r.Left, r.Top, r.Right, r.Bottom)) return i;
    }
    return -1;
}

void MeasureText(TTextObject& text, double scale, double fontFactor,
                 const TTextFontResolver& fonts) {
    if (!(scale > 0.0) || !std::isfinite(text.Left) || !std::isfinite(text.Top)) return;
    // The same measuring the renderer does, on a scratch device of the kind
    // pages are rendered on.
    QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&scratch);
    TCanvas canvas(painter);
    canvas.SetFont(fonts.Font(text, fontFactor), fonts.Color(text.Color));
    TRect r{RoundHalfEven(text.Left * scale), RoundHalfEven(text.Top * scale), 0, 0};
    r = canvas.MeasureText(r, TextString(text));
    text.Right = r.Right / scale;
    text.Bottom = text.Top + (static_cast<double>(r.Bottom) - r.Top) / scale;
}

void TextAddPress(TEditToolHost& host, int x, int y) {
    const std::optional<std::u16string> content = host.AskText(nullptr);
    if (!content) return;
    TTextObject text{};
    if (!SetTextContent(text, *content, host.TextFont())) return; // out of memory
    const TPointMm at = ViewToMm(host, x, y);
    text.Left = at.X;
    text.Top = at.Y;
    MeasureText(text, host.ViewScale(), FontFactor(host), host.TextFonts());
    // The editor takes the buffers over, also when it cannot add the text.
    (void)host.Editor().AppendText(text, "Text hinzufügen");
    host.Repaint();
}

void TextHover(TEditToolHost& host, int x, int y) {
    const TViewMapping view = host.ViewMapping();
    const std::int32_t i = TextAt(host.Document(), view, x, y);
    HoverOver(host, i, [&] {
        DrawTextOnView(host, host.Document().Texts[i], QColor(255, 0, 0), view.PageAtView(y), 0, 0);
    });
}

void TextChangePress(TEditToolHost& host) {
    if (!TakeHover(host.Pointer())) return;
    TTextObject* text = HighlightedText(host);
    if (!text) return;
    const std::u16string preset(TextOf(*text));
    // The text font takes the text's font and keeps it, also when the
    // dialog is cancelled: the next new text is written in it.
    host.SetTextFont(FontOfText(*text));
    const std::optional<std::u16string> content = host.AskText(&preset);
    // The dialog may have run the event loop: find the record again.
    text = HighlightedText(host);
    if (content && text) {
        // A new record with buffers of its own; the old one stays in the
        // history for undo.
        TTextObject changed = *text;
        changed.Text = nullptr;
        changed.FontName = nullptr;
        changed.TextLength = changed.FontNameLength = 0;
        if (SetTextContent(changed, *content, host.TextFont())) {
            MeasureText(changed, host.ViewScale(), FontFactor(host), host.TextFonts());
            (void)host.Editor().ReplaceText(host.Pointer().HoverIndex, changed, "Text ändern");
        }
    }
    host.Repaint();
}

void TextDeletePress(TEditToolHost& host) {
    TPointerState& p = host.Pointer();
    if (!TakeHover(p) || !HighlightedText(host)) return;
    (void)host.Editor().DeleteText(p.HoverIndex, "Text löschen");
    host.Repaint();
}

void TextMovePress(TEditToolHost& host, int x, int y) {
    TPointerState& p = host.Pointer();
    if (!p.HoverShown || !HighlightedText(host)) return;
    p.TextMoving = true;
    p.DragStartX = x;
    p.DragStartY = y;
}

void TextMoveDrag(TEditToolHost& host, int x, int y) {
    TPointerState& p = host.Pointer();
    host.Repaint();
    const TTextObject* text = HighlightedText(host);
    if (!text) return;
    const QColor color = host.TextFonts().Color(text->Color);
    DrawTextOnView(host, *text, color, host.ViewMapping().PageAtView(p.DragStartY),
                   x - p.DragStartX, y - p.DragStartY);
}

void TextMoveRelease(TEditToolHost& host, int x, int y) {
    TPointerState& p = host.Pointer();
    p.TextMoving = false;
    if (HighlightedText(host)) {
        // From the drawing point under the press to the one under the
        // release, each on its own page: the text lands where the preview
        // left it, also on another page.
        const TPointMm from = ViewToMm(host, p.DragStartX, p.DragStartY);
        const TPointMm to = ViewToMm(host, x, y);
        (void)host.Editor().MoveText(p.HoverIndex, to.X - from.X, to.Y - from.Y,
                                     "Text verschieben");
    }
    host.Repaint();
}

void TextMoveAbandon(TEditToolHost& host) {
    AbandonMove(host, host.Pointer().TextMoving);
}

} // namespace quirindo::tools
