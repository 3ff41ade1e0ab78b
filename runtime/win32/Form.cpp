#include "Form.h"

#include "Application.h"
#include "Checked.h"
#include "Dispatch.h"
#include "Failure.h"
#include "FormScale.h"
#include "FormMessages.h"

#include <cmath>

namespace forms {
namespace {

int g_loadedForms = 0;

} // namespace

bool AnyFormLoaded() { return g_loadedForms > 0; }

Form::~Form()
{
    if (m_window)
        ::DestroyWindow(m_window);
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

void Form::RestartTimer(std::size_t index)
{
    ::SetTimer(m_window, index + 1, m_timers[index]->m_interval, nullptr);
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

} // namespace forms
