#include "cTrimmer.h"

#include "Checked.h"

using forms::AddChecked;
using forms::RoundToInt32;

namespace {

constexpr WPARAM TitleBarHit = HTCAPTION;
constexpr int UnionMode = RGN_OR;

// A drawing-area extent less one, rounded to a whole number: the last row
// or column that the scan visits.
std::int32_t LastIndex(float extent)
{
    return RoundToInt32(forms::CheckedResult(static_cast<double>(extent) - 1.0));
}

} // namespace

void cTrimmer::GrabForm(forms::Form& window)
{
    ::ReleaseCapture();
    HWND handle = window.Handle();
    // Sent, not posted: the platform's move loop runs inside this call.
    ::SendMessageA(handle, WM_NCLBUTTONDOWN, TitleBarHit, 0);
}

void cTrimmer::TrimForm(forms::Form& window)
{
    if (window.Picture() == nullptr)
        return;
    std::int16_t savedScale = window.ScaleMode();
    bool savedAutoRedraw = window.AutoRedraw();
    window.SetAutoRedraw(true);
    window.SetScaleMode(forms::ScaleMode::Pixels);
    COLORREF background = window.Point(0, 0);
    FormRegion = ::CreateRectRgn(0, 0, 0, 0);
    try {
        std::int32_t runStart = -1;
        std::int32_t lastRow = LastIndex(window.ScaleHeight());
        for (std::int32_t y = 0; y <= lastRow; y = AddChecked(y, 1)) {
            std::int32_t lastColumn = LastIndex(window.ScaleWidth());
            for (std::int32_t x = 0; x <= lastColumn; x = AddChecked(x, 1)) {
                bool isBackground = window.Point(static_cast<float>(x), static_cast<float>(y)) == background;
                if (!isBackground && runStart == -1)
                    runStart = x;
                else if (isBackground && runStart > -1)
                    AddSpan(runStart, y, x, AddChecked(y, 1));
            }
            if (runStart > -1)
                AddSpan(runStart, y, AddChecked(lastColumn, 1), AddChecked(y, 1));
        }
    } catch (...) {
        // A scan cut short leaves the window its old shape; the half-built
        // region never reaches the window, so it is released here.
        ::DeleteObject(FormRegion);
        FormRegion = nullptr;
        throw;
    }
    ::SetWindowRgn(window.Handle(), FormRegion, TRUE);
    window.SetScaleMode(savedScale);
    window.SetAutoRedraw(savedAutoRedraw);
}

void cTrimmer::AddSpan(std::int32_t& runStart, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    SpanRegion = ::CreateRectRgn(runStart, top, right, bottom);
    ::CombineRgn(FormRegion, FormRegion, SpanRegion, UnionMode);
    ::DeleteObject(SpanRegion);
    runStart = -1;
}
