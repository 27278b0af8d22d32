// The exported files as other programs read them: page sizes, where the
// lines and texts land, that texts are text and nothing is a raster image,
// and that big pictures are written in bands of bounded size.

#include "BitmapExport.h"
#include "DrawingFile.h"
#include "PagePrinting.h"
#include "TempDir.h"
#include "VectorExport.h"
#include "render/RenderTestSupport.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace quirindo::test {
namespace {

bool Dark(QRgb pixel) {
    return qGray(pixel) < 128;
}

// The longest run of dark pixels in any row, and its row.
std::pair<int, int> LongestDarkRow(const QImage& image) {
    std::pair<int, int> best{-1, 0};
    for (int y = 0; y < image.height(); ++y) {
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            run = Dark(image.pixel(x, y)) ? run + 1 : 0;
            if (run > best.second) best = {y, run};
        }
    }
    return best;
}

struct TRun {
    int ExitCode = -1;
    QString Out;
};

TRun RunTool(const QString& tool, const QStringList& args) {
    QProcess process;
    process.start(tool, args);
    TRun run;
    if (!process.waitForFinished(120000)) return run;
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = QString::fromUtf8(process.readAllStandardOutput());
    return run;
}

QString Tool(const char* name) {
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

class OutputFiles : public ::testing::Test {
protected:
    // Two A4 pages: page 1 holds a 100 mm line at y = 50 mm (0.1 mm wide, so
    // that its round ends add only a pixel at 254 dpi), a circle, an
    // arc, a curve and two texts (umlauts, Greek); page 2 a vertical line
    // and a text.
    void SetUp() override {
        AddObject(Drawing, okLine, 0.1, {10, 50, 110, 50});
        AddObject(Drawing, okEllipse, 0.3, {120, 120, 180, 180});
        AddObject(Drawing, okArc, 0.3, {20, 150, 80, 210, 80, 180, 20, 180});
        AddObject(Drawing, okBezier, 0.3, {20, 230, 60, 200, 100, 260, 140, 230});
        AddText(Drawing, u"Größe der Fläche", 20, 100, 14);
        AddText(Drawing, u"Winkel α = 30°, π", 20, 120, 12);
        AddObject(Drawing, okLine, 0.5, {30, 297 + 100, 30, 297 + 200});
        AddText(Drawing, u"Seite zwei", 50, 297 + 20, 12);
        Job.PageWidthInch = kA4WidthInch;
        Job.PageHeightInch = kA4HeightInch;
        Job.FirstPage = 0;
        Job.LastPage = 1;
        Job.Title = QStringLiteral("Prüfung");
    }
    QString Path(const char* name) const { return QString::fromStdString(Dir.File(name)); }

    TDrawing Drawing;
    output::TVectorJob Job;
    TTempDir Dir;
};

TEST_F(OutputFiles, PdfIsTrueToScaleWithSearchableEmbeddedTextAndNoImages) {
    for (const char* tool : {"pdfinfo", "pdftotext", "pdfimages", "pdffonts", "pdftoppm"})
        if (Tool(tool).isEmpty()) GTEST_SKIP() << "poppler-utils missing: " << tool;
    const QString pdf = Path("plan.pdf");
    QString error;
    ASSERT_TRUE(output::WritePdf(pdf, Drawing, Job, error)) << error.toStdString();

    const TRun info = RunTool(Tool("pdfinfo"), {pdf});
    ASSERT_EQ(info.ExitCode, 0);
    EXPECT_TRUE(info.Out.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\b"))))
        << info.Out.toStdString();
    const auto size = QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"))
                          .match(info.Out);
    ASSERT_TRUE(size.hasMatch()) << info.Out.toStdString();
    // Qt's PDF writer gives page boxes in whole points (595 x 842 for A4);
    // the drawing on them is exact.
    EXPECT_NEAR(size.captured(1).toDouble(), 595.28, 0.5);
    EXPECT_NEAR(size.captured(2).toDouble(), 841.89, 0.5);

    // Texts are text: found, with umlauts and Greek, on their own pages.
    const TRun first = RunTool(Tool("pdftotext"), {QStringLiteral("-f"), QStringLiteral("1"),
                                                   QStringLiteral("-l"), QStringLiteral("1"),
                                                   QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                                                   pdf, QStringLiteral("-")});
    EXPECT_TRUE(first.Out.contains(QStringLiteral("Größe der Fläche"))) << first.Out.toStdString();
    EXPECT_TRUE(first.Out.contains(QStringLiteral("α"))) << first.Out.toStdString();
    EXPECT_TRUE(first.Out.contains(QStringLiteral("π")));
    EXPECT_FALSE(first.Out.contains(QStringLiteral("Seite zwei")));

    // Where the first text sits: its left edge 20 mm (56.7 pt) from the
    // paper's edge, its glyphs just below 100 mm (283.5 pt).
    const TRun boxes = RunTool(Tool("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"),
                                                   QStringLiteral("1"), QStringLiteral("-l"),
                                                   QStringLiteral("1"), pdf, QStringLiteral("-")});
    const auto word =
        QRegularExpression(QStringLiteral("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>Größe<"))
            .match(boxes.Out);
    ASSERT_TRUE(word.hasMatch()) << boxes.Out.toStdString();
    EXPECT_NEAR(word.captured(1).toDouble(), 20 * 72 / 25.4, 2.0);
    EXPECT_NEAR(word.captured(2).toDouble(), 100 * 72 / 25.4, 4.0);

    // No raster image anywhere: the list has its two header lines only.
    const TRun images = RunTool(Tool("pdfimages"), {QStringLiteral("-list"), pdf});
    ASSERT_EQ(images.ExitCode, 0);
    EXPECT_EQ(images.Out.trimmed().split(QLatin1Char('\n')).size(), 2) << images.Out.toStdString();

    // Every font is embedded (the "emb" column).
    const TRun fonts = RunTool(Tool("pdffonts"), {pdf});
    const QStringList rows = fonts.Out.trimmed().split(QLatin1Char('\n')).mid(2);
    ASSERT_FALSE(rows.isEmpty()) << fonts.Out.toStdString();
    for (const QString& row : rows)
        EXPECT_TRUE(row.contains(QRegularExpression(QStringLiteral("\\byes\\s+(yes|no)\\s+(yes|no)"))))
            << row.toStdString();

    // The 100 mm line measures 100 mm on the page: 1000 pixels at 254 dpi.
    const TRun raster = RunTool(Tool("pdftoppm"),
                                {QStringLiteral("-r"), QStringLiteral("254"), QStringLiteral("-f"),
                                 QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                                 QStringLiteral("-gray"), QStringLiteral("-png"), pdf, Path("p")});
    ASSERT_EQ(raster.ExitCode, 0);
    const QImage page(Path("p-1.png"));
    ASSERT_FALSE(page.isNull());
    const auto [row, run] = LongestDarkRow(page);
    EXPECT_NEAR(run, 1000, 3);
    EXPECT_NEAR(row, 500, 3);
    EXPECT_FALSE(Dark(page.pixel(0, 0))) << "no frame around the paper";
}

TEST_F(OutputFiles, PdfOfARunOfPagesAndAFailureKeepingTheOldFile) {
    if (Tool("pdfinfo").isEmpty() || Tool("pdftotext").isEmpty()) GTEST_SKIP() << "no poppler";
    const QString pdf = Path("second.pdf");
    Job.FirstPage = Job.LastPage = 1;
    QString error;
    ASSERT_TRUE(output::WritePdf(pdf, Drawing, Job, error));
    EXPECT_TRUE(RunTool(Tool("pdfinfo"), {pdf}).Out.contains(
        QRegularExpression(QStringLiteral("Pages:\\s+1\\b"))));
    EXPECT_TRUE(RunTool(Tool("pdftotext"), {pdf, QStringLiteral("-")})
                    .Out.contains(QStringLiteral("Seite zwei")));

    // A folder that does not exist: an error naming why, the file untouched.
    EXPECT_FALSE(output::WritePdf(Path("none/x.pdf"), Drawing, Job, error));
    EXPECT_FALSE(error.isEmpty());
    Job.LastPage = -1;
    const QByteArray before = [&] {
        QFile f(pdf);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    EXPECT_FALSE(output::WritePdf(pdf, Drawing, Job, error));
    QFile after(pdf);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}

// Reads the SVG with Python's own XML parser, applying every transform on
// the way down, and prints what the tests compare: the root's size and
// viewBox, each path's extent in viewBox units, and each text.
const char* const kSvgReader = R"PY(
import re, sys, xml.etree.ElementTree as ET
NS = '{http://www.w3.org/2000/svg}'
def mul(a, b):
    return (a[0]*b[0]+a[2]*b[1], a[1]*b[0]+a[3]*b[1], a[0]*b[2]+a[2]*b[3],
            a[1]*b[2]+a[3]*b[3], a[0]*b[4]+a[2]*b[5]+a[4], a[1]*b[4]+a[3]*b[5]+a[5])
def parse(t):
    m = (1, 0, 0, 1, 0, 0)
    for name, args in re.findall(r'(\w+)\s*\(([^)]*)\)', t or ''):
        v = [float(x) for x in re.split(r'[\s,]+', args.strip()) if x]
        if name == 'matrix': n = tuple(v)
        elif name == 'translate': n = (1, 0, 0, 1, v[0], v[1] if len(v) > 1 else 0)
        elif name == 'scale': n = (v[0], 0, 0, v[1] if len(v) > 1 else v[0], 0, 0)
        else: continue
        m = mul(m, n)
    return m
root = ET.parse(sys.argv[1]).getroot()
print('size', root.get('width'), root.get('height'))
print('viewBox', root.get('viewBox'))
def walk(e, m):
    m = mul(m, parse(e.get('transform')))
    tag = e.tag.replace(NS, '')
    if tag in ('path', 'polyline', 'line'):
        if tag == 'line':
            nums = [float(e.get(k)) for k in ('x1', 'y1', 'x2', 'y2')]
        else:
            nums = [float(x) for x in re.findall(r'-?\d+(?:\.\d+)?(?:e-?\d+)?', e.get('d') or e.get('points') or '')]
        pts = [(m[0]*x+m[2]*y+m[4], m[1]*x+m[3]*y+m[5]) for x, y in zip(nums[0::2], nums[1::2])]
        if pts:
            xs = [p[0] for p in pts]; ys = [p[1] for p in pts]
            print('path %.3f %.3f %.3f %.3f' % (min(xs), min(ys), max(xs), max(ys)))
    if tag in ('ellipse', 'circle'):
        cx = float(e.get('cx')); cy = float(e.get('cy'))
        rx = float(e.get('rx') or e.get('r')); ry = float(e.get('ry') or e.get('r'))
        pts = [(cx-rx, cy-ry), (cx+rx, cy+ry)]
        pts = [(m[0]*x+m[2]*y+m[4], m[1]*x+m[3]*y+m[5]) for x, y in pts]
        print('path %.3f %.3f %.3f %.3f' % (min(p[0] for p in pts), min(p[1] for p in pts), max(p[0] for p in pts), max(p[1] for p in pts)))
    if tag == 'text':
        x = float(e.get('x') or 0); y = float(e.get('y') or 0)
        print('text %.3f %.3f %s' % (m[0]*x+m[2]*y+m[4], m[1]*x+m[3]*y+m[5], ''.join(e.itertext()).strip()))
    if tag == 'image':
        print('image')
    for c in e: walk(c, m)
walk(root, (1, 0, 0, 1, 0, 0))
)PY";

TEST_F(OutputFiles, SvgIsInMillimetresWithPathsAndTextsWhereTheDrawingHasThem) {
    const QString svg = Path("plan.svg");
    QString error;
    ASSERT_TRUE(output::WriteSvg(svg, Drawing, Job, error)) << error.toStdString();

    const TRun read = RunTool(QStringLiteral(QUIRINDO_SYSTEM_PYTHON),
                              {QStringLiteral("-c"), QString::fromLatin1(kSvgReader), svg});
    ASSERT_EQ(read.ExitCode, 0) << "the XML parser refused the file";
    const QStringList lines = read.Out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_TRUE(lines.contains(QStringLiteral("size 210mm 297mm"))) << read.Out.toStdString();
    ASSERT_TRUE(lines.filter(QStringLiteral("viewBox")).size() == 1);
    const QStringList box = lines.filter(QStringLiteral("viewBox"))[0].split(QLatin1Char(' '));
    ASSERT_EQ(box.size(), 5);
    EXPECT_NEAR(box[3].toDouble(), 210, 0.01);
    EXPECT_NEAR(box[4].toDouble(), 297, 0.01);
    EXPECT_TRUE(lines.filter(QStringLiteral("image")).isEmpty());

    // The 100 mm line runs from (10, 50) to (110, 50) in the viewBox; the
    // circle spans 120 to 180 both ways.
    bool line = false, circle = false;
    for (const QString& l : lines.filter(QRegularExpression(QStringLiteral("^path ")))) {
        const QStringList v = l.split(QLatin1Char(' '));
        const double x0 = v[1].toDouble(), y0 = v[2].toDouble(), x1 = v[3].toDouble(),
                     y1 = v[4].toDouble();
        line = line || (std::abs(x0 - 10) < 0.05 && std::abs(x1 - 110) < 0.05 &&
                        std::abs(y0 - 50) < 0.05 && std::abs(y1 - 50) < 0.05);
        circle = circle || (std::abs(x0 - 120) < 0.05 && std::abs(x1 - 180) < 0.05 &&
                            std::abs(y0 - 120) < 0.05 && std::abs(y1 - 180) < 0.05);
    }
    EXPECT_TRUE(line) << read.Out.toStdString();
    EXPECT_TRUE(circle) << read.Out.toStdString();

    // Texts are <text> elements with their characters, at their place: the
    // baseline a little below the text's top at 100 mm, 20 mm from the left.
    const QStringList texts = lines.filter(QRegularExpression(QStringLiteral("^text ")));
    const QStringList sizeText = texts.filter(QStringLiteral("Größe der Fläche"));
    ASSERT_EQ(sizeText.size(), 1) << read.Out.toStdString();
    const QStringList t = sizeText[0].split(QLatin1Char(' '));
    EXPECT_NEAR(t[1].toDouble(), 20, 1.0);
    EXPECT_GT(t[2].toDouble(), 100);
    EXPECT_LT(t[2].toDouble(), 110);
    EXPECT_EQ(texts.filter(QStringLiteral("α = 30°, π")).size(), 1);
    EXPECT_TRUE(texts.filter(QStringLiteral("Seite zwei")).isEmpty()) << "page 2 is not in it";

    // A second reader draws it: the line is 1000 pixels at 254 dpi.
    if (Tool("rsvg-convert").isEmpty()) GTEST_SKIP() << "no rsvg-convert";
    const TRun drawn = RunTool(Tool("rsvg-convert"),
                               {QStringLiteral("-d"), QStringLiteral("254"), QStringLiteral("-p"),
                                QStringLiteral("254"), QStringLiteral("-b"), QStringLiteral("white"),
                                QStringLiteral("-o"), Path("svg.png"), svg});
    ASSERT_EQ(drawn.ExitCode, 0);
    const QImage image(Path("svg.png"));
    ASSERT_FALSE(image.isNull());
    EXPECT_NEAR(image.width(), 2100, 2);
    const auto [row, run] = LongestDarkRow(image);
    EXPECT_NEAR(run, 1000, 3);
    EXPECT_NEAR(row, 500, 3);
}

// PNG and BMP come from the same bands: the same pixels, whatever the band
// height, and no band larger than asked for.
TEST_F(OutputFiles, PngAndBmpAgreePixelForPixelAcrossBands) {
    output::TBitmapJob job;
    job.Dpi = 100;
    job.PageWidthInch = kA4WidthInch;
    job.PageHeightInch = kA4HeightInch;
    const TPixelSize size = output::BitmapPageSize(100, kA4WidthInch, kA4HeightInch);
    const long long bandPixels = static_cast<long long>(size.Width) * 97; // 97 rows a band
    QString error;
    output::TBandStats png, bmp;
    ASSERT_TRUE(output::WritePagePicture(Path("a.png"), output::TPictureFormat::Png, Drawing, job,
                                         error, bandPixels, &png))
        << error.toStdString();
    ASSERT_TRUE(output::WritePagePicture(Path("a.bmp"), output::TPictureFormat::Bmp, Drawing, job,
                                         error, bandPixels, &bmp));
    EXPECT_LE(png.LargestBandPixels, bandPixels);
    EXPECT_EQ(png.Bands, (size.Height + 96) / 97);
    EXPECT_EQ(bmp.Bands, png.Bands);

    const QImage a(Path("a.png"), "PNG");
    const QImage b(Path("a.bmp"), "BMP");
    ASSERT_EQ(a.size(), QSize(size.Width, size.Height));
    ASSERT_EQ(b.size(), a.size());
    EXPECT_NEAR(a.dotsPerMeterX(), 100 / 0.0254, 1);
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    EXPECT_EQ(differing, 0);
    // The line at y = 50 mm, 100 mm long, on white paper without a frame.
    const auto [row, run] = LongestDarkRow(a);
    EXPECT_NEAR(row, 50 * 100 / kMmPerInch, 2);
    EXPECT_NEAR(run, 100 * 100 / kMmPerInch, 2);
    EXPECT_FALSE(Dark(a.pixel(0, 0)));
    EXPECT_FALSE(Dark(a.pixel(a.width() - 1, a.height() - 1)));
}

// A strip of an A4 page at 4000 dpi has more pixels than a page may have
// as one image; as a PNG it is written in bands of the same bound as a BMP.
TEST_F(OutputFiles, PngBeyondOneImageAtFourThousandDpi) {
    output::TBitmapJob job;
    job.Dpi = 4000;
    job.PageWidthInch = kA4WidthInch;
    job.PageHeightInch = 14 / kMmPerInch;
    const TPixelSize size = output::BitmapPageSize(4000, job.PageWidthInch, job.PageHeightInch);
    ASSERT_GT(static_cast<long long>(size.Width) * size.Height, kMaxPageImagePixels);
    TDrawing strip;
    AddObject(strip, okLine, 0.5, {10, 7, 110, 7});
    QString error;
    output::TBandStats stats;
    ASSERT_TRUE(output::WritePagePicture(Path("big.png"), output::TPictureFormat::Png, strip, job,
                                         error, output::kDefaultBandPixels, &stats))
        << error.toStdString();
    EXPECT_LE(stats.LargestBandPixels, output::kDefaultBandPixels);
    EXPECT_GT(stats.Bands, 1);
    QImageReader reader(Path("big.png"));
    EXPECT_EQ(reader.format(), "png");
    EXPECT_EQ(reader.size(), QSize(size.Width, size.Height));
    // The last rows are the ones a wrong row count would lose: read a
    // scaled-down copy, which decodes every row. The line's round ends add
    // its width, 0.5 mm, to its length.
    reader.setScaledSize(QSize(size.Width / 16, size.Height / 16));
    const QImage small = reader.read();
    ASSERT_FALSE(small.isNull()) << reader.errorString().toStdString();
    const auto [row, run] = LongestDarkRow(small);
    EXPECT_NEAR(row, 7 * 4000 / kMmPerInch / 16, 2);
    EXPECT_NEAR(run, 100.5 * 4000 / kMmPerInch / 16, 3);
}

TEST(PrintOrder, CopiesCollationReverseAndFit) {
    output::TPrintJob job;
    job.FirstPage = 1;
    job.LastPage = 3;
    EXPECT_EQ(output::PrintOrder(job), (std::vector<int>{1, 2, 3}));
    job.Copies = 2;
    EXPECT_EQ(output::PrintOrder(job), (std::vector<int>{1, 2, 3, 1, 2, 3}));
    job.Reverse = true;
    EXPECT_EQ(output::PrintOrder(job), (std::vector<int>{3, 2, 1, 3, 2, 1}));
    job.Collate = false;
    EXPECT_EQ(output::PrintOrder(job), (std::vector<int>{3, 3, 2, 2, 1, 1}));
    job.LastPage = 0;
    EXPECT_TRUE(output::PrintOrder(job).empty());

    // A3 into A4's printable area with 10 mm margins: the width limits it,
    // upright and across alike.
    EXPECT_NEAR(output::FitScale({297, 420}, {190, 277}), 190.0 / 297, 1e-12);
    EXPECT_NEAR(output::FitScale({420, 297}, {277, 190}), 190.0 / 297, 1e-12);
    EXPECT_NEAR(output::FitScale({420, 297}, {400, 297}), 400.0 / 420, 1e-12);
    EXPECT_EQ(output::FitScale({100, 100}, {190, 277}), 1.0) << "never enlarged";
    EXPECT_FALSE(output::PageFitsPaper({210, 297}, {190, 277}));
    EXPECT_TRUE(output::PageFitsPaper({209.99, 297.01}, {209.97, 296.97}));
}

TEST(PictureFiles, FormatByExtensionAndNumberedPages) {
    EXPECT_EQ(output::PictureFormatOf(QStringLiteral("/a/b.PNG")), output::TPictureFormat::Png);
    EXPECT_EQ(output::PictureFormatOf(QStringLiteral("b.bmp")), output::TPictureFormat::Bmp);
    EXPECT_FALSE(output::PictureFormatOf(QStringLiteral("b.jpg")));
    EXPECT_FALSE(output::PictureFormatOf(QStringLiteral("png")));
    EXPECT_EQ(output::NumberedPageFile(QStringLiteral("/x.y/plan.v2.png"), 3),
              QStringLiteral("/x.y/plan.v2-3.png"));
    EXPECT_EQ(output::NumberedPageFile(QStringLiteral("/x.y/plan"), 1),
              QStringLiteral("/x.y/plan-1"));
}

} // namespace
} // namespace quirindo::test
