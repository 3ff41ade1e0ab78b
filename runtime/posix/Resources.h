#pragma once
// The program's own resources on Linux: the same picture and icon files the
// Windows program carries, built into the executable and registered by id.

#include "ImageFiles.h"
#include "windows.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace forms::posix {

// Makes the bytes of a resource file known under id and type; returns true
// so that a generated file can register from a static initialiser.
bool RegisterResource(int id, UINT type, const unsigned char* bytes, std::size_t size);

// Makes known the picture file of bitmap resource id as drawn for a screen
// of scale device pixels per program pixel (2 for 200%).
bool RegisterScaledPicture(int id, double scale, const unsigned char* bytes, std::size_t size);

// The pixels of bitmap resource id drawn for a screen of scale: the picture
// built in for the least scale at or above it (else the largest), to be
// brought to the exact size by the caller; nullopt when there is none.
std::optional<PixelImage> PictureForScale(int id, double scale);

// The bytes of resource id of type (as drawn for scale 1), or nullopt when
// there is none.
std::optional<std::span<const std::uint8_t>> FindResourceBytes(int id, UINT type);

// The resource number a name stands for, or -1 for a name given as text.
int ResourceNumber(LPCWSTR name);

} // namespace forms::posix
