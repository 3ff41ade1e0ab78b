#pragma once
// The program's own resources on Linux: the same picture and icon files the
// Windows program carries, built into the executable and registered by id.

#include "ImageFiles.h"
#include "windows.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace forms::winapi {

// Makes the bytes of a resource file known under id and type; returns true
// so that a generated file can register from a static initialiser.
bool RegisterResource(int id, UINT type, const unsigned char* bytes, std::size_t size);

// The pixels of bitmap resource id to bring to a screen of scale, chosen
// among the file drawn for scale 1 and those registered for other scales
// (ScaledPictures.h); nullopt when there is none.
std::optional<PixelImage> PictureForScale(int id, double scale);

// The bytes of resource id of type (as drawn for scale 1), or nullopt when
// there is none.
std::optional<std::span<const std::uint8_t>> FindResourceBytes(int id, UINT type);

// The resource number a name stands for, or -1 for a name given as text.
int ResourceNumber(LPCWSTR name);

} // namespace forms::winapi
