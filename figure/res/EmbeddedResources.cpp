// The picture and icon, registered under the same numbers the Windows
// program's resources have.
#include "Platform.h"
#include "resource.h"

#include <cstddef>

extern const unsigned char peerkin_figure_bmp[];
extern const std::size_t peerkin_figure_bmp_size;
extern const unsigned char peerkin_peerkin_ico[];
extern const std::size_t peerkin_peerkin_ico_size;

namespace {

using forms::platform::RegisterEmbeddedResource;

const bool registered = RegisterEmbeddedResource(IDB_FIGURE, IMAGE_BITMAP, peerkin_figure_bmp, peerkin_figure_bmp_size)
    && RegisterEmbeddedResource(IDI_PEERKIN, IMAGE_ICON, peerkin_peerkin_ico, peerkin_peerkin_ico_size);

} // namespace
