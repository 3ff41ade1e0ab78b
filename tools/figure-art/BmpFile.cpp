#include "BmpFile.h"

#include "ByteWriter.h"

namespace figure_art {
namespace {

constexpr std::uint32_t kFileHeaderBytes = 14;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::int32_t kPixelsPerMetre = 2835;  // 72 dpi

void writeFileHeader(ByteWriter& out, std::uint32_t pixelBytes) {
    out.u8('B');
    out.u8('M');
    out.u32(kFileHeaderBytes + kInfoHeaderBytes + pixelBytes);
    out.u16(0);
    out.u16(0);
    out.u32(kFileHeaderBytes + kInfoHeaderBytes);
}

void writeInfoHeader(ByteWriter& out, const Image& image, std::uint32_t pixelBytes) {
    out.u32(kInfoHeaderBytes);
    out.i32(image.width());
    out.i32(image.height());  // positive: rows stored bottom-up
    out.u16(1);               // planes
    out.u16(24);              // bits per pixel
    out.u32(0);               // BI_RGB
    out.u32(pixelBytes);
    out.i32(kPixelsPerMetre);
    out.i32(kPixelsPerMetre);
    out.u32(0);  // colours used
    out.u32(0);  // important colours
}

}  // namespace

std::vector<std::uint8_t> encodeBmp24(const Image& image) {
    const std::uint32_t rowBytes = paddedRowBytes(image.width(), 24);
    const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(image.height());
    ByteWriter out;
    writeFileHeader(out, pixelBytes);
    writeInfoHeader(out, image, pixelBytes);
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgb& pixel = image.at(x, y);
            out.u8(pixel.blue);
            out.u8(pixel.green);
            out.u8(pixel.red);
        }
        out.zeros(rowBytes - 3u * static_cast<std::uint32_t>(image.width()));
    }
    return out.bytes();
}

}  // namespace figure_art
