#include "PngFile.h"

#include <png.h>

#include <csetjmp>
#include <cstddef>

namespace figure_art {
namespace {

void appendToBytes(png_structp png, png_bytep data, std::size_t length) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + length);
}

void flushNothing(png_structp) {}

// libpng reports a failure by jumping back to the setjmp here. Nothing in
// this frame has a destructor, so the jump skips no clean-up (which is what
// MSVC's warning about setjmp in C++ asks one to make sure of).
#ifdef _MSC_VER
#pragma warning(push)
#pragma warning(disable : 4611)
#endif
bool writeImage(png_structp png, png_infop info, const RgbaImage& image, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    // Fixed settings rather than libpng's defaults, which may change between releases.
    png_set_compression_level(png, 9);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    png_set_rows(png, info, rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}
#ifdef _MSC_VER
#pragma warning(pop)
#endif

std::vector<std::uint8_t> rgbaBytes(const RgbaImage& image) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height()) * 4u);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgba& pixel = image.at(x, y);
            bytes.insert(bytes.end(), {pixel.red, pixel.green, pixel.blue, pixel.alpha});
        }
    }
    return bytes;
}

}  // namespace

std::vector<std::uint8_t> encodePng(const RgbaImage& image) {
    std::vector<std::uint8_t> pixels = rgbaBytes(image);
    std::vector<png_bytep> rows;
    const auto rowBytes = static_cast<std::size_t>(image.width()) * 4u;
    for (int y = 0; y < image.height(); ++y) {
        rows.push_back(pixels.data() + static_cast<std::size_t>(y) * rowBytes);
    }

    std::vector<std::uint8_t> file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    bool written = false;
    if (info != nullptr) {
        png_set_write_fn(png, &file, appendToBytes, flushNothing);
        written = writeImage(png, info, image, rows.data());
    }
    png_destroy_write_struct(&png, &info);
    if (!written) {
        file.clear();
    }
    return file;
}

}  // namespace figure_art
