// orbalis: runs the Orbalis plug-in in the stand-in host, on map documents.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "host/app/Host.h"
#include "host/io/DocumentFiles.h"
#include "tools/orbalis/Arguments.h"
#include "tools/orbalis/Commands.h"
#include "tools/orbalis/Serve.h"

namespace {

constexpr const char* kUsage = R"(usage: orbalis COMMAND [options]

commands:
  menus [DOC]                 start the plug-in and print the host's menus
  info DOC                    layers, art counts and bounds of a document
  run DOC --menu TEXT         start the plug-in, choose a menu item, save
      [--layer TITLE]         make this layer current first
      [--select NAME ...]     select the objects with these names first
      [--view X,Y]            centre the view on this point (default: the
                              artboard's centre)
      [--yes | --no]          answer every question
      [--answer yes|no ...]   answer the questions one by one, in order
      [--out FILE]            write the result (.svg or .json)
      [--stats]               print the time taken and the host calls made
      [--ui STEPS ...]        what the user does in the dialogs, e.g.
                              "dialog 125; type 1126 10; click 1"
      [--ui-file FILE ...]    the same from a file, one step a line
  run DOC... --ui STEPS       start the plug-in, open every document, run the
                              steps (at the panels too), save the current one
  convert IN OUT              convert between .svg and .json
  dialog ID --svg FILE        draw one of the plug-in's dialogs
  panel TITLE [DOC...] --svg FILE [--ui STEPS ...]
                              draw one of the plug-in's panels, after the steps

options for every command:
  --plugin FILE               the plug-in library (default: the one installed
                              beside this program)
  --prefs FILE                the preference file (default: under the user's
                              configuration directory)
)";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty() || words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        std::fputs(kUsage, words.empty() ? stderr : stdout);
        return words.empty() ? 2 : 0;
    }
    const std::string command = words[0];
    words.erase(words.begin());
    if (command == "menus") return orbalis::tools::MenusCommand(words);
    if (command == "info") return orbalis::tools::InfoCommand(words);
    if (command == "run") return orbalis::tools::RunCommand(words);
    if (command == "convert") return orbalis::tools::ConvertCommand(words);
    if (command == "dialog") return orbalis::tools::DialogCommand(words);
    if (command == "panel") return orbalis::tools::PanelCommand(words);
    if (command == "serve") return orbalis::tools::ServeCommand(words);
    std::cerr << "orbalis: unknown command \"" << command << "\" (try orbalis --help)\n";
    return 2;
}
