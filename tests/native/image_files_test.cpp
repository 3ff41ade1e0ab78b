// Pictures and icons read from their files' bytes: the committed icon, and
// damaged files that must give nothing rather than read past their end.
#include "ImageFiles.h"
#include "art_file_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes IconFile() { return art_files::readFile(PEERKIN_SOURCE_DIR "/figure/res/peerkin.ico"); }

void PutLe(Bytes& bytes, std::size_t at, std::uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// bytes with value written at offset at, in count bytes, low first.
Bytes With(Bytes bytes, std::size_t at, std::uint32_t value, int count)
{
    PutLe(bytes, at, value, count);
    return bytes;
}

// A 24-bit BMP of 2x2 pixels, bottom-up unless height is negative.
Bytes SmallBitmap(std::int32_t height)
{
    Bytes bytes(14 + 40 + 2 * 8, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLe(bytes, 10, 54, 4);
    PutLe(bytes, 14, 40, 4);
    PutLe(bytes, 18, 2, 4);
    PutLe(bytes, 22, static_cast<std::uint32_t>(height), 4);
    PutLe(bytes, 26, 1, 2);
    PutLe(bytes, 28, 24, 2);
    // File row 0: blue, green; file row 1: red, white (rows padded to 8 bytes).
    const std::uint8_t rows[] = { 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0 };
    std::copy(std::begin(rows), std::end(rows), bytes.begin() + 54);
    return bytes;
}

TEST(ImageFiles, TheIconGivesItsTrueColourImages)
{
    std::vector<forms::PixelImage> images = forms::ReadIconImages(IconFile());
    ASSERT_EQ(images.size(), 2U) << "16 and 48 pixels; the 4-bit 32-pixel image is left out";
    EXPECT_EQ(images[0].width, 16);
    EXPECT_EQ(images[1].width, 48);
    EXPECT_EQ(images[1].pixels.size(), 48U * 48U);
}

TEST(ImageFiles, RowOrderFollowsTheSignOfTheHeight)
{
    std::optional<forms::PixelImage> bottomUp = forms::ReadBitmapFile(SmallBitmap(2));
    std::optional<forms::PixelImage> topDown = forms::ReadBitmapFile(SmallBitmap(-2));
    ASSERT_TRUE(bottomUp && topDown);
    EXPECT_EQ(bottomUp->pixels, (std::vector<std::uint32_t> { 0xFFFF0000, 0xFFFFFFFF, 0xFF0000FF, 0xFF00FF00 }));
    EXPECT_EQ(topDown->pixels, (std::vector<std::uint32_t> { 0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF }));
}

TEST(ImageFiles, DamagedFilesGiveNothing)
{
    Bytes good = SmallBitmap(2);
    std::vector<std::pair<const char*, Bytes>> cases;
    cases.emplace_back("empty", Bytes {});
    cases.emplace_back("cut in the pixels", Bytes(good.begin(), good.end() - 1));
    cases.emplace_back("cut in the header", Bytes(good.begin(), good.begin() + 30));
    cases.emplace_back("not BM", With(good, 0, 'X', 1));
    cases.emplace_back("width beyond reason", With(good, 18, 0x7FFFFFFF, 4));
    cases.emplace_back("run-length compressed", With(good, 30, 1, 4));
    cases.emplace_back("smallest height", With(good, 22, 0x80000000, 4));
    cases.emplace_back("pixels beyond the end", With(good, 10, 0xFFFFFFF0, 4));
    for (const auto& [why, bytes] : cases)
        EXPECT_FALSE(forms::ReadBitmapFile(bytes).has_value()) << why;
}

TEST(ImageFiles, DamagedIconsGiveNoImages)
{
    Bytes icon = IconFile();
    ASSERT_GT(icon.size(), 100U);
    EXPECT_TRUE(forms::ReadIconImages(Bytes(icon.begin(), icon.begin() + 100)).empty());
    // Entries claimed past the end.
    EXPECT_EQ(forms::ReadIconImages(With(icon, 4, 0xFFFF, 2)).size(), 2U);
}

} // namespace
