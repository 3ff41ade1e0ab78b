#include "Form.h"

#include "Application.h"
#include "Checked.h"
#include "Dispatch.h"
#include "Failure.h"
#include "FormMessages.h"

#include <cmath>

namespace forms {
namespace {

int g_loadedForms = 0;

int TwipsToPixels(float twips, float twipsPerPixel)
{
    return RoundToInt32(static_cast<double>(twips) / static_cast<double>(twipsPerPixel));
}

} // namespace

bool AnyFormLoaded() { return g_loadedForms > 0; }

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

Form::~Form()
{
    if (m_window)
        ::DestroyWindow(m_window);
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

void Form::CreateWindowHidden()
{
    if (m_definition.picture)
        m_picture.Reset(m_definition.picture());
    int width = TwipsToPixels(m_definition.width, Screen::TwipsPerPixelX());
    int height = TwipsToPixels(m_definition.height, Screen::TwipsPerPixelY());
    m_window = FormMessages::CreateFormWindow(*this, width, height);
    if (!m_window)
        Fail(FailureCode::OutOfMemory);
    ++g_loadedForms;
    if (m_autoRedraw)
        m_image = std::make_unique<OffscreenImage>(width, height, m_definition.backColor, m_picture.Get());
}

void Form::StartTimers()
{
    for (std::size_t index = 0; index < m_timers.size(); ++index)
        ::SetTimer(m_window, index + 1, m_timers[index]->m_interval, nullptr);
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
        ::SetTimer(m_window, index + 1, m_timers[index]->m_interval, nullptr);
        Timer& timer = *m_timers[index];
        RaiseEvent([&timer] { timer.m_onTick(); });
    }
}

void Form::Unload()
{
    if (!m_window)
        return;
    HWND window = m_window;
    for (std::size_t index = 0; index < m_timers.size(); ++index)
        ::KillTimer(window, index + 1);
    ::DestroyWindow(window); // WM_DESTROY calls Destroyed()
}

void Form::Destroyed()
{
    m_window = nullptr;
    m_image.reset();
    m_picture.Reset();
    if (--g_loadedForms == 0 && IsRunningEventLoop())
        ::PostQuitMessage(0);
}

void Form::Show()
{
    LoadedWindow();
    TickBeforeFirstPaint();
    ShowDrawing();
    ::ShowWindow(LoadedWindow(), SW_SHOWNOACTIVATE);
    ::UpdateWindow(m_window);
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
