// The picture as drawn for screens at 200% and 300%, registered under the
// picture's own number: a window on such a screen shows it in place of an
// enlargement, and brings it to the scales between.
#include "Platform.h"
#include "resource.h"

#include <cstddef>

extern const unsigned char peerkin_figure_2x_bmp[];
extern const std::size_t peerkin_figure_2x_bmp_size;
extern const unsigned char peerkin_figure_3x_bmp[];
extern const std::size_t peerkin_figure_3x_bmp_size;

namespace {

using forms::platform::RegisterEmbeddedScaledPicture;

const bool registered = RegisterEmbeddedScaledPicture(IDB_FIGURE, 2.0, peerkin_figure_2x_bmp, peerkin_figure_2x_bmp_size)
    && RegisterEmbeddedScaledPicture(IDB_FIGURE, 3.0, peerkin_figure_3x_bmp, peerkin_figure_3x_bmp_size);

} // namespace
