// A form's life: loading on first use, showing, unloading, and the events
// its window reports, each raised to the form's handlers.
#include "Form.h"

#include "Application.h"
#include "Dispatch.h"
#include "Failure.h"
#include "FormScale.h"

namespace forms {
namespace {

int g_loadedForms = 0;

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

Form::~Form() { Unload(); }

void Form::Form_MouseDown(std::int16_t, std::int16_t, float, float) {}

void Form::Load() { LoadedWindow(); }

PlatformWindow& Form::LoadedWindow()
{
    if (m_window)
        return *m_window;
    CreateWindowHidden();
    StartTimers();
    RaiseEvent([this] { Form_Load(); });
    ShowDrawing();
    if (!m_window)
        Fail(FailureCode::ObjectRequired); // unloaded by its own load handler
    return *m_window;
}

void Form::CreateWindowHidden()
{
    if (m_definition.picture)
        m_picture.Reset(m_definition.picture());
    WindowSettings settings { m_definition.caption, TwipsToPixels(m_definition.width, Screen::TwipsPerPixelX()),
        TwipsToPixels(m_definition.height, Screen::TwipsPerPixelY()), m_definition.iconResource,
        m_definition.showInTaskbar, m_definition.backColor, m_picture.Get(), m_definition.pictureResource };
    m_window = platform::CreateFormWindow(settings, *this);
    if (!m_window)
        Fail(FailureCode::OutOfMemory);
    ++g_loadedForms;
    if (m_autoRedraw)
        m_image = FreshImage();
}

// Each timer's first tick comes a whole interval after the load: nothing
// reaches the form's handlers before the code that loaded it has finished.
void Form::StartTimers()
{
    for (std::size_t index = 0; index < m_timers.size(); ++index)
        m_window->StartTimer(index, m_timers[index]->m_interval);
}

void Form::Unload()
{
    if (!m_window)
        return;
    std::unique_ptr<PlatformWindow> window = std::move(m_window);
    window.reset();
    ForgetWindow();
}

void Form::ForgetWindow()
{
    m_image.reset();
    m_plainImage.reset();
    m_picture.Reset();
    m_drawn = {};
    if (--g_loadedForms == 0 && IsRunningEventLoop())
        platform::QuitEventLoop();
}

void Form::Show()
{
    LoadedWindow();
    ShowDrawing();
    LoadedWindow().Show();
}

void Form::OnTick(std::size_t index)
{
    if (index >= m_timers.size())
        return;
    Timer& timer = *m_timers[index];
    RaiseEvent([&timer] { timer.m_onTick(); });
    ShowDrawing();
}

void Form::OnMouseDown(std::int16_t button, std::int16_t shift, int x, int y)
{
    RaiseEvent([&] { Form_MouseDown(button, shift, ToUnits(x), ToUnits(y)); });
    ShowDrawing();
}

void Form::OnDoubleClick()
{
    RaiseEvent([this] { Form_DblClick(); });
    ShowDrawing();
}

void Form::OnClosed() { Unload(); }

} // namespace forms
