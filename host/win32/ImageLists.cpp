// Image lists: equal-sized images added from bitmaps, one handle for all.
#include <algorithm>

#include "host/win32/Images.h"
#include "host/win32/Windows.h"

namespace orbalis::win32 {
namespace {

struct ImageList : Object {
    int width = 0;
    int height = 0;
    std::vector<Image> images;
};

ImageList* ListOf(HIMAGELIST list) { return Handles().Get<ImageList>(list, Kind::ImageList); }

}  // namespace

const Image* ImageListImage(HIMAGELIST list, int index) {
    const ImageList* l = ListOf(list);
    if (!l || index < 0 || static_cast<size_t>(index) >= l->images.size()) return nullptr;
    return &l->images[static_cast<size_t>(index)];
}
}  // namespace orbalis::win32

using namespace orbalis::win32;

extern "C" {

HIMAGELIST WINAPI ImageList_Create(int cx, int cy, UINT, int, int) {
    if (cx <= 0 || cy <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto list = std::make_unique<ImageList>();
    list->width = cx;
    list->height = cy;
    return reinterpret_cast<HIMAGELIST>(Handles().Add(Kind::ImageList, std::move(list)));
}

BOOL WINAPI ImageList_Destroy(HIMAGELIST list) {
    return Handles().Remove(reinterpret_cast<uintptr_t>(list), Kind::ImageList);
}

// A bitmap as wide as several images adds them all, left to right; the list
// keeps copies, so the caller still owns and deletes the bitmap.
int WINAPI ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP) {
    ImageList* l = ListOf(list);
    const Image* bitmap = Handles().Get<Image>(image, Kind::Bitmap);
    if (!l || !bitmap || bitmap->height != l->height || bitmap->width < l->width) return -1;
    const int first = static_cast<int>(l->images.size());
    for (int x = 0; x + l->width <= bitmap->width; x += l->width) {
        Image part;
        part.width = l->width;
        part.height = l->height;
        for (int y = 0; y < l->height; ++y)
            for (int i = 0; i < l->width; ++i)
                part.pixels.push_back(bitmap->pixels[static_cast<size_t>(y * bitmap->width + x + i)]);
        l->images.push_back(std::move(part));
    }
    return first;
}

int WINAPI ImageList_GetImageCount(HIMAGELIST list) {
    ImageList* l = ListOf(list);
    return l ? static_cast<int>(l->images.size()) : 0;
}

BOOL WINAPI ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
    ImageList* l = ListOf(list);
    if (!l || !cx || !cy) return FALSE;
    *cx = l->width;
    *cy = l->height;
    return TRUE;
}

}  // extern "C"
