// Mouse input handed straight to a headless window's form, and a watch on
// the hand-overs the back-end reports.
#include "TestInput.h"

#include "FormDefinition.h"
#include "HeadlessControl.h"
#include "HeadlessWindow.h"

namespace peerkin::test {
namespace {

std::int16_t MouseButtonOf(Button button)
{
    return button == Button::Left ? forms::MouseButton::Left
        : button == Button::Right  ? forms::MouseButton::Right
                                   : forms::MouseButton::Middle;
}

std::int16_t ShiftOf(unsigned held)
{
    return forms::ShiftState::Of((held & ShiftKey) != 0, (held & ControlKey) != 0, false);
}

} // namespace

void DeliverPress(HWND window, Button button, POINT at, unsigned held)
{
    if (forms::headless::HeadlessWindow* target = forms::headless::LiveWindow(window))
        target->Press(MouseButtonOf(button), ShiftOf(held), at.x, at.y);
}

// As X11 reports it: a press, then a second press, which for the left
// button makes the double-click and for the others is one more press.
void DeliverDoubleClick(HWND window, Button button, POINT at)
{
    DeliverPress(window, button, at);
    forms::headless::HeadlessWindow* target = forms::headless::LiveWindow(window);
    if (target && button == Button::Left)
        target->DoubleClick();
    else
        DeliverPress(window, button, at);
}

void CapturePointer(HWND) { forms::headless::SetPointerHeld(true); }

bool HoldsPointer(HWND) { return forms::headless::PointerHeld(); }

DragWatch::DragWatch(HWND window)
    : m_window(window)
{
    forms::headless::SetHandOverWatch([this](HWND handle, WPARAM hitTest, LPARAM position) {
        if (handle == m_window)
            Record(HandOver { hitTest, position, forms::headless::PointerHeld() });
    });
}

DragWatch::~DragWatch() { forms::headless::SetHandOverWatch(nullptr); }

} // namespace peerkin::test
