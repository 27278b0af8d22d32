// What the window says when a file cannot be had: memory running out is
// named as such, and a drawing named by a relative path is shown by its
// absolute one.

#include "DrawingFile.h"
#include "FileIO.h"
#include "MainFormFixture.h"

#include <QDir>
#include <cstdlib>
#include <filesystem>

namespace quirindo::test {
namespace {

// Refuses the first block asked for, then hands out memory again.
bool gRefused = false;
void* RefuseFirstBlock(std::size_t bytes) {
    if (!gRefused) {
        gRefused = true;
        return nullptr;
    }
    return std::calloc(1, bytes);
}

// Opening a drawing that needs more memory than can be had: the record
// store's own English box appears, then the open says "not enough memory"
// rather than calling the file damaged; the drawing on screen stays.
TEST_F(MainFormTest, RunningOutOfMemoryOnOpenIsNamedAsSuch) {
    TDrawing drawing;
    drawing.Objects.Append()->Kind = okLine;
    std::string error;
    const QString path = Path("one.qrd");
    ASSERT_TRUE(
        WriteFileAtomically(path.toStdString(), SaveDrawing(drawing, TDrawingSettings{}), error));
    AddLine();
    AddLine();

    gRefused = false;
    const TBlockAllocator old = SetBlockAllocator(&RefuseFirstBlock);
    const bool opened = Form->OpenFileFromPath(path);
    SetBlockAllocator(old);

    EXPECT_FALSE(opened);
    ASSERT_EQ(Fake->Errors.size(), 2) << Fake->Errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Fake->Errors[0],
              QStringLiteral("Error while trying to allocate 8800 bytes of RAM. Not enough memory."));
    EXPECT_EQ(Fake->Errors[1],
              QStringLiteral("Die Datei %1 konnte nicht geöffnet werden: nicht genug Arbeitsspeicher")
                  .arg(path));
    EXPECT_EQ(Form->Drawing->Objects.Count(), 2);
    EXPECT_TRUE(Form->Changed);
}

// A file manager or a shell passes a path relative to its own folder; the
// caption and every later save use the absolute one.
TEST_F(MainFormTest, DrawingNamedByARelativePathShowsItsAbsolutePath) {
    TDrawing drawing;
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(Dir.File("rel.qrd"), SaveDrawing(drawing, TDrawingSettings{}),
                                    error));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(Dir.Path().string())));
    const bool opened = Form->OpenFileFromPath(QStringLiteral("rel.qrd"));
    std::filesystem::create_directory(Dir.Path() / "elsewhere");
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(Dir.File("elsewhere"))));
    EXPECT_TRUE(opened);
    EXPECT_EQ(Form->FileName, Path("rel.qrd"));
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("TAVREN Quirindo 1.0 - [%1]").arg(Path("rel.qrd")));

    // Saved from another folder, it still goes to the file that was opened.
    AddLine();
    Form->Speichern1Click();
    EXPECT_FALSE(Form->Changed);
    EXPECT_FALSE(std::filesystem::exists(Dir.Path() / "elsewhere" / "rel.qrd"));
    TDrawing back;
    TDrawingSettings settings;
    std::string why;
    ASSERT_EQ(LoadDrawingFile(Dir.File("rel.qrd"), back, settings, why), TLoadResult::Ok);
    EXPECT_EQ(back.Objects.Count(), 1);
    QDir::setCurrent(previous);
}

} // namespace
} // namespace quirindo::test
