#pragma once
// Turns the X events of the forms' windows into the forms' events.

#include <windows.h>

#include <X11/Xlib.h>

#include <cstddef>
#include <cstdint>

namespace forms {

class Form;

class FormMessages {
public:
    // Hands event to the form whose window it concerns.
    static void Handle(XEvent& event);
    // Ticks timer index of the form of window.
    static void Tick(HWND__& window, std::size_t index);

private:
    static void PressOf(Form& form, const XButtonEvent& press);
    static void MouseDown(Form& form, std::int16_t button, const XButtonEvent& press);
    static void DoubleClick(Form& form);
    static void ExposureOf(Form& form, const XExposeEvent& expose);
};

} // namespace forms
