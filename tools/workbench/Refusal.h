// Why the workbench refused an input. The page words the reason in its
// user's language from `reason` and `detail`; `line` says the same in
// English for any other client, and is the body of the answer.
#pragma once

#include <string>

namespace orbalis::workbench {

struct Refusal {
    std::string reason;  // a key the page knows: "control-disabled", "path-outside", ...
    std::string line;
    std::string detail;  // what the words name, if anything: a path, a command
};

}  // namespace orbalis::workbench
