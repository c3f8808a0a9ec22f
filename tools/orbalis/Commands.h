// The commands of the orbalis program, each given its parsed options. Each
// returns the process exit code: 0 success, 1 the plug-in's command ended
// with a code (cancelled or failed), 2 bad arguments or an unreadable or
// unwritable file.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orbalis::tools {

// Where the host finds the plug-in and its preferences.
struct HostFiles {
    std::optional<std::string> plugin;  // default: the one beside the program
    std::optional<std::string> prefs;   // default: the user's configuration directory
};

struct MenusOptions {
    std::optional<std::string> document;
    HostFiles files;
};

struct InfoOptions {
    std::string document;
};

// One --ui script or --ui-file, in the order given.
struct UiSource {
    bool isFile = false;
    std::string text;  // the steps, or the file's name
};

struct RunOptions {
    std::vector<std::string> documents;
    std::optional<std::string> menu, layer, view, out;
    std::vector<std::string> select;
    bool yes = false, no = false, stats = false;
    std::vector<std::string> answers;  // in order
    std::vector<UiSource> ui;
    std::optional<std::string> trace;  // the dialogs' states before each step go here
    HostFiles files;
};

struct ConvertOptions {
    std::string input, output;
};

struct DialogOptions {
    std::string id;
    std::string svg;
    std::optional<std::string> plugin;
};

// A panel drawn as the --ui steps leave it.
struct PanelOptions {
    std::string title;
    std::vector<std::string> documents;
    std::string svg;
    std::vector<UiSource> ui;
    HostFiles files;
};

int MenusCommand(const MenusOptions& options);
int InfoCommand(const InfoOptions& options);
int RunCommand(const RunOptions& options);
int DialogCommand(const DialogOptions& options);
int ConvertCommand(const ConvertOptions& options);
int PanelCommand(const PanelOptions& options);

// The plug-in library: the one given, $ORBALIS_PLUGIN, or the one installed
// beside this program.
std::string PluginPath(const std::optional<std::string>& plugin);

// Prints "orbalis: MESSAGE" on standard error and returns 2.
int Fail(const std::string& message);

}  // namespace orbalis::tools
