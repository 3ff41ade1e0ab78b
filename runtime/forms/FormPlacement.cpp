// What every form does the same way on every platform: its loading, and its
// position and size in twips.
#include "Form.h"

#include "Application.h"
#include "Dispatch.h"
#include "Failure.h"
#include "FormScale.h"

namespace forms {

Timer::Timer(Form& owner, unsigned interval, std::function<void()> onTick)
    : m_interval(interval)
    , m_onTick(std::move(onTick))
{
    owner.m_timers.push_back(this);
}

Form::Form(FormDefinition definition)
    : m_definition(std::move(definition))
    , m_scaleMode(m_definition.scaleMode)
    , m_autoRedraw(m_definition.autoRedraw)
    , m_fillColor(m_definition.fillColor)
{
}

void Form::Form_MouseDown(std::int16_t, std::int16_t, float, float) {}

void Form::Load() { LoadedWindow(); }

HWND Form::LoadedWindow()
{
    if (m_window)
        return m_window;
    CreateWindowHidden();
    StartTimers();
    RaiseEvent([this] { Form_Load(); });
    ShowDrawing();
    if (!m_window)
        Fail(FailureCode::ObjectRequired); // unloaded by its own load handler
    return m_window;
}

void Form::StartTimers()
{
    for (std::size_t index = 0; index < m_timers.size(); ++index)
        RestartTimer(index);
    m_firstTickPending = !m_timers.empty();
}

// When a form is shown before any of its timers has ticked since it loaded,
// they tick once at once: what they draw is then there from the window's
// first paint rather than one interval later. Each ticks again a whole
// interval on.
void Form::TickBeforeFirstPaint()
{
    if (!m_firstTickPending)
        return;
    m_firstTickPending = false;
    for (std::size_t index = 0; index < m_timers.size() && m_window; ++index) {
        RestartTimer(index);
        Timer& timer = *m_timers[index];
        RaiseEvent([&timer] { timer.m_onTick(); });
    }
}

RECT Form::WindowRect()
{
    RECT rect {};
    ::GetWindowRect(LoadedWindow(), &rect);
    return rect;
}

void Form::MoveTo(int x, int y)
{
    ::SetWindowPos(m_window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

float Form::Top() { return static_cast<float>(WindowRect().top) * Screen::TwipsPerPixelY(); }
float Form::Left() { return static_cast<float>(WindowRect().left) * Screen::TwipsPerPixelX(); }

void Form::SetTop(float twips)
{
    RECT rect = WindowRect();
    MoveTo(rect.left, TwipsToPixels(twips, Screen::TwipsPerPixelY()));
}

void Form::SetLeft(float twips)
{
    RECT rect = WindowRect();
    MoveTo(TwipsToPixels(twips, Screen::TwipsPerPixelX()), rect.top);
}

float Form::Width()
{
    RECT rect = WindowRect();
    return static_cast<float>(rect.right - rect.left) * Screen::TwipsPerPixelX();
}

float Form::Height()
{
    RECT rect = WindowRect();
    return static_cast<float>(rect.bottom - rect.top) * Screen::TwipsPerPixelY();
}

HWND Form::Handle() { return LoadedWindow(); }

HBITMAP Form::Picture()
{
    LoadedWindow();
    return m_picture.Get();
}

} // namespace forms
