#include "Resources.h"

#include "Platform.h"

#include "GdiObjects.h"
#include "ImageFiles.h"

#include <vector>

namespace forms::posix {
namespace {

struct Resource {
    int id;
    UINT type;
    std::span<const std::uint8_t> bytes;
    double scale = 1.0; // the screen scale a picture was drawn for
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

bool RegisterScaledPicture(int id, double scale, const unsigned char* bytes, std::size_t size)
{
    Registered().push_back(Resource { id, IMAGE_BITMAP, std::span<const std::uint8_t>(bytes, size), scale });
    return true;
}

std::optional<std::span<const std::uint8_t>> FindResourceBytes(int id, UINT type)
{
    for (const Resource& resource : Registered()) {
        if (resource.id == id && resource.type == type && resource.scale == 1.0)
            return resource.bytes;
    }
    return std::nullopt;
}

// A finer picture brought down keeps its detail; a coarser one brought up
// only grows, so the least scale at or above the screen's is best.
std::optional<PixelImage> PictureForScale(int id, double scale)
{
    const Resource* covering = nullptr;
    const Resource* largest = nullptr;
    for (const Resource& resource : Registered()) {
        if (resource.id != id || resource.type != IMAGE_BITMAP)
            continue;
        if (resource.scale >= scale && (!covering || resource.scale < covering->scale))
            covering = &resource;
        if (!largest || resource.scale > largest->scale)
            largest = &resource;
    }
    const Resource* best = covering ? covering : largest;
    if (!best)
        return std::nullopt;
    return ReadBitmapFile(best->bytes);
}

int ResourceNumber(LPCWSTR name)
{
    auto value = reinterpret_cast<std::uintptr_t>(name);
    return value <= 0xFFFF ? static_cast<int>(value) : -1;
}

} // namespace forms::posix

bool forms::platform::RegisterEmbeddedResource(int id, UINT type, const unsigned char* bytes, std::size_t size)
{
    return forms::posix::RegisterResource(id, type, bytes, size);
}

bool forms::platform::RegisterEmbeddedScaledPicture(int id, double scale, const unsigned char* bytes, std::size_t size)
{
    return forms::posix::RegisterScaledPicture(id, scale, bytes, size);
}

HMODULE GetModuleHandleW(LPCWSTR moduleName)
{
    // Only the program itself is asked for: any non-null value names it.
    static HINSTANCE__* const self = reinterpret_cast<HINSTANCE__*>(std::uintptr_t { 0x400000 });
    return moduleName == nullptr ? self : nullptr;
}

HANDLE LoadImageW(HINSTANCE, LPCWSTR name, UINT type, int, int, UINT)
{
    using namespace forms::posix;
    if (type != IMAGE_BITMAP)
        return nullptr;
    std::optional<std::span<const std::uint8_t>> bytes = FindResourceBytes(ResourceNumber(name), type);
    if (!bytes)
        return nullptr;
    std::optional<forms::PixelImage> image = forms::ReadBitmapFile(*bytes);
    return image ? BitmapFrom(*image, ResourceNumber(name)) : nullptr;
}
