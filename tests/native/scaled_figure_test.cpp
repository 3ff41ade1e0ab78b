// The figure pictures drawn for 200% and 300% screens, which the build makes
// and the X11 program carries: a scaled window cuts its shape from them by
// exact colour and draws the eyes at the scaled socket centres, so they keep
// the 100% picture's contract at their own size.

#include "art_file_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

#ifdef PEERKIN_SCALED_ART_DIR

constexpr std::uint32_t kBackgroundColorRef = 0x002B0100; // R=0, G=1, B=43

bool isBackground(const art_files::Pixels& picture, int x, int y)
{
    return picture.at(x, y).colorRef() == kBackgroundColorRef;
}

// Background-coloured pixels that cannot be reached from the picture's edge
// through background: each would be a hole in the window.
int enclosedBackground(const art_files::Pixels& picture)
{
    const std::vector<bool> outer = art_files::outerArea(picture, kBackgroundColorRef);
    int enclosed = 0;
    for (std::size_t at = 0; at < outer.size(); ++at)
        enclosed += picture.cells[at].colorRef() == kBackgroundColorRef && !outer[at];
    return enclosed;
}

class ScaledFigure : public testing::TestWithParam<int> { };

TEST_P(ScaledFigure, KeepsThePicturesContractAtItsSize)
{
    const int scale = GetParam();
    const std::string file = std::string(PEERKIN_SCALED_ART_DIR) + "/figure@" + std::to_string(scale) + "x.bmp";
    const art_files::Pixels picture = art_files::decodeBmp24(art_files::readFile(file));
    ASSERT_EQ(picture.width, 194 * scale);
    ASSERT_EQ(picture.height, 280 * scale);
    EXPECT_TRUE(isBackground(picture, 0, 0));
    EXPECT_TRUE(isBackground(picture, picture.width - 1, picture.height - 1));
    EXPECT_EQ(enclosedBackground(picture), 0);
    // The sockets are dark wherever the eyes may reach: within 18 of the
    // 100% picture's pixels of each centre.
    for (double centreX : { 52.0, 138.0 }) {
        double x0 = scale * (centreX + 0.5) - 0.5;
        double y0 = scale * (118.0 + 0.5) - 0.5;
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                if (std::hypot(x - x0, y - y0) <= 18.0 * scale) {
                    ASSERT_LE(picture.at(x, y).brightness(), 166u) << x << ", " << y;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, ScaledFigure, testing::Values(2, 3));

#endif

} // namespace
