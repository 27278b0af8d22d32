#pragma once
// A main window with scripted dialogs, shown once so that its title is set.

#include "DrawingFile.h"
#include "FakeDialogs.h"
#include "MainForm.h"
#include "PaintBox.h"
#include "TempDir.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace quirindo::test {

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The program's own folder holds translate.dbf and options.dat; German
        // (language 0) keeps the interface texts as the tests name them.
        std::filesystem::create_directory(Dir.Path() / "program");
        {
            std::ofstream options(Dir.Path() / "program" / "options.dat", std::ios::binary);
            options.write("\0\0\0\0", 4);
        }
        Form = std::make_unique<ui::TMainForm>(ProgramPath());
        auto dialogs = std::make_unique<TFakeDialogs>();
        Fake = dialogs.get();
        Form->SetDialogs(std::move(dialogs));
        Form->FormShow();
    }

    // Adds one line through the editor as every drawing tool does, marking
    // the drawing changed.
    void AddLine(double x1 = 10, double y1 = 20, double x2 = 30, double y2 = 40) {
        TDrawObject o{};
        o.Color = Form->PenColor();
        o.Width = 0.1;
        o.Kind = okLine;
        o.X1 = x1;
        o.Y1 = y1;
        o.X2 = x2;
        o.Y2 = y2;
        ASSERT_TRUE(Form->DrawingEditor->AppendObject(o, "An Lineal entlang zeichnen"));
    }

    // Paints `area` of the paint box as an expose event does, into an image
    // of the paint box's size.
    QImage PaintArea(const QRect& area) {
        QImage image(Form->PaintBox1->size(), QImage::Format_RGB32);
        image.fill(Qt::darkGray);
        QPainter painter(&image);
        painter.setClipRect(area);
        Form->PaintView(painter, area);
        return image;
    }

    QString ProgramPath() const {
        return QString::fromStdString((Dir.Path() / "program" / "quirindo").string());
    }
    QString Path(const char* name) const { return QString::fromStdString(Dir.File(name)); }

    TTempDir Dir;
    std::unique_ptr<ui::TMainForm> Form;
    TFakeDialogs* Fake = nullptr;
};

// The window shown at a fixed size with its pages painted, as a user sees it
// before the first click.
class ShownMainFormTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        Form->resize(900, 700);
        Form->show();
        Form->PaintBox1Paint();
        QApplication::processEvents();
    }
    // The drawing as the file would hold it.
    std::vector<std::uint8_t> Saved() {
        return SaveDrawing(*Form->Drawing, Form->CurrentSettings());
    }
};

} // namespace quirindo::test
