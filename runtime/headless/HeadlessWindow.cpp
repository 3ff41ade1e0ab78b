#include "HeadlessWindow.h"

#include "GdiObjects.h"
#include "HeadlessControl.h"
#include "HeadlessEventLoop.h"
#include "HeadlessState.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

namespace forms::headless {
namespace {

std::unordered_map<HWND, HeadlessWindow*>& Windows() { return State().windows; }

// Handles are numbers never used twice, not even across fresh states
// (ResetState), so that a stale one finds nothing.
HWND NewHandle()
{
    static std::uintptr_t last = 0;
    return reinterpret_cast<HWND>(++last);
}

} // namespace

void HeadlessWindow::ShapeDeleter::operator()(HRGN__* region) const { delete region; }

HeadlessWindow::HeadlessWindow(const WindowSettings& settings, WindowEvents& events)
    : m_events(events)
    , m_handle(NewHandle())
    , m_caption(settings.caption)
    , m_surface(std::max(settings.width, 0), std::max(settings.height, 0), settings.backColor, settings.picture)
{
    Windows().emplace(m_handle, this);
}

HeadlessWindow::~HeadlessWindow()
{
    Windows().erase(m_handle);
    StopTimers(m_handle);
}

RECT HeadlessWindow::Bounds()
{
    return RECT { m_position.x, m_position.y, m_position.x + m_surface.Width(), m_position.y + m_surface.Height() };
}

// What the window shows once it is on the screen is the form's image, as a
// platform asks a newly shown window to paint.
void HeadlessWindow::Show()
{
    if (!m_shown)
        m_surface.CopyFrom(m_events.ShownImage(), RECT { 0, 0, m_surface.Width(), m_surface.Height() });
    m_shown = true;
}

void HeadlessWindow::StartTimer(std::size_t index, unsigned interval) { headless::StartTimer(m_handle, index, interval); }

void HeadlessWindow::Present(const OffscreenImage& image, const RECT& area)
{
    if (m_shown)
        m_surface.CopyFrom(image, area);
}

void HeadlessWindow::DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill)
{
    m_surface.DrawEllipse(box, pen, fill);
}

void HeadlessWindow::SetShape(HRGN__* region) { m_shape.reset(region); }

void HeadlessWindow::MoveWithPointer(LPARAM pressedAt) { HandOver(m_handle, HTCAPTION, pressedAt); }

HeadlessWindow* LiveWindow(HWND handle)
{
    auto found = Windows().find(handle);
    return found == Windows().end() ? nullptr : found->second;
}

} // namespace forms::headless
