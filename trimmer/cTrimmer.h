#pragma once
// Gives a window without border or title bar what such a window lacks: a
// shape cut to its picture, and a way to be dragged by any point of it.

#include "Form.h"

#include <windows.h>

#include <cstdint>

class cTrimmer {
public:
    // Lets the user drag window while the left button stays down; returns
    // when the platform's own move has ended.
    void GrabForm(forms::Form& window);
    // Cuts window to the pixels of its drawing area that differ from the
    // top-left pixel. A window without a picture is left as it is.
    void TrimForm(forms::Form& window);

private:
    // Merges the span [runStart, right) x [top, bottom) into FormRegion and
    // closes the run.
    void AddSpan(std::int32_t& runStart, std::int32_t top, std::int32_t right, std::int32_t bottom);

    HRGN FormRegion = nullptr; // owned by the window once handed over
    HRGN SpanRegion = nullptr;
};
