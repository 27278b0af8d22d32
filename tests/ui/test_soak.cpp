// A soak of the real window: seeded random sequences of tool choices,
// presses, drags, releases, wheel turns, keys, zoom and page-count changes
// through the window's own handlers, then a save and a reopen. Every dialog
// is answered by the fakes (cancelled), so nothing waits for a user. A
// failure names its seed; running that seed alone replays it.

#include "DrawingFile.h"
#include "MainFormFixture.h"
#include "PaintBox.h"
#include "SpinEdits.h"

#include <QAction>
#include <QDialog>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <random>
#include <vector>

namespace quirindo::test {
namespace {

constexpr int kEventsPerSeed = 8000;

class SoakTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        Form->ModalRunner = [](QDialog&) { return int(QDialog::Rejected); };
        Tools = {Form->LinealVerschieben1, Form->LinealDrehen1,
                 Form->LinealAnLinealentlangzeichnen1, Form->LinealQuerzumLinealzeichnen1,
                 Form->WinkelmesserVerschieben1, Form->WinkelmesserDrehen1,
                 Form->WinkelmesserGradzahlmitBleistiftmarkieren1, Form->ZirkelVerschieben1,
                 Form->ZirkelZirkelspanne1, Form->ZirkelKreisbogenzeichnen1,
                 Form->ZirkelKreiszeichnen1, Form->Kurven1, Form->Bleistift1, Form->Radierer1,
                 Form->TextTexthinzufgen1, Form->TextTextndern1, Form->TextTextlschen1,
                 Form->TextVerschieben1, Form->ObjekteLschen1, Form->ObjekteVerschieben1,
                 Form->Hand1, Form->Zoom1};
        Form->PaintBox1Paint();
    }

    // One random event; returns whether it was a release (a stroke ended).
    bool Step(std::mt19937& random) {
        auto pick = [&random](int lo, int hi) {
            return std::uniform_int_distribution<int>(lo, hi)(random);
        };
        // Mostly inside the view, now and then far outside it.
        auto coordinate = [&](int extent) {
            return pick(0, 19) == 0 ? pick(-3000, extent + 3000) : pick(0, std::max(extent, 1));
        };
        const int w = Form->PaintBox1->width(), h = Form->PaintBox1->height();
        const int kind = pick(0, 99);
        if (kind < 4) {
            QAction* tool = Tools[static_cast<std::size_t>(pick(0, int(Tools.size()) - 1))];
            if (tool) tool->trigger();
        } else if (kind < 18) {
            Form->PaintBox1MouseDown(pick(0, 9) == 0 ? Qt::RightButton : Qt::LeftButton,
                                     coordinate(w), coordinate(h));
            Down = true;
        } else if (kind < 70) {
            // A drag moves in small steps, as a hand does.
            X = std::clamp(X + pick(-25, 25), -50, w + 50);
            Y = std::clamp(Y + pick(-25, 25), -50, h + 50);
            Form->PaintBox1MouseMove(X, Y);
        } else if (kind < 84) {
            Form->PaintBox1MouseUp(pick(0, 9) == 0 ? Qt::RightButton : Qt::LeftButton, X, Y);
            const bool ended = Down;
            Down = false;
            return ended;
        } else if (kind < 88) {
            if (pick(0, 1) == 0)
                Form->FormMouseWheel(pick(-3, 3) * 120);
            else
                Form->FormMouseWheelZoom(pick(-2, 2) * 120, QPoint(coordinate(w), coordinate(h)));
        } else if (kind < 92) {
            switch (pick(0, 3)) {
            case 0: Form->AbandonPointerAction(); break; // Escape
            case 1: Form->ZoomInClick(); break;          // Ctrl++
            case 2: Form->ZoomOutClick(); break;         // Ctrl+-
            default: Form->ObjekteLetzesObjektlschen1Click(); break;
            }
        } else if (kind < 94) {
            Form->SetZoomAbout(pick(25, 250), QPoint(coordinate(w), coordinate(h)));
        } else if (kind < 96) {
            Form->PageAnz->setValue(pick(1, 10));
        } else if (kind < 97) {
            Form->PaintBox1MouseLeave();
        } else {
            Form->PaintBox1Paint();
        }
        return false;
    }

