#pragma once
// Little-endian byte output for the file headers. Writing every field by hand
// keeps the files identical on any host, whatever its struct packing.

#include <cstdint>
#include <vector>

namespace figure_art {

class ByteWriter {
public:
    void u8(std::uint8_t value) { bytes_.push_back(value); }
    void u16(std::uint16_t value) {
        u8(static_cast<std::uint8_t>(value & 0xFFu));
        u8(static_cast<std::uint8_t>(value >> 8));
    }
    void u32(std::uint32_t value) {
        u16(static_cast<std::uint16_t>(value & 0xFFFFu));
        u16(static_cast<std::uint16_t>(value >> 16));
    }
    // Two's complement, as the file formats store signed sizes.
    void i32(std::int32_t value) { u32(static_cast<std::uint32_t>(value)); }
    void zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, std::uint8_t{0}); }
    void append(const std::vector<std::uint8_t>& more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }

    std::size_t size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

// Bytes in one bitmap row of `width` pixels at `bitsPerPixel`, padded to 4 bytes.
inline std::uint32_t paddedRowBytes(int width, int bitsPerPixel) {
    const auto bits = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(bitsPerPixel);
    return ((bits + 31u) / 32u) * 4u;
}

}  // namespace figure_art
