#include "Remembered.h"

#include "UserFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace quirindo::ui {
namespace {

const QString kLastFolder = QStringLiteral("Files/LastFolder");
const QString kRecent = QStringLiteral("Files/Recent");
const QString kInches = QStringLiteral("View/RulerInches");
const QString kSnapping = QStringLiteral("View/Snapping");
const QString kGeometry = QStringLiteral("Window/Geometry");

} // namespace

TRemembered::TRemembered(const QString& path) {
    if (path.isEmpty()) {
        // Nothing to write to: an in-memory store under a name no file has.
        FSettings = std::make_unique<QSettings>(QString(), QSettings::IniFormat);
    } else {
        FSettings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    }
}

TRemembered::~TRemembered() = default;

QString TRemembered::DefaultPath() {
    const TUserFolders folders = TUserFolders::FromEnvironment();
    QString config = QString::fromStdString(folders.ConfigHome);
    if (config.isEmpty() && !folders.Home.empty())
        config = QString::fromStdString(folders.Home) + QStringLiteral("/.config");
    if (config.isEmpty()) return {};
    return config + QStringLiteral("/quirindo/quirindo.conf");
}

QString TRemembered::LastFolder() const {
    return FSettings->value(kLastFolder).toString();
}

void TRemembered::SetLastFolder(const QString& folder) {
    FSettings->setValue(kLastFolder, folder);
}

QStringList TRemembered::RecentFiles() const {
    QStringList files = FSettings->value(kRecent).toStringList();
    files.removeAll(QString());
    files.removeDuplicates();
    while (files.size() > kRecentCount)
        files.removeLast();
    return files;
}

void TRemembered::AddRecentFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = RecentFiles();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > kRecentCount)
        files.removeLast();
    FSettings->setValue(kRecent, files);
}

void TRemembered::RemoveRecentFile(const QString& path) {
    QStringList files = RecentFiles();
    files.removeAll(path);
    FSettings->setValue(kRecent, files);
}

std::optional<bool> TRemembered::InchLabels() const {
    if (!FSettings->contains(kInches)) return std::nullopt;
    return FSettings->value(kInches).toBool();
}

void TRemembered::SetInchLabels(bool inches) {
    FSettings->setValue(kInches, inches);
}

bool TRemembered::Snapping() const {
    return FSettings->value(kSnapping, true).toBool();
}

void TRemembered::SetSnapping(bool on) {
    FSettings->setValue(kSnapping, on);
}

QByteArray TRemembered::WindowGeometry() const {
    return FSettings->value(kGeometry).toByteArray();
}

void TRemembered::SetWindowGeometry(const QByteArray& geometry) {
    FSettings->setValue(kGeometry, geometry);
}

void TRemembered::Sync() {
    FSettings->sync();
}

} // namespace quirindo::ui
