#include "host/win32/Images.h"

#include <cstring>

namespace orbalis::win32 {

bool DecodeDib(const uint8_t* data, size_t size, bool isIcon, Image* out) {
    if (size < 40) return false;
    uint32_t headerSize, compression;
    int32_t width, height;
    uint16_t planes, bits;
    std::memcpy(&headerSize, data, 4);
    std::memcpy(&width, data + 4, 4);
    std::memcpy(&height, data + 8, 4);
    std::memcpy(&planes, data + 12, 2);
    std::memcpy(&bits, data + 14, 2);
    std::memcpy(&compression, data + 16, 4);
    if (headerSize < 40 || headerSize > size || compression != 0 || (bits != 24 && bits != 32) || width <= 0 ||
        width > 4096 || height == 0 || height > 8192 || height < -8192)
        return false;
    const bool bottomUp = height > 0;
    int rows = bottomUp ? height : -height;
    if (isIcon) rows /= 2;
    const size_t stride = (static_cast<size_t>(width) * bits / 8 + 3) & ~size_t(3);
    const size_t maskStride = ((static_cast<size_t>(width) + 31) / 32) * 4;
    const size_t colourBytes = stride * static_cast<size_t>(rows);
    const size_t needed = headerSize + colourBytes + (isIcon ? maskStride * static_cast<size_t>(rows) : 0);
    if (needed > size) return false;
    const uint8_t* colour = data + headerSize;
    const uint8_t* mask = colour + colourBytes;
    out->width = width;
    out->height = rows;
    out->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(rows), 0);
    for (int y = 0; y < rows; ++y) {
        const int stored = bottomUp ? rows - 1 - y : y;
        const uint8_t* line = colour + stride * static_cast<size_t>(stored);
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = line + static_cast<size_t>(x) * bits / 8;
            uint32_t alpha = bits == 32 ? p[3] : 255;
            if (isIcon && bits == 24) {
                const uint8_t m = mask[maskStride * static_cast<size_t>(stored) + static_cast<size_t>(x) / 8];
                if (m & (0x80 >> (x % 8))) alpha = 0;
            }
            out->pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                (alpha << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
        }
    }
    return true;
}

Image Scaled(const Image& image, int width, int height) {
    Image out;
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.pixels[static_cast<size_t>(y * width + x)] =
                image.pixels[static_cast<size_t>((y * image.height / height) * image.width + x * image.width / width)];
    return out;
}

}  // namespace orbalis::win32
