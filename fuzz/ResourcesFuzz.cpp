// Feeds arbitrary bytes to the readers of a plug-in file's resources, both
// as a resource image (.res) and as a whole library file with a resource
// section, and then every dialog template, image and property list found to
// their own readers. Whatever the bytes, each reader either reads them or
// gives a reason.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/app/PropertyList.h"
#include "host/win32/DialogTemplate.h"
#include "host/win32/Images.h"
#include "host/win32/ResourceFile.h"

using namespace orbalis;

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

void Check(bool ok, const std::string& error) {
    if (!ok && error.empty()) Fail("refused without a reason");
}

// The resource types the host reads: bitmaps, icons and dialogs.
constexpr int kBitmap = 2, kIcon = 3, kDialog = 5;

void ReadEach(const std::vector<win32::Resource>& resources) {
    for (const win32::Resource& r : resources) {
        std::string error;
        if (r.type.number == kDialog) {
            win32::DialogTemplate t;
            const bool ok = win32::ParseDialogTemplate(r.data.data(), r.data.size(), &t, &error);
            Check(ok, error);
            if (!ok) continue;
            const win32::BaseUnits units = win32::BaseUnitsOf(t);
            for (const auto& item : t.items) win32::ToPixels(units, item.x, item.y, item.cx, item.cy);
        } else if (r.type.number == kBitmap || r.type.number == kIcon) {
            win32::Image image;
            if (win32::DecodeDib(r.data.data(), r.data.size(), r.type.number == kIcon, &image) &&
                image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
                Fail("an image's pixels do not match its size");
        }
    }
    host::PropertyList list;
    std::string error;
    Check(host::CheckPropertyList(resources, &list, &error), error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<win32::Resource> resources;
    std::string error;
    bool ok = win32::ParseResources(data, size, &resources, &error);
    Check(ok, error);
    if (ok) ReadEach(resources);

    resources.clear();
    error.clear();
    const std::vector<uint8_t> file(data, data + size);
    ok = win32::ParseLibraryResources(file, &resources, &error);
    Check(ok, error);
    if (ok) ReadEach(resources);
    return 0;
}
