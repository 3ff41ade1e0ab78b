// The figure pictures drawn for 200% and 300% screens, which the build makes
// and the X11 program carries: a scaled window cuts its shape from them by
// exact colour and draws the eyes at the scaled socket centres, so they keep
// the 100% picture's contract at their own size.

#include "art_file_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <string>
#include <utility>
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
    std::vector<bool> reached(picture.cells.size(), false);
    std::deque<std::pair<int, int>> pending;
    auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= picture.width || y >= picture.height || !isBackground(picture, x, y))
            return;
        auto at = static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) + static_cast<std::size_t>(x);
        if (!reached[at]) {
            reached[at] = true;
            pending.emplace_back(x, y);
        }
    };
    for (int x = 0; x < picture.width; ++x) {
        visit(x, 0);
        visit(x, picture.height - 1);
    }
    for (int y = 0; y < picture.height; ++y) {
        visit(0, y);
        visit(picture.width - 1, y);
    }
    for (; !pending.empty(); pending.pop_front()) {
        auto [x, y] = pending.front();
        visit(x - 1, y);
        visit(x + 1, y);
        visit(x, y - 1);
        visit(x, y + 1);
    }
    int enclosed = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            enclosed += isBackground(picture, x, y)
                && !reached[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width)
                    + static_cast<std::size_t>(x)];
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
