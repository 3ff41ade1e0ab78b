#pragma once
// The window class behind every form, and the translation of the platform's
// window messages into the form's events.

#include <windows.h>

namespace forms {

class Form;

class FormMessages {
public:
    // A hidden, frameless window of width x height pixels for form, with
    // the form's icon.
    static HWND CreateFormWindow(Form& form, int width, int height);

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static bool Handle(Form& form, UINT message, WPARAM wParam, LPARAM lParam);
    static void MouseDown(Form& form, short button, WPARAM keys, LPARAM position);
    static void Tick(Form& form, WPARAM timerId);
};

} // namespace forms
