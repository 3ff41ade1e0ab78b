#pragma once
// Just enough of the BMP and ICO formats to check the committed art files.
// Reads go through vector::at, so a truncated file throws instead of
// reading past its end.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace art_files {

using Bytes = std::vector<std::uint8_t>;

inline Bytes readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot open " + path.string());
    }
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline std::uint32_t u8At(const Bytes& bytes, std::size_t offset) { return bytes.at(offset); }
inline std::uint32_t u16At(const Bytes& bytes, std::size_t offset) {
    return u8At(bytes, offset) | (u8At(bytes, offset + 1) << 8);
}
inline std::uint32_t u32At(const Bytes& bytes, std::size_t offset) {
    return u16At(bytes, offset) | (u16At(bytes, offset + 2) << 16);
}
inline std::int64_t i32At(const Bytes& bytes, std::size_t offset) {
    const std::uint32_t raw = u32At(bytes, offset);
    return raw >= 0x80000000u ? static_cast<std::int64_t>(raw) - 0x100000000LL : static_cast<std::int64_t>(raw);
}

inline std::size_t rowStride(std::size_t width, std::size_t bitsPerPixel) { return (width * bitsPerPixel + 31) / 32 * 4; }

struct Rgba {
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
    std::uint32_t alpha = 255;
    bool masked = false;  // set in the icon's AND mask
    std::uint32_t colorRef() const { return red | (green << 8) | (blue << 16); }
    std::uint32_t brightness() const { return red + green + blue; }
};

// Pixels top-left first, whatever the row order on disk.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<Rgba> cells;
    const Rgba& at(int x, int y) const {
        return cells.at(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x));
    }
};

// BITMAPINFOHEADER fields, at `offset` in `bytes`.
struct DibHeader {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t planes = 0;
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = 0;
};

inline DibHeader readDibHeader(const Bytes& bytes, std::size_t offset) {
    return {u32At(bytes, offset),      i32At(bytes, offset + 4),  i32At(bytes, offset + 8),
            u16At(bytes, offset + 12), u16At(bytes, offset + 14), u32At(bytes, offset + 16)};
}

constexpr std::size_t kBmpFileHeaderBytes = 14;

// A bottom-up 24-bit bitmap file's pixels; the header is checked separately.
inline Pixels decodeBmp24(const Bytes& file) {
    const DibHeader header = readDibHeader(file, kBmpFileHeaderBytes);
    const std::size_t dataOffset = u32At(file, 10);
    Pixels pixels{static_cast<int>(header.width), static_cast<int>(header.height), {}};
    const std::size_t stride = rowStride(static_cast<std::size_t>(pixels.width), 24);
    for (int y = 0; y < pixels.height; ++y) {
        const std::size_t row = dataOffset + static_cast<std::size_t>(pixels.height - 1 - y) * stride;
        for (std::size_t x = 0; x < static_cast<std::size_t>(pixels.width); ++x) {
            pixels.cells.push_back({u8At(file, row + 3 * x + 2), u8At(file, row + 3 * x + 1), u8At(file, row + 3 * x), 255});
        }
    }
    return pixels;
}

struct IconEntry {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t colourCount = 0;
    std::uint32_t planes = 0;
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t byteCount = 0;
    std::uint32_t offset = 0;
};

constexpr std::size_t kIconDirectoryBytes = 6;
constexpr std::size_t kIconEntryBytes = 16;

inline std::vector<IconEntry> readIconEntries(const Bytes& file) {
    std::vector<IconEntry> entries;
    for (std::size_t i = 0; i < u16At(file, 4); ++i) {
        const std::size_t at = kIconDirectoryBytes + i * kIconEntryBytes;
        entries.push_back({u8At(file, at), u8At(file, at + 1), u8At(file, at + 2), u16At(file, at + 4),
                           u16At(file, at + 6), u32At(file, at + 8), u32At(file, at + 12)});
    }
    return entries;
}

inline std::vector<Rgba> readPalette(const Bytes& file, const IconEntry& entry, std::size_t colours) {
    std::vector<Rgba> palette;
    const std::size_t start = entry.offset + readDibHeader(file, entry.offset).headerSize;
    for (std::size_t i = 0; i < colours; ++i) {
        palette.push_back({u8At(file, start + 4 * i + 2), u8At(file, start + 4 * i + 1), u8At(file, start + 4 * i), 255});
    }
    return palette;
}

inline Rgba iconColourAt(const Bytes& file, std::size_t rowStart, std::size_t x, std::uint32_t bitsPerPixel,
                         const std::vector<Rgba>& palette) {
    if (bitsPerPixel == 32) {
        const std::size_t at = rowStart + 4 * x;
        return {u8At(file, at + 2), u8At(file, at + 1), u8At(file, at), u8At(file, at + 3)};
    }
    if (bitsPerPixel == 4) {
        const std::uint32_t pair = u8At(file, rowStart + x / 2);
        return palette.at(x % 2 == 0 ? pair >> 4 : pair & 0x0Fu);
    }
    throw std::runtime_error("unsupported icon depth " + std::to_string(bitsPerPixel));
}

// An icon image's pixels, each with its AND mask bit. 16-colour pixels
// have alpha 255; 32-bit ones keep their stored alpha.
inline Pixels decodeIconImage(const Bytes& file, const IconEntry& entry) {
    const DibHeader header = readDibHeader(file, entry.offset);
    const auto size = static_cast<std::size_t>(header.width);
    const std::vector<Rgba> palette = header.bitsPerPixel == 4 ? readPalette(file, entry, 16) : std::vector<Rgba>{};
    const std::size_t colourStart = entry.offset + header.headerSize + 4 * palette.size();
    const std::size_t colourStride = rowStride(size, header.bitsPerPixel);
    const std::size_t maskStart = colourStart + colourStride * size;
    const std::size_t maskStride = rowStride(size, 1);
    Pixels pixels{static_cast<int>(size), static_cast<int>(size), {}};
    for (std::size_t y = 0; y < size; ++y) {
        const std::size_t diskRow = size - 1 - y;
        for (std::size_t x = 0; x < size; ++x) {
            Rgba pixel = iconColourAt(file, colourStart + diskRow * colourStride, x, header.bitsPerPixel, palette);
            pixel.masked = ((u8At(file, maskStart + diskRow * maskStride + x / 8) >> (7 - x % 8)) & 1u) != 0;
            pixels.cells.push_back(pixel);
        }
    }
    return pixels;
}

// The background a window cuts away from a picture: the pixels of colorRef
// 4-connected to the picture's edge, row by row. Any other pixel of that
// colour would be a hole in the window.
inline std::vector<bool> outerArea(const Pixels& picture, std::uint32_t colorRef) {
    std::vector<bool> seen(picture.cells.size(), false);
    std::deque<std::pair<int, int>> pending;
    const auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= picture.width || y >= picture.height || picture.at(x, y).colorRef() != colorRef) {
            return;
        }
        const auto index = static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
                           static_cast<std::size_t>(x);
        if (!seen[index]) {
            seen[index] = true;
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
        const auto [x, y] = pending.front();
        visit(x - 1, y);
        visit(x + 1, y);
        visit(x, y - 1);
        visit(x, y + 1);
    }
    return seen;
}

}  // namespace art_files
