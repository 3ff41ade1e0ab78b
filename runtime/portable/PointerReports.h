#pragma once
// Where the pointer is on a Wayland desktop, from two witnesses: the X
// server, which sees it only over X11 windows, and the desktop's own helper,
// which sees it everywhere but reports it a moment late and may be gone.
// Portable: no X, no bus; the X11 back-end feeds it.

#include <optional>

namespace forms {

struct ScreenPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// The place the eyes look at, tick by tick. A report that came since the
// last tick wins: the helper's first, since it is the only witness that
// sees the pointer leave the X11 windows; X's when the X server saw the
// pointer move and the helper said nothing (no helper, a slow one or one
// that has gone); otherwise the place shown last. So a helper that stops
// reporting leaves X in charge within the tick, and one that comes back
// takes over again with its next report.
class PointerMerge {
public:
    ScreenPoint Next(ScreenPoint fromX, std::optional<ScreenPoint> fromDesktop);

private:
    std::optional<ScreenPoint> m_lastFromX;
    ScreenPoint m_shown;
};

} // namespace forms
