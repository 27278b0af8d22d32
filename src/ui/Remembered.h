#pragma once
// What the program remembers between runs for the user, apart from any
// drawing: the folder last used in a file dialog, the window's size and
// place, the drawings opened last and the ruler's unit. Kept with QSettings
// in an INI file in the user's config folder; a drawing file still keeps its
// own settings, and opening one wins over anything remembered here.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QSettings;

namespace quirindo::ui {

class TRemembered {
public:
    // How many drawings the "Zuletzt geöffnet" list keeps.
    static constexpr int kRecentCount = 8;

    // Settings in `path`; an empty path keeps everything for this run only.
    explicit TRemembered(const QString& path);
    ~TRemembered();
    TRemembered(const TRemembered&) = delete;
    TRemembered& operator=(const TRemembered&) = delete;

    // $XDG_CONFIG_HOME/quirindo/quirindo.conf, or ~/.config/...; empty when
    // the user has no usable folder at all.
    static QString DefaultPath();

    [[nodiscard]] QString LastFolder() const;
    void SetLastFolder(const QString& folder);

    // Newest first, at most kRecentCount absolute paths, no duplicates.
    [[nodiscard]] QStringList RecentFiles() const;
    void AddRecentFile(const QString& path);
    void RemoveRecentFile(const QString& path);

    [[nodiscard]] std::optional<bool> InchLabels() const;
    void SetInchLabels(bool inches);

    // "Einrasten" in "Ansicht"; on when never chosen.
    [[nodiscard]] bool Snapping() const;
    void SetSnapping(bool on);

    [[nodiscard]] QByteArray WindowGeometry() const;
    void SetWindowGeometry(const QByteArray& geometry);

    // Writes what changed to the file now.
    void Sync();

private:
    std::unique_ptr<QSettings> FSettings;
};

} // namespace quirindo::ui
