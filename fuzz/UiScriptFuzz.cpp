// Feeds arbitrary bytes to the parser of the user's steps at the dialogs and
// panels (--ui and --ui-file). A refused script gets a one-line reason; in
// an accepted one, each step as written parses again to the same step, since
// messages quote it as the user's own words.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/win32/ScriptedUser.h"

using orbalis::win32::ParseUiScript;
using orbalis::win32::UiStep;

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
    std::abort();
}

bool Same(const UiStep& a, const UiStep& b) {
    return a.kind == b.kind && a.id == b.id && a.dialog == b.dialog && a.text == b.text && a.row == b.row &&
           a.height == b.height && a.path == b.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size);
    std::vector<UiStep> steps;
    std::string error;
    if (!ParseUiScript(script, &steps, &error)) {
        if (error.empty() || error.find('\n') != std::string::npos) Fail("refused without a one-line reason", error);
        return 0;
    }
    for (const UiStep& step : steps) {
        std::vector<UiStep> again;
        if (!ParseUiScript(step.source, &again, &error)) Fail("a step as written does not parse again", error);
        if (again.size() != 1 || !Same(again.front(), step)) Fail("a step as written parses to another", step.source);
    }
    return 0;
}
