// The browser workbench is served on Linux only: on Windows the dialogs and
// panels are the system's own windows, which a page cannot stand in for.
#include <iostream>

#include "tools/orbalis/Serve.h"

namespace orbalis::tools {

int Serve(const ServeOptions&) {
    std::cerr << "orbalis: serve is not available on Windows; the dialogs are Windows' own here\n";
    return 2;
}

}  // namespace orbalis::tools