    std::vector<QAction*> Tools;
    bool Down = false;
    int X = 100, Y = 100;
};

bool Finite(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(SoakTest, RandomUseKeepsTheDrawingSoundAndSavable) {
    int drawn = 0, texts = 0;
    for (const unsigned seed : {1u, 2u, 3u, 20261209u}) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        std::mt19937 random(seed);
        int overlayAfterStroke = 0;
        for (int i = 0; i < kEventsPerSeed; ++i) {
            if (Step(random)) {
                // What a finished stroke leaves on the view does not pile up
                // from one stroke to the next.
                overlayAfterStroke = std::max(overlayAfterStroke, Form->Overlay.Count());
            }
        }
        Form->PaintBox1MouseUp(Qt::LeftButton, X, Y);
        Down = false;
        Form->AbandonPointerAction();
        EXPECT_LE(overlayAfterStroke, 64);
        drawn += Form->Drawing->Objects.Count();
        texts += Form->Drawing->Texts.Count();
        std::printf("seed %u: %d objects, %d texts, overlay after a stroke at most %d\n", seed,
                    Form->Drawing->Objects.Count(), Form->Drawing->Texts.Count(),
                    overlayAfterStroke);

        const QString path = Path("soak.qrd");
        QFile::remove(path);
        Fake->Errors.clear();
        Fake->SaveNames.push_back(path);
        ASSERT_TRUE(Form->Speichernunter1 != nullptr);
        Form->Speichernunter1->trigger();
        ASSERT_TRUE(QFile::exists(path)) << Fake->Errors.join('\n').toStdString();
        const QByteArray saved = ReadAll(path);

        TDrawing drawing;
        TDrawingSettings settings;
        std::string why;
        ASSERT_EQ(LoadDrawingFile(path.toStdString(), drawing, settings, why), TLoadResult::Ok)
            << why;
        for (std::int32_t i = 0; i < drawing.Objects.Count(); ++i) {
            const TDrawObject& o = drawing.Objects[i];
            ASSERT_TRUE(Finite({o.Width, o.X1, o.Y1, o.X2, o.Y2, o.X3, o.Y3, o.X4, o.Y4}))
                << "object " << i;
        }
        for (std::int32_t i = 0; i < drawing.Texts.Count(); ++i) {
            const TTextObject& t = drawing.Texts[i];
            ASSERT_TRUE(Finite({t.Left, t.Top, t.Right, t.Bottom})) << "text " << i;
        }
        EXPECT_TRUE(Finite({settings.LinX, settings.LinY, settings.LinW, settings.WinkX,
                            settings.WinkY, settings.WinkW, settings.ZirkX, settings.ZirkY,
                            settings.ZirkS, settings.Zoom, settings.LineWidth,
                            settings.EraserWidth, settings.PageCount}));
        EXPECT_EQ(drawing.Objects.Count(), Form->Drawing->Objects.Count());

        // Reopened in a fresh window and saved again, it is the same file.
        ui::TMainForm other(ProgramPath());
        auto dialogs = std::make_unique<TFakeDialogs>();
        TFakeDialogs* otherFake = dialogs.get();
        other.SetDialogs(std::move(dialogs));
        ASSERT_TRUE(other.OpenFileFromPath(path));
        const QString again = Path("again.qrd");
        QFile::remove(again);
        otherFake->SaveNames.push_back(again);
        other.Speichernunter1->trigger();
        EXPECT_EQ(ReadAll(again), saved);
        EXPECT_TRUE(otherFake->Errors.isEmpty()) << otherFake->Errors.join('\n').toStdString();
    }
    // The random use really drew: a soak of an empty drawing proves little.
    EXPECT_GT(drawn, 20);
}

} // namespace
} // namespace quirindo::test
