#include "Form.h"

#include "Application.h"
#include "Checked.h"
#include "Dispatch.h"
#include "EventLoop.h"
#include "Failure.h"
#include "FormScale.h"
#include "FormWindow.h"
#include "GdiObjects.h"

namespace forms {
namespace {

int g_loadedForms = 0;

} // namespace

bool AnyFormLoaded() { return g_loadedForms > 0; }

Form::~Form() { Unload(); }

void Form::CreateWindowHidden()
{
    if (m_definition.picture)
        m_picture.Reset(m_definition.picture());
    int width = TwipsToPixels(m_definition.width, Screen::TwipsPerPixelX());
    int height = TwipsToPixels(m_definition.height, Screen::TwipsPerPixelY());
    m_window = x11::CreateFormWindow(*this, m_definition, width, height);
    ++g_loadedForms;
    if (m_autoRedraw)
        m_image = std::make_unique<OffscreenImage>(width, height, m_definition.backColor, m_picture.Get());
}

void Form::RestartTimer(std::size_t index) { x11::StartTimer(m_window, index, m_timers[index]->m_interval); }

void Form::Unload()
{
    if (!m_window)
        return;
    HWND window = m_window;
    m_window = nullptr;
    x11::StopTimers(window);
    x11::DestroyFormWindow(window);
    m_image.reset();
    m_picture.Reset();
    --g_loadedForms;
}

void Form::Show()
{
    LoadedWindow();
    TickBeforeFirstPaint();
    ShowDrawing();
    if (HWND__* window = x11::LiveWindow(LoadedWindow()))
        x11::MapFormWindow(*window);
}

} // namespace forms
