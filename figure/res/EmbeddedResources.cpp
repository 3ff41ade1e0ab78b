// The picture and icon, registered under the same numbers the Windows
// program's resources have, and the picture as drawn for scaled screens.
#include "Resources.h"
#include "resource.h"

#include <cstddef>

extern const unsigned char peerkin_figure_bmp[];
extern const std::size_t peerkin_figure_bmp_size;
extern const unsigned char peerkin_peerkin_ico[];
extern const std::size_t peerkin_peerkin_ico_size;
extern const unsigned char peerkin_figure_2x_bmp[];
extern const std::size_t peerkin_figure_2x_bmp_size;
extern const unsigned char peerkin_figure_3x_bmp[];
extern const std::size_t peerkin_figure_3x_bmp_size;

namespace {

const bool registered
    = forms::x11::RegisterResource(IDB_FIGURE, IMAGE_BITMAP, peerkin_figure_bmp, peerkin_figure_bmp_size)
    && forms::x11::RegisterResource(IDI_PEERKIN, IMAGE_ICON, peerkin_peerkin_ico, peerkin_peerkin_ico_size)
    && forms::x11::RegisterScaledPicture(IDB_FIGURE, 2.0, peerkin_figure_2x_bmp, peerkin_figure_2x_bmp_size)
    && forms::x11::RegisterScaledPicture(IDB_FIGURE, 3.0, peerkin_figure_3x_bmp, peerkin_figure_3x_bmp_size);

} // namespace
