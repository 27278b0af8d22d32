#pragma once
// A main window with scripted dialogs, shown once so that its title is set.

#include "FakeDialogs.h"
#include "MainForm.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <memory>

namespace quirindo::test {

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = std::make_unique<ui::TMainForm>(QStringLiteral("/opt/quirindo/bin/quirindo"));
        auto dialogs = std::make_unique<TFakeDialogs>();
        Fake = dialogs.get();
        Form->SetDialogs(std::move(dialogs));
        Form->FormShow();
    }

    // Adds one line as every drawing tool does, marking the drawing changed.
    void AddLine(double x1 = 10, double y1 = 20, double x2 = 30, double y2 = 40) {
        TDrawObject* o = Form->Drawing->Objects.Append();
        Form->SetChanged();
        o->Color = Form->PenColor();
        o->Width = 0.1;
        o->Kind = okLine;
        o->X1 = x1;
        o->Y1 = y1;
        o->X2 = x2;
        o->Y2 = y2;
    }

    QString Path(const char* name) const { return QString::fromStdString(Dir.File(name)); }

    TTempDir Dir;
    std::unique_ptr<ui::TMainForm> Form;
    TFakeDialogs* Fake = nullptr;
};

} // namespace quirindo::test
