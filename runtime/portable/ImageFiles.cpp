#include "ImageFiles.h"

#include <utility>

namespace forms {
namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t InfoHeaderSize = 40;
constexpr std::int32_t LargestSide = 16384; // beyond any picture a window shows
constexpr std::uint32_t Opaque = 0xFF000000;

// Little-endian reads that fail softly past the end of the bytes.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes)
        : m_bytes(bytes)
    {
    }

    bool Has(std::size_t offset, std::size_t count) const
    {
        return offset <= m_bytes.size() && count <= m_bytes.size() - offset;
    }
    std::uint32_t U16(std::size_t offset) const { return Has(offset, 2) ? Le(offset, 2) : 0; }
    std::uint32_t U32(std::size_t offset) const { return Has(offset, 4) ? Le(offset, 4) : 0; }
    std::int32_t S32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
    std::uint8_t At(std::size_t offset) const { return m_bytes[offset]; }
    std::size_t Size() const { return m_bytes.size(); }

private:
    std::uint32_t Le(std::size_t offset, std::size_t count) const
    {
        std::uint32_t value = 0;
        for (std::size_t i = count; i-- > 0;)
            value = (value << 8) | m_bytes[offset + i];
        return value;
    }

    std::span<const std::uint8_t> m_bytes;
};

struct DibLayout {
    std::int32_t width;
    std::int32_t height; // rows of colour pixels
    bool topDown;
    std::uint32_t bitCount;
};

// The layout of the device-independent bitmap whose header starts at
// offset; rowsInHeader is 2 for icons, whose header counts the mask too.
std::optional<DibLayout> ReadDibHeader(const ByteReader& file, std::size_t offset, std::int32_t rowsInHeader)
{
    if (!file.Has(offset, InfoHeaderSize) || file.U32(offset) < InfoHeaderSize)
        return std::nullopt;
    std::int32_t width = file.S32(offset + 4);
    std::int32_t height = file.S32(offset + 8);
    std::uint32_t bitCount = file.U16(offset + 14);
    std::uint32_t compression = file.U32(offset + 16);
    if (compression != 0 || (bitCount != 24 && bitCount != 32) || height == INT32_MIN)
        return std::nullopt;
    bool topDown = height < 0;
    std::int32_t rows = (topDown ? -height : height) / rowsInHeader;
    if (width <= 0 || rows <= 0 || width > LargestSide || rows > LargestSide)
        return std::nullopt;
    return DibLayout { width, rows, topDown, bitCount };
}

// The pixels of a DIB whose colour rows start at pixelsOffset.
std::optional<PixelImage> ReadPixels(const ByteReader& file, const DibLayout& layout, std::size_t pixelsOffset,
    bool useAlpha)
{
    std::size_t bytesPerPixel = layout.bitCount / 8;
    std::size_t stride = (static_cast<std::size_t>(layout.width) * bytesPerPixel + 3) & ~std::size_t { 3 };
    std::size_t height = static_cast<std::size_t>(layout.height);
    if (!file.Has(pixelsOffset, stride * height))
        return std::nullopt;
    PixelImage image { layout.width, layout.height, {} };
    image.pixels.reserve(static_cast<std::size_t>(layout.width) * height);
    for (std::size_t row = 0; row < height; ++row) {
        std::size_t fileRow = layout.topDown ? row : height - 1 - row;
        std::size_t at = pixelsOffset + fileRow * stride;
        for (std::int32_t x = 0; x < layout.width; ++x, at += bytesPerPixel) {
            std::uint32_t alpha = (useAlpha && bytesPerPixel == 4) ? std::uint32_t { file.At(at + 3) } << 24 : Opaque;
            image.pixels.push_back(alpha | (std::uint32_t { file.At(at + 2) } << 16)
                | (std::uint32_t { file.At(at + 1) } << 8) | file.At(at));
        }
    }
    return image;
}

} // namespace

std::optional<PixelImage> ReadBitmapFile(std::span<const std::uint8_t> bytes)
{
    ByteReader file(bytes);
    if (!file.Has(0, FileHeaderSize) || file.At(0) != 'B' || file.At(1) != 'M')
        return std::nullopt;
    std::optional<DibLayout> layout = ReadDibHeader(file, FileHeaderSize, 1);
    if (!layout)
        return std::nullopt;
    return ReadPixels(file, *layout, file.U32(10), false);
}

std::vector<PixelImage> ReadIconImages(std::span<const std::uint8_t> bytes)
{
    ByteReader file(bytes);
    std::vector<PixelImage> images;
    if (file.U16(0) != 0 || file.U16(2) != 1)
        return images;
    std::size_t count = file.U16(4);
    for (std::size_t entry = 0; entry < count; ++entry) {
        std::size_t offset = file.U32(6 + entry * 16 + 12);
        std::optional<DibLayout> layout = ReadDibHeader(file, offset, 2);
        if (!layout || layout->bitCount != 32)
            continue;
        if (std::optional<PixelImage> image = ReadPixels(file, *layout, offset + file.U32(offset), true))
            images.push_back(std::move(*image));
    }
    return images;
}

} // namespace forms
