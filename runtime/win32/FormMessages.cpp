#include "FormMessages.h"

#include "Dispatch.h"
#include "Form.h"
#include "NumberText.h"

#include <windowsx.h>

#include <string>

namespace forms {
namespace {

// Icons of a standard size, shared: the system keeps them as long as the
// program runs, whatever windows come and go.
HICON LoadIconOfSize(int resource, int size)
{
    return static_cast<HICON>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON, size, size, LR_SHARED));
}

// Forms with the same icon share a window class that carries the icon: a
// window then has its icon from its creation on, which costs the platform
// far less than giving an existing window its big and small icons.
std::wstring FormClassName(int iconResource)
{
    return L"PeerkinForm" + NumberToText(static_cast<float>(iconResource));
}

void RegisterFormClass(const std::wstring& name, int iconResource, WNDPROC procedure)
{
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (::GetClassInfoExW(instance, name.c_str(), &windowClass))
        return;
    // Without CS_DBLCLKS a second press never becomes a double-click.
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    if (iconResource != 0) {
        windowClass.hIcon = LoadIconOfSize(iconResource, ::GetSystemMetrics(SM_CXICON));
        windowClass.hIconSm = LoadIconOfSize(iconResource, ::GetSystemMetrics(SM_CXSMICON));
    }
    windowClass.lpszClassName = name.c_str();
    ::RegisterClassExW(&windowClass);
}

std::int16_t ShiftStateOf(WPARAM keys)
{
    std::int16_t shift = 0;
    if (keys & MK_SHIFT)
        shift |= ShiftState::Shift;
    if (keys & MK_CONTROL)
        shift |= ShiftState::Ctrl;
    if (::GetKeyState(VK_MENU) < 0)
        shift |= ShiftState::Alt;
    return shift;
}

} // namespace

HWND FormMessages::CreateFormWindow(Form& form, int width, int height)
{
    std::wstring className = FormClassName(form.m_definition.iconResource);
    RegisterFormClass(className, form.m_definition.iconResource, WindowProcedure);
    // A popup has neither border nor title bar; the system menu and minimise
    // box give its taskbar button the usual Close and Minimise.
    DWORD style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    DWORD extendedStyle = form.m_definition.showInTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
    return ::CreateWindowExW(extendedStyle, className.c_str(), form.m_definition.caption.c_str(), style, 0, 0,
        width, height, nullptr, nullptr, ::GetModuleHandleW(nullptr), &form);
}

LRESULT CALLBACK FormMessages::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* form = static_cast<Form*>(create->lpCreateParams);
        form->m_window = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form && Handle(*form, message, wParam, lParam))
        return 0;
    if (form && message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->Destroyed();
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// Handles the messages that become events; false leaves one to the platform.
bool FormMessages::Handle(Form& form, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: return true; // painting covers every pixel: no flicker
    case WM_PAINT: form.Paint(); return true;
    case WM_TIMER: Tick(form, wParam); return true;
    case WM_LBUTTONDOWN: MouseDown(form, MouseButton::Left, wParam, lParam); return true;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: MouseDown(form, MouseButton::Right, wParam, lParam); return true;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: MouseDown(form, MouseButton::Middle, wParam, lParam); return true;
    case WM_LBUTTONDBLCLK:
        RaiseEvent([&form] { form.Form_DblClick(); });
        form.ShowDrawing();
        return true;
    default: return false;
    }
}

void FormMessages::MouseDown(Form& form, short button, WPARAM keys, LPARAM position)
{
    RaiseEvent([&] {
        float x = form.ToUnits(GET_X_LPARAM(position));
        float y = form.ToUnits(GET_Y_LPARAM(position));
        form.Form_MouseDown(button, ShiftStateOf(keys), x, y);
    });
    form.ShowDrawing();
}

void FormMessages::Tick(Form& form, WPARAM timerId)
{
    if (timerId == 0 || timerId > form.m_timers.size())
        return;
    Timer& timer = *form.m_timers[timerId - 1];
    form.m_firstTickPending = false;
    RaiseEvent([&timer] { timer.m_onTick(); });
    form.ShowDrawing();
}

} // namespace forms
