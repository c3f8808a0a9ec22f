// Pixel images behind bitmap and icon handles, and the device-independent
// bitmaps (DIBs) resources store them as.
#pragma once

#include <cstdint>
#include <vector>

#include "host/win32/Handles.h"
#include "sdk/win32/CommCtrl.h"

namespace orbalis::win32 {

struct Image : Object {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, top row first
    bool shared = false;           // loaded with LR_SHARED; lives as long as the process
};

// Decodes an uncompressed 24- or 32-bit DIB (a BITMAPINFOHEADER and its
// pixels). An icon's DIB holds the colour rows and then the 1-bit AND mask,
// its header counting both in the height. False for anything else.
bool DecodeDib(const uint8_t* data, size_t size, bool isIcon, Image* out);

// The image scaled to width by height (nearest pixel).
Image Scaled(const Image& image, int width, int height);

// Image `index` of an image list; null for a stale list or an index out of
// range.
const Image* ImageListImage(HIMAGELIST list, int index);

}  // namespace orbalis::win32
