// The registry of live X11 form windows: a handle, or an X window id,
// finds its window only while the window lives.
#include "X11Window.h"

#include "X11State.h"

#include <cstdint>
#include <unordered_map>

namespace forms::x11 {
namespace {

std::unordered_map<::Window, X11Window*>& Windows() { return State().windows; }

} // namespace

void X11Window::Register() { Windows().emplace(m_xid, this); }

void X11Window::Unregister() { Windows().erase(m_xid); }

X11Window* LiveWindow(HWND handle) { return WindowOf(static_cast<::Window>(reinterpret_cast<std::uintptr_t>(handle))); }

X11Window* WindowOf(::Window xid)
{
    if (xid == 0)
        return nullptr;
    auto found = Windows().find(xid);
    return found == Windows().end() ? nullptr : found->second;
}

} // namespace forms::x11
