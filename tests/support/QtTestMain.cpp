// GoogleTest entry for tests that need a QApplication (offscreen platform).

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Every test gets a config folder of its own: what one test's window
// remembers (recent drawings, the ruler's unit, recovery copies) never reaches
// the next one, and no test touches the user's real settings.
class TFreshConfigFolder final : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override {
        FFolder = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", FFolder->path().toLocal8Bit());
        // Recovery copies, likewise, never reach the user's own state folder.
        qputenv("XDG_STATE_HOME", (FFolder->path() + QStringLiteral("/state")).toLocal8Bit());
    }
    void OnTestEnd(const ::testing::TestInfo&) override { FFolder.reset(); }

private:
    std::unique_ptr<QTemporaryDir> FFolder;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new TFreshConfigFolder);
    return RUN_ALL_TESTS();
}
