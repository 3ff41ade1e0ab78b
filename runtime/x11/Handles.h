#pragma once
// Owners for the GDI handles of the X11 platform layer.

#include "UniqueHandle.h"

#include <windows.h>

namespace forms {

struct GdiObjectTraits {
    static void Close(HGDIOBJ object) { ::DeleteObject(object); }
};

using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectTraits>;
using UniqueRegion = UniqueHandle<HRGN, GdiObjectTraits>;

} // namespace forms
