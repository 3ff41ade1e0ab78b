// The files built into the program as data, registered under the numbers the
// Windows program's resources have: the picture and icon where the program
// carries no resources of its own (PEERKIN_EMBEDDED_RESOURCES), and the
// picture as drawn for screens at 200% and 300% where the build drew it
// (PEERKIN_SCALED_ART), which a window on such a screen shows in place of an
// enlargement, and brings to the scales between. Their bytes come from
// cmake/EmbedFile.cmake.
#include "Platform.h"
#include "resource.h"

#include <cstddef>

extern const unsigned char peerkin_figure_bmp[], peerkin_peerkin_ico[], peerkin_figure_2x_bmp[],
    peerkin_figure_3x_bmp[];
extern const std::size_t peerkin_figure_bmp_size, peerkin_peerkin_ico_size, peerkin_figure_2x_bmp_size,
    peerkin_figure_3x_bmp_size;

namespace {

using forms::platform::RegisterEmbeddedResource;
using forms::platform::RegisterEmbeddedScaledPicture;

// One entry per group, each registered whether or not the other was.
const bool registered[] = {
#ifdef PEERKIN_EMBEDDED_RESOURCES
    RegisterEmbeddedResource(IDB_FIGURE, IMAGE_BITMAP, peerkin_figure_bmp, peerkin_figure_bmp_size)
        && RegisterEmbeddedResource(IDI_PEERKIN, IMAGE_ICON, peerkin_peerkin_ico, peerkin_peerkin_ico_size),
#endif
#ifdef PEERKIN_SCALED_ART
    RegisterEmbeddedScaledPicture(IDB_FIGURE, 2.0, peerkin_figure_2x_bmp, peerkin_figure_2x_bmp_size)
        && RegisterEmbeddedScaledPicture(IDB_FIGURE, 3.0, peerkin_figure_3x_bmp, peerkin_figure_3x_bmp_size),
#endif
};

} // namespace
