#pragma once
// What every form is built from, on every platform: its fixed definition,
// its drawing scales, the mouse buttons and modifier keys its events report,
// and the timers it owns.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace forms {

// Drawing scales: units of the form's drawing area.
namespace ScaleMode {
constexpr std::int16_t Twips = 1;
constexpr std::int16_t Points = 2;
constexpr std::int16_t Pixels = 3;
constexpr std::int16_t Inches = 5;
constexpr std::int16_t Millimeters = 6;
constexpr std::int16_t Centimeters = 7;
}

// Mouse buttons and modifier keys as button events report them.
namespace MouseButton {
constexpr std::int16_t Left = 1;
constexpr std::int16_t Right = 2;
constexpr std::int16_t Middle = 4;
}
namespace ShiftState {
constexpr std::int16_t Shift = 1;
constexpr std::int16_t Ctrl = 2;
constexpr std::int16_t Alt = 4;

// The state of the three keys as a button event reports it.
constexpr std::int16_t Of(bool shift, bool ctrl, bool alt)
{
    return static_cast<std::int16_t>((shift ? Shift : 0) | (ctrl ? Ctrl : 0) | (alt ? Alt : 0));
}
}

struct FormDefinition {
    std::wstring caption = L"Form1";
    float width = 0; // outer size in twips; the window has no frame
    float height = 0;
    COLORREF backColor = RGB(255, 255, 255);
    COLORREF fillColor = RGB(0, 0, 0);
    std::int16_t scaleMode = ScaleMode::Pixels;
    bool autoRedraw = true;
    bool solidFill = true;
    std::function<HBITMAP()> picture; // called at load; the form owns the result
    // The program's bitmap resource that picture loads (0: none), whose
    // versions drawn for scaled screens a window may show in its place.
    int pictureResource = 0;
    int iconResource = 0;
    bool showInTaskbar = true;
};

class Form;

// A timer child of a form: ticks every interval milliseconds from the form's
// load until it is unloaded.
class Timer {
public:
    Timer(Form& owner, unsigned interval, std::function<void()> onTick);
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    unsigned Interval() const { return m_interval; }

private:
    friend class Form;
    unsigned m_interval;
    std::function<void()> m_onTick;
};

} // namespace forms
