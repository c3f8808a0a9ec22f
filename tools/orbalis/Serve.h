// orbalis serve: the stand-in host behind the browser workbench.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace orbalis::tools {

struct ServeOptions {
    std::vector<std::string> documents;  // opened at the start
    std::string root;                    // the folder the page may read and write; default the current one
    std::string bind = "127.0.0.1";
    int port = 0;                       // 0: any free port
    std::optional<std::string> plugin;  // default: the one installed beside the program
    std::optional<std::string> prefs;   // default: under the user's configuration directory
    size_t maxUploadMegabytes = 64;
};

// Runs until interrupted (SIGINT or SIGTERM); the exit code.
int Serve(const ServeOptions& options);

}  // namespace orbalis::tools
