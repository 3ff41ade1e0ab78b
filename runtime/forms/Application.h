#pragma once
// Process-wide services: the running program, the screen, the command line,
// and the start that hands control to the program's Main.

#include <string>

namespace forms {

class App {
public:
    // The folder that holds the executable, without a closing "\" except at a drive root.
    static std::wstring Path();
    // The executable's file name without folder and extension.
    static std::wstring EXEName();
    // True while another instance of this program runs.
    static bool PrevInstance();
    // The title used for the program's own messages.
    static std::wstring Title();
};

class Screen {
public:
    // Width and height of the primary screen in twips.
    static float Width();
    static float Height();
    // Twips per pixel, from the screen's real dots per inch.
    static float TwipsPerPixelX();
    static float TwipsPerPixelY();
};

// The argument text after the program's own name; may be empty.
std::wstring Command();
// The argument text of a whole command line: what follows the program's
// name (quoted or not) and the blanks after it.
std::wstring ArgumentText(const wchar_t* commandLine);

// The locale's way of writing a number: as NumberToText, with the user's
// decimal separator.
std::wstring NumberToLocaleText(float value);

// Calls main once, then dispatches events until the last window is gone.
// Returns the process exit code.
int Run(void (*main)());

// True while Run's event loop drives the program (not in tests).
bool IsRunningEventLoop();

} // namespace forms
