#pragma once
// Owners for the GDI objects a form keeps: its picture, and regions. Every
// platform releases them with DeleteObject.

#include "UniqueHandle.h"

#include <windows.h>

namespace forms {

struct GdiObjectTraits {
    static void Close(HGDIOBJ object) { ::DeleteObject(object); }
};

using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectTraits>;
using UniqueRegion = UniqueHandle<HRGN, GdiObjectTraits>;

} // namespace forms
