#pragma once
// A plain square form, for the tests of what any window of the platform does.

#include "Application.h"
#include "Form.h"

namespace peerkin::test {

inline forms::FormDefinition SquareForm(float pixels)
{
    forms::FormDefinition definition;
    definition.width = pixels * forms::Screen::TwipsPerPixelX();
    definition.height = pixels * forms::Screen::TwipsPerPixelY();
    return definition;
}

} // namespace peerkin::test
