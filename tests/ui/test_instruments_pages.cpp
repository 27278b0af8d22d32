// What is made on any page lies where the user sees it: on the instrument's
// picture or under the pointer, on the first, second and tenth page, at small
// and large zooms, on A4 and on a letter page, through the real handlers.
//
// The pages are stacked at whole pixels while the drawing counts exactly one
// page height in millimetres per page, so the two drift apart by up to half a
// pixel a page; positions are compared in view pixels, unrounded.

#include "test_instruments_support.h"

#include "AddTextForm.h"

#include <QLabel>
#include <QLocale>
#include <QPointF>

#include <cmath>
#include <numbers>

namespace quirindo::test {
namespace {

class PagesTest : public InstrumentTest {
protected:
    struct TFormat {
        const char* Name;
        double WidthInch, HeightInch;
    };

    // Ten pages of the format at the zoom.
    void Use(const TFormat& format, int zoom) {
        Form->PageWidthInch = format.WidthInch;
        Form->PageHeightInch = format.HeightInch;
        Form->PageAnz->setValue(10);
        Form->zoomed->setValue(zoom);
        Form->PaintBox1Paint();
        S = Form->ViewScale;
        h = Form->PageHeightPx;
        H = format.HeightInch * kMmPerInch;
        ASSERT_EQ(Form->ZoomPercent(), zoom);
    }

    // Where the picture of page `page` shows a drawing point: the page is
    // drawn from its top edge, which lies `page` whole page heights down the
    // view, and its millimetres begin `page` page heights down the drawing.
    QPointF Shown(int page, double xMm, double yMm) const {
        return {xMm * S, page * h + (yMm - page * H) * S};
    }
    // Where page `page` shows a point of an instrument (page-relative mm).
    QPointF InstrumentAt(int page, double xMm, double yMm) const {
        return {xMm * S, page * h + yMm * S};
    }
    // The view pixel nearest to page-relative millimetres on page `page`.
    QPoint OnPage(int page, double xMm, double yMm) const {
        return {RoundHalfEven(xMm * S), page * h + RoundHalfEven(yMm * S)};
    }
    // The mm value of a whole number of pixels: instruments placed there
    // have their picture's centre on a pixel.
    double OnPixel(double mm) const { return RoundHalfEven(mm * S) / S; }

    void Press(QPoint p) { InstrumentTest::Press(p.x(), p.y()); }
    void Move(QPoint p) { InstrumentTest::Move(p.x(), p.y()); }
    void Release(QPoint p) { InstrumentTest::Release(p.x(), p.y()); }

    static double Distance(QPointF a, QPointF b) {
        return std::hypot(a.x() - b.x(), a.y() - b.y());
    }

