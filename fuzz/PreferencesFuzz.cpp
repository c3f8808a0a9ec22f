// Feeds arbitrary bytes to the preference store as the contents of its
// file. A file it accepts must give the same values back after it writes
// them; a file it refuses must be named in one line and never written over.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/prefs/PreferenceStore.h"

using orbalis::host::PreferenceStore;

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string contents(reinterpret_cast<const char*>(data), size);
    // The path is only named in messages: nothing is read from it or written to it here.
    PreferenceStore store("fuzzed/preferences.json");
    std::string error;
    if (!store.loadText(contents, &error)) {
        if (error.find("fuzzed/preferences.json") == std::string::npos || error.find('\n') != std::string::npos)
            Fail("refused without a one-line reason naming the file", error);
        if (store.putInteger("S", "K", 1) != kHostLockedErr) Fail("a refused file would be written over", error);
        return 0;
    }
    const std::string written = store.text();
    PreferenceStore again("fuzzed/preferences.json");
    if (!again.loadText(written, &error)) Fail("the store's own file does not read again", error + "\n" + written);
    if (again.text() != written) Fail("the store's own file does not read back the same", written);
    return 0;
}
