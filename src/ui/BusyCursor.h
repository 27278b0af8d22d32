#pragma once
// A wait cursor over the whole application while a long file operation
// blocks the window. Quick ones skip it: a cursor that flickers for a few
// milliseconds on every save is noise, not information.

#include <QCursor>
#include <QGuiApplication>

#include <cstdint>

namespace quirindo::ui {

// Files up to this size open and save well within a tenth of a second.
inline constexpr std::uint64_t kBusyCursorBytes = std::uint64_t(8) << 20;

class TBusyCursor {
public:
    // Always shown: exports and printing, whose length the size does not tell.
    TBusyCursor() : TBusyCursor(UINT64_MAX) {}
    explicit TBusyCursor(std::uint64_t bytes) : FShown(bytes > kBusyCursorBytes) {
        if (FShown) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~TBusyCursor() {
        if (FShown) QGuiApplication::restoreOverrideCursor();
    }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

private:
    bool FShown;
};

} // namespace quirindo::ui
