#include "Resources.h"

#include "Platform.h"

#include "GdiObjects.h"
#include "ImageFiles.h"
#include "ScaledPictures.h"

#include <vector>

namespace forms::winapi {
namespace {

struct Resource {
    int id;
    UINT type;
    std::span<const std::uint8_t> bytes;
};

std::vector<Resource>& Registered()
{
    static std::vector<Resource> resources;
    return resources;
}

// A bitmap handle holding image's colours; the file's alpha plays no part.
HBITMAP BitmapFrom(const PixelImage& image, int resource)
{
    auto* bitmap = new HBITMAP__;
    bitmap->resource = resource;
    bitmap->width = image.width;
    bitmap->height = image.height;
    bitmap->pixels.reserve(image.pixels.size());
    for (std::uint32_t pixel : image.pixels)
        bitmap->pixels.push_back(pixel & 0x00FFFFFF);
    return TrackBitmap(bitmap);
}

} // namespace

bool RegisterResource(int id, UINT type, const unsigned char* bytes, std::size_t size)
{
    Registered().push_back(Resource { id, type, std::span<const std::uint8_t>(bytes, size) });
    return true;
}


std::optional<std::span<const std::uint8_t>> FindResourceBytes(int id, UINT type)
{
    for (const Resource& resource : Registered()) {
        if (resource.id == id && resource.type == type)
            return resource.bytes;
    }
    return std::nullopt;
}

std::optional<PixelImage> PictureForScale(int id, double scale)
{
    return forms::PictureForScale(id, scale, FindResourceBytes(id, IMAGE_BITMAP));
}

int ResourceNumber(LPCWSTR name)
{
    auto value = reinterpret_cast<std::uintptr_t>(name);
    return value <= 0xFFFF ? static_cast<int>(value) : -1;
}

} // namespace forms::winapi

bool forms::platform::RegisterEmbeddedResource(int id, UINT type, const unsigned char* bytes, std::size_t size)
{
    return forms::winapi::RegisterResource(id, type, bytes, size);
}

bool forms::platform::RegisterEmbeddedScaledPicture(int id, double scale, const unsigned char* bytes, std::size_t size)
{
    return forms::RegisterScaledPicture(id, scale, std::span<const std::uint8_t>(bytes, size));
}

HMODULE GetModuleHandleW(LPCWSTR moduleName)
{
    // Only the program itself is asked for: any non-null value names it.
    static HINSTANCE__* const self = reinterpret_cast<HINSTANCE__*>(std::uintptr_t { 0x400000 });
    return moduleName == nullptr ? self : nullptr;
}

HANDLE LoadImageW(HINSTANCE, LPCWSTR name, UINT type, int, int, UINT)
{
    using namespace forms::winapi;
    if (type != IMAGE_BITMAP)
        return nullptr;
    std::optional<std::span<const std::uint8_t>> bytes = FindResourceBytes(ResourceNumber(name), type);
    if (!bytes)
        return nullptr;
    std::optional<forms::PixelImage> image = forms::ReadBitmapFile(*bytes);
    return image ? BitmapFrom(*image, ResourceNumber(name)) : nullptr;
}
