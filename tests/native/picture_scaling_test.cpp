// A picture made for one screen scale, brought to another.
#include "PictureScaling.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using forms::PixelImage;
using forms::ResampledPicture;

constexpr std::uint32_t Key = 0xFF00012B; // the figure's background

PixelImage Picture(std::int32_t width, std::int32_t height, std::vector<std::uint32_t> pixels)
{
    return PixelImage { width, height, std::move(pixels) };
}

struct ResampleCase {
    const char* what;
    PixelImage source;
    int width;
    int height;
    std::vector<std::uint32_t> expected;
};

class Resample : public testing::TestWithParam<ResampleCase> { };

TEST_P(Resample, AveragesWhatEachNewPixelCovers)
{
    const ResampleCase& test = GetParam();
    PixelImage result = ResampledPicture(test.source, test.width, test.height, Key);
    EXPECT_EQ(result.width, test.width) << test.what;
    EXPECT_EQ(result.height, test.height) << test.what;
    EXPECT_EQ(result.pixels, test.expected) << test.what;
}

INSTANTIATE_TEST_SUITE_P(Pictures, Resample,
    testing::Values(
        ResampleCase { "the same size copies every pixel",
            Picture(2, 1, { Key, 0xFF102030 }), 2, 1, { Key, 0xFF102030 } },
        ResampleCase { "half the size averages each 2 x 2 block",
            Picture(2, 2, { 0xFF000000, 0xFF0000FF, 0xFF00FF00, 0xFFFF0000 }), 1, 1, { 0xFF404040 } },
        ResampleCase { "two thirds: the middle pixel shares itself between two",
            Picture(3, 1, { 0xFF000000, 0xFF000090, 0xFF000000 }), 2, 1, { 0xFF000030, 0xFF000030 } },
        ResampleCase { "the background alone stays the background",
            Picture(2, 2, { Key, Key, Key, Key }), 1, 1, { Key } },
        ResampleCase { "a trace of the face never rounds to the background",
            Picture(4, 1, { Key, Key, Key, 0xFF00012C }), 1, 1, { Key ^ 0x100 } }));

TEST(Resample, ADamagedSourceHasNoSize)
{
    PixelImage result = ResampledPicture(Picture(3, 3, { Key }), 2, 2, Key);
    EXPECT_EQ(result.width, 0);
    EXPECT_EQ(result.height, 0);
}

} // namespace