    // A paint-box area as the paint event paints it, white where nothing is.
    QImage PaintRegion(const QRect& area) {
        QImage image(area.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.translate(-area.topLeft());
        painter.setClipRect(area);
        Form->PaintView(painter, area);
        return image;
    }

    void ShowOnly(QAction* instrument) {
        for (QAction* a : {Form->Lineal2, Form->Winkelmesser2, Form->Zirkel2})
            if (a->isChecked() != (a == instrument)) a->trigger();
    }

    int h = 0;
    double H = 0.0;

    static constexpr TFormat kA4{"A4", 210.0 / kMmPerInch, 297.0 / kMmPerInch};
    static constexpr TFormat kLetter{"letter", 8.5, 11.0};
};

constexpr double kTolerancePx = 0.5;

TEST_F(PagesTest, EverythingMadeOnAPageLiesOnThePictureOrUnderThePointer) {
    // At zoom 10 the earlier strokes lie within the snap's few pixels; this
    // is about where things land on each page, not about catching them.
    Form->Einrasten1->setChecked(false);
    for (const TFormat& format : {kA4, kLetter}) {
        for (int zoom : {10, 37, 100, 250}) {
            Use(format, zoom);
            for (int page : {0, 1, 9}) {
                SCOPED_TRACE(testing::Message()
                             << format.Name << " zoom " << zoom << " page " << page + 1);
                tools::TInstrumentState& inst = Form->Instruments;
                inst = tools::TInstrumentState{};
                inst.WinkX = OnPixel(60);
                inst.WinkY = OnPixel(150);
                inst.ZirkX = OnPixel(150);
                inst.ZirkY = OnPixel(60);

                // Along the ruler: both ends on the scale edge of this page's ruler.
                const double edgeY = InstrumentAt(page, 0, inst.LinY).y();
                Form->LinealAnLinealentlangzeichnen1Click();
                const QPoint alongPress = OnPage(page, 30, 95), alongDrag = OnPage(page, 60, 85);
                Press(alongPress);
                Move(alongDrag);
                Release(alongDrag);
                {
                    const TDrawObject& o = LastObject();
                    const QPointF a = Shown(page, o.X1, o.Y1), b = Shown(page, o.X2, o.Y2);
                    EXPECT_NEAR(a.y(), edgeY, kTolerancePx);
                    EXPECT_NEAR(b.y(), edgeY, kTolerancePx);
                    EXPECT_NEAR(a.x(), alongPress.x(), kTolerancePx);
                    EXPECT_NEAR(b.x(), alongDrag.x(), kTolerancePx);
                }

                // Across the ruler: from the press to the pointer, through the edge.
                Form->LinealQuerzumLinealzeichnen1Click();
                const QPoint acrossPress = OnPage(page, 30, 80), acrossDrag = OnPage(page, 30, 100);
                Press(acrossPress);
                Move(acrossDrag);
                Release(acrossDrag);
                {
                    const TDrawObject& o = LastObject();
                    EXPECT_EQ(o.X1, o.X2);
                    const QPointF a = Shown(page, o.X1, o.Y1), b = Shown(page, o.X2, o.Y2);
                    EXPECT_LE(Distance(a, acrossPress), kTolerancePx);
                    EXPECT_LE(Distance(b, acrossDrag), kTolerancePx);
                    EXPECT_LT(a.y(), edgeY);
                    EXPECT_GT(b.y(), edgeY);
                }

                // "Kreis zeichnen" after a press on the page: centred on the
                // needle with the span as radius.
                const QPointF needle = InstrumentAt(page, inst.ZirkX, inst.ZirkY);
                Form->LinealVerschieben1Click();
                Press(OnPage(page, 5, 5));
                Release(OnPage(page, 5, 5));
                Form->ZirkelKreiszeichnen1->trigger();
                {
                    const TDrawObject& o = LastObject();
                    EXPECT_EQ(o.Kind, okEllipse);
                    const QPointF c = Shown(page, (o.X1 + o.X2) / 2, (o.Y1 + o.Y2) / 2);
                    EXPECT_LE(Distance(c, needle), kTolerancePx);
                    EXPECT_NEAR((o.X2 - o.X1) / 2 * S, inst.ZirkS * S, kTolerancePx);
                    EXPECT_NEAR((o.Y2 - o.Y1) / 2 * S, inst.ZirkS * S, kTolerancePx);
                }

                // An arc swept 60 degrees clockwise about the needle.
                Form->ZirkelKreisbogenzeichnen1Click();
                const double r = std::max(10, RoundHalfEven(30 * S));
                const auto at = [&](double deg) {
                    const double a = deg * std::numbers::pi / 180.0;
                    return QPoint(RoundHalfEven(needle.x() + r * std::cos(a)),
                                  RoundHalfEven(needle.y() + r * std::sin(a)));
                };
                Press(at(0));
                for (int deg = 10; deg <= 60; deg += 10)
                    Move(at(deg));
                Release(at(60));
                {
                    const TDrawObject& o = LastObject();
                    ASSERT_EQ(o.Kind, okArc);
                    const QPointF c = Shown(page, (o.X1 + o.X2) / 2, (o.Y1 + o.Y2) / 2);
                    EXPECT_LE(Distance(c, needle), kTolerancePx);
                    EXPECT_NEAR((o.X2 - o.X1) / 2 * S, inst.ZirkS * S, kTolerancePx);
                    // Counter-clockwise from the end ray back to the start ray.
                    EXPECT_LE(Distance(Shown(page, o.X3, o.Y3), at(60)), kTolerancePx);
                    EXPECT_LE(Distance(Shown(page, o.X4, o.Y4), at(0)), kTolerancePx);
                }

                // A degree mark pressed right of the centre and drawn in to
                // it starts at the centre of this page's protractor.
                const QPointF centre = InstrumentAt(page, inst.WinkX, inst.WinkY);
                const QPoint c(RoundHalfEven(centre.x()), RoundHalfEven(centre.y()));
                const QPoint markPress = c + QPoint(std::max(4, RoundHalfEven(20 * S)), 0);
                Form->WinkelmesserGradzahlmitBleistiftmarkieren1Click();
                Press(markPress);
                Move(c);
                Release(c);
                {
                    const TDrawObject& o = LastObject();
                    EXPECT_LE(Distance(Shown(page, o.X1, o.Y1), centre), kTolerancePx);
                    EXPECT_LE(Distance(Shown(page, o.X2, o.Y2), markPress), kTolerancePx);
                }

                // A pencil segment from the press to the pointer.
                Form->Bleistift1Click();
                const QPoint pencilPress = OnPage(page, 40, 120),
                             pencilDrag = OnPage(page, 50, 125);
                Press(pencilPress);
                Move(pencilDrag);
                Release(pencilDrag);
                {
                    const TDrawObject& o = LastObject();
                    EXPECT_LE(Distance(Shown(page, o.X1, o.Y1), pencilPress), kTolerancePx);
                    EXPECT_LE(Distance(Shown(page, o.X2, o.Y2), pencilDrag), kTolerancePx);
                }

                // A curve's four points where they were clicked.
                Form->Kurven1Click();
                const QPoint start = OnPage(page, 20, 150), end = OnPage(page, 80, 150),
                             ctrl1 = OnPage(page, 40, 130), ctrl2 = OnPage(page, 60, 170);
                for (QPoint click : {start, end, ctrl1, ctrl2}) {
                    Press(click);
                    Release(click);
                }
                {
                    const TDrawObject& o = LastObject();
                    ASSERT_EQ(o.Kind, okBezier);
                    EXPECT_LE(Distance(Shown(page, o.X1, o.Y1), start), kTolerancePx);
                    EXPECT_LE(Distance(Shown(page, o.X2, o.Y2), ctrl1), kTolerancePx);
                    EXPECT_LE(Distance(Shown(page, o.X3, o.Y3), ctrl2), kTolerancePx);
                    EXPECT_LE(Distance(Shown(page, o.X4, o.Y4), end), kTolerancePx);
                }

                // The status bar counts from the top of the first page: the
                // top edge of this page is `page` page heights down.
                Form->PaintBox1MouseMove(ViewMargin, page * h + ViewMargin);
                QLocale locale = QLocale::system();
                locale.setNumberOptions(QLocale::OmitGroupSeparator);
                EXPECT_EQ(Form->StatusText->text(),
                          locale.toString(0.0, 'f', 2) + QStringLiteral(" mm, ") +
                              locale.toString(page * H, 'f', 2) + QStringLiteral(" mm"));
            }
        }
    }
}

TEST_F(PagesTest, ObjectsReadTheInstrumentsMillimetresOnLaterPages) {
    // On page 2 the ruler's edge at 90 mm lies 297 + 90 mm down the drawing.
    Use(kA4, 100);
    Form->LinealAnLinealentlangzeichnen1Click();
    Press(OnPage(1, 30, 95));
    Move(OnPage(1, 70, 95));
    Release(OnPage(1, 70, 95));
    EXPECT_EQ(LastObject().Y1, 387.0);
    EXPECT_EQ(LastObject().Y2, 387.0);

    // On page 10 at zoom 10 the circle is centred on the needle, 9 pages
    // of 297 mm and the needle's 50 mm down.
    Use(kA4, 10);
    Form->LinealVerschieben1Click();
    Press(OnPage(9, 5, 5));
    Release(OnPage(9, 5, 5));
    Form->ZirkelKreiszeichnen1->trigger();
    const TDrawObject& o = LastObject();
    EXPECT_NEAR((o.Y1 + o.Y2) / 2, 9 * 297.0 + 50.0, 1e-9);
    EXPECT_NEAR((o.X1 + o.X2) / 2, 150.0, 1e-9);
}

TEST_F(PagesTest, TextsAndObjectsOnTheTenthPageAreFoundWhereTheyAreShown) {
    Use(kA4, 37); // pages of 415 pixels for 415.33: 3 pixels of drift by page 10
    const int page = 9;
    Form->ModalRunner = [](QDialog& dialog) {
        auto* form = dynamic_cast<ui::TAddTextForm*>(&dialog);
        if (!form) return int(QDialog::Rejected);
        form->SetText(u"Hallo");
        return int(QDialog::Accepted);
    };

    // A text placed with the pointer has its corner under the pointer and
    // is highlighted when the pointer rests on it.
    Form->TextTexthinzufgen1->trigger();
    const QPoint at = OnPage(page, 50, 100);
    Press(at);
    Release(at);
    ASSERT_EQ(Form->Drawing->Texts.Count(), 1);
    const TTextObject& t = Form->Drawing->Texts[0];
    EXPECT_LE(Distance(Shown(page, t.Left, t.Top), at), kTolerancePx);
    Form->TextTextlschen1->trigger();
    Move(at + QPoint(1, 1));
    EXPECT_TRUE(Form->Pointer.HoverShown);

    // A line is found and highlighted where the page shows it, and a move
    // onto the first page puts it under the pointer there.
    const double y = page * H + 150.0;
    AddLine(20, y, 80, y);
    Form->PaintBox1Paint();
    const QPointF shown = Shown(page, 50, y);
    const QPoint onLine(RoundHalfEven(shown.x()), RoundHalfEven(shown.y()));
    Form->ObjekteVerschieben1->trigger();
    Move(onLine);
    ASSERT_TRUE(Form->Pointer.HoverShown);
    EXPECT_EQ(Form->Pointer.HoverIndex, 0);
    EXPECT_TRUE(RedNear(OverlayImage(), onLine.x() + ViewMargin, onLine.y() + ViewMargin, 0));
    const QPoint target = OnPage(0, 60, 40);
    Press(onLine);
    Move(target);
    Release(target);
    const TDrawObject& o = LastObject();
    EXPECT_LE(Distance(Shown(0, o.X1 + 30, o.Y1), target), kTolerancePx);
    EXPECT_DOUBLE_EQ(o.Y1, o.Y2);
}

// The positions above are compared with where the pages show things; this
// checks that against the pixels the paint event really paints: a stored
// line and the ruler's scale edge on the tenth page.
TEST_F(PagesTest, PicturesArePaintedWhereTheComparisonsExpectThem) {
    Use(kLetter, 37);
    const int page = 9;
    const int column = RoundHalfEven(50 * S) + ViewMargin;
    const QRect strip(column, page * h + ViewMargin, 1, h);
    // The first row below the page's border whose pixel passes `test`.
    const auto firstRow = [&](auto test) {
        const QImage image = PaintRegion(strip);
        for (int row = 1; row < h - 1; ++row)
            if (test(image.pixel(0, row))) return row;
        return -1;
    };

    ShowOnly(Form->Lineal2);
    Form->PaintBox1Paint();
    EXPECT_EQ(firstRow([](QRgb c) { return c != qRgb(255, 255, 255); }),
              RoundHalfEven(InstrumentAt(page, 50, Form->Instruments.LinY).y()) - page * h);

    const double y = page * H + 100.0;
    AddLine(20, y, 80, y);
    ShowOnly(nullptr);
    Form->PaintBox1Paint();
    EXPECT_EQ(firstRow([](QRgb c) { return qGray(c) < 60; }),
              RoundHalfEven(Shown(page, 50, y).y()) - page * h);
}

} // namespace
} // namespace quirindo::test
