#include "tools/orbalis/CommandLine.h"

#include <CLI/CLI.hpp>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "tools/orbalis/Commands.h"
#include "tools/orbalis/Serve.h"

namespace orbalis::tools {
namespace {

// A subcommand and what runs it once its options are parsed.
struct Subcommand {
    CLI::App* app;
    std::function<int()> run;
};

// Options that take one value each time they are given and may be given
// again. The word after the option is its value, whatever it looks like; the
// word after that is the next argument, not a second value.
CLI::Option* Repeatable(CLI::App* app, const std::string& name, std::vector<std::string>& values,
                        const std::string& description) {
    return app->add_option(name, values, description)->expected(1)->take_all()->allow_extra_args(false);
}

void AddGisOptions(CLI::App* app, GisOptions& gis) {
    app->add_option("--scale", gis.scale,
                    "GIS files: the map scale's denominator N, for 1:N (default: a round scale that fits the page)")
        ->type_name("N");
    app->add_option("--crs", gis.crs,
                    "GIS files: the projected CRS to draw in, e.g. EPSG:6677 (default: the data's own, or for "
                    "longitude and latitude a stereographic projection centred on the data)")
        ->type_name("CRS");
    app->add_option("--name-field", gis.nameField,
                    "GIS files: the attribute that names each object (default: a field called id, else the "
                    "feature id)")
        ->type_name("FIELD");
}

void AddHostFiles(CLI::App* app, HostFiles& files) {
    app->add_option("--plugin", files.plugin, "the plug-in library (default: the one installed beside this program)")
        ->type_name("FILE");
    app->add_option("--prefs", files.prefs,
                    "the preference file (default: orbalis/preferences.json under the user's configuration directory)")
        ->type_name("FILE");
}

Subcommand AddMenus(CLI::App& root) {
    auto options = std::make_shared<MenusOptions>();
    CLI::App* app = root.add_subcommand("menus", "start the plug-in and print the host's menus");
    app->add_option("DOC", options->document, "a document to open first (.svg, .json or a GIS file)");
    AddHostFiles(app, options->files);
    return {app, [options] { return MenusCommand(*options); }};
}

Subcommand AddInfo(CLI::App& root) {
    auto options = std::make_shared<InfoOptions>();
    CLI::App* app = root.add_subcommand("info", "layers, art counts and bounds of a document");
    app->add_option("DOC", options->document, "the document (.svg, .json or a GIS file)")->required();
    return {app, [options] { return InfoCommand(*options); }};
}

Subcommand AddRun(CLI::App& root) {
    auto options = std::make_shared<RunOptions>();
    CLI::App* app = root.add_subcommand(
        "run",
        "start the plug-in, open every document, run the --ui steps (at the panels too) and choose the menu item "
        "on the first document, then save it with --out");
    app->add_option("DOC", options->documents, "the documents (.svg, .json or GIS files); the first is current")
        ->required();
    app->add_option("--menu", options->menu, "the menu item, e.g. ポリゴン色分け (orbalis menus lists them)")
        ->type_name("TEXT");
    app->add_option("--layer", options->layer, "make this layer current first")->type_name("TITLE");
    Repeatable(app, "--select", options->select, "select the object with this name (its SVG id) first; repeatable")
        ->type_name("NAME");
    app->add_option("--view", options->view,
                    "centre the view on this page point first (default: the artboard's centre)")
        ->type_name("X,Y");
    app->add_flag("--yes", options->yes, "answer every question yes");
    app->add_flag("--no", options->no, "answer every question no");
    Repeatable(app, "--answer", options->answers, "answer the questions one by one, in order; repeatable")
        ->type_name("yes|no");
    app->add_option("--out", options->out,
                    "write the result (.svg, .json, or for GIS data .geojson, .gpkg, .shp or .fgb); without it "
                    "nothing is written")
        ->type_name("FILE");
    AddGisOptions(app, options->gis);
    // --ui and --ui-file are played in the order given, mixed as they come.
    auto scripts = std::make_shared<std::vector<std::string>>();
    auto files = std::make_shared<std::vector<std::string>>();
    CLI::Option* ui = Repeatable(app, "--ui", *scripts,
                                 "what the user does in the dialogs, e.g. \"dialog 125; type 1126 10; click 1\"; "
                                 "repeatable")
                          ->type_name("STEPS");
    CLI::Option* uiFile =
        Repeatable(app, "--ui-file", *files, "the same from a file, one step a line; repeatable")->type_name("FILE");
    app->add_flag("--stats", options->stats, "print the time taken and the host calls made");
    app->add_option("--trace", options->trace,
                    "write the state of the dialogs' controls before each of the user's steps to this file")
        ->type_name("FILE");
    AddHostFiles(app, options->files);
    return {app, [app, options, scripts, files, ui, uiFile] {
                std::size_t nextScript = 0, nextFile = 0;
                for (const CLI::Option* given : app->parse_order()) {
                    if (given == ui) options->ui.push_back({false, (*scripts)[nextScript++]});
                    if (given == uiFile) options->ui.push_back({true, (*files)[nextFile++]});
                }
                return RunCommand(*options);
            }};
}

Subcommand AddConvert(CLI::App& root) {
    auto options = std::make_shared<ConvertOptions>();
    CLI::App* app = root.add_subcommand("convert", "convert a document between .svg, .json and GIS formats");
    app->add_option("IN", options->input, "the document to read")->required();
    app->add_option("OUT", options->output, "the document to write")->required();
    AddGisOptions(app, options->gis);
    return {app, [options] { return ConvertCommand(*options); }};
}

Subcommand AddDialog(CLI::App& root) {
    auto options = std::make_shared<DialogOptions>();
    CLI::App* app = root.add_subcommand("dialog", "draw one of the plug-in's dialogs as SVG");
    app->add_option("ID", options->id, "the dialog's template number, e.g. 125")->required();
    app->add_option("--svg", options->svg, "the picture to write")->type_name("FILE")->required();
    app->add_option("--plugin", options->plugin, "the plug-in library (default: the one installed beside this program)")
        ->type_name("FILE");
    return {app, [options] { return DialogCommand(*options); }};
}

Subcommand AddPanel(CLI::App& root) {
    auto options = std::make_shared<PanelOptions>();
    CLI::App* app = root.add_subcommand("panel", "draw one of the plug-in's panels as SVG, as the --ui steps leave it");
    app->add_option("TITLE", options->title, "the panel's title, e.g. テキスト原点")->required();
    app->add_option("DOC", options->documents,
                    "documents to open first (.svg, .json or GIS files); the first is current");
    app->add_option("--svg", options->svg, "the picture to write")->type_name("FILE")->required();
    auto scripts = std::make_shared<std::vector<std::string>>();
    Repeatable(app, "--ui", *scripts,
               "panel steps played before drawing, e.g. \"panel レイヤー間移動; refresh\"; "
               "repeatable")
        ->type_name("STEPS");
    AddHostFiles(app, options->files);
    return {app, [options, scripts] {
                for (const std::string& script : *scripts) options->ui.push_back({false, script});
                return PanelCommand(*options);
            }};
}

Subcommand AddServe(CLI::App& root) {
    auto options = std::make_shared<ServeOptions>();
    CLI::App* app = root.add_subcommand("serve", "run the browser workbench on the loopback interface");
    app->add_option("DOC", options->documents, "documents to open at the start (.svg or .json), inside the root");
    app->add_option("--root", options->root, "the folder the page may open and save in (default: the current one)")
        ->type_name("DIR");
    app->add_option("--port", options->port, "the port (default: any free one)")
        ->type_name("N")
        ->check(CLI::Range(0, 65535));
    app->add_option("--bind", options->bind, "the address to listen on (default: 127.0.0.1)")->type_name("ADDR");
    app->add_option("--max-upload", options->maxUploadMegabytes, "the largest upload in megabytes (default: 64)")
        ->type_name("MB")
        ->check(CLI::Range(1, 1024));
    app->add_option("--plugin", options->plugin, "the plug-in library (default: the one installed beside this program)")
        ->type_name("FILE");
    app->add_option("--prefs", options->prefs,
                    "the preference file (default: orbalis/preferences.json under the user's configuration directory)")
        ->type_name("FILE");
    return {app, [options] { return Serve(*options); }};
}

// CLI11 says what is wrong over several lines; one is enough.
std::string OneLine(std::string message) {
    for (char& c : message)
        if (c == '\n' || c == '\r') c = ' ';
    while (!message.empty() && message.back() == ' ') message.pop_back();
    return message;
}

}  // namespace

int RunCommandLine(int argc, const char* const* argv) {
    CLI::App root("orbalis: runs the Orbalis plug-in in the stand-in host, on map documents.", "orbalis");
    root.require_subcommand(1);
    root.set_version_flag("--version", "orbalis " ORBALIS_VERSION, "print the version and exit");
    root.footer(
        "orbalis COMMAND --help tells more about each command. Exit status: 0 done, 1 the plug-in's "
        "command was cancelled or failed (nothing is written), 2 bad arguments or a file that cannot be "
        "read or written.");
    // One line each; a further command is one more line here.
    const std::vector<Subcommand> commands = {
        AddMenus(root), AddInfo(root), AddRun(root), AddConvert(root), AddDialog(root), AddPanel(root), AddServe(root),
    };

    if (argc < 2) {
        std::cerr << root.help();
        return 2;
    }
    const std::string first = argv[1];
    if (first == "help") {
        std::cout << root.help();
        return 0;
    }
    if (first == "--version") {
        std::cout << root.version() << "\n";
        return 0;
    }
    if (!first.empty() && first[0] == '-' && first != "-h" && first != "--help")
        return Fail("unknown option " + first + " (options come after the command; try orbalis --help)");
    if (first.empty() || first[0] != '-') {
        bool known = false;
        for (const Subcommand& command : commands) known = known || command.app->get_name() == first;
        if (!known) return Fail("unknown command \"" + first + "\" (try orbalis --help)");
    }

    try {
        root.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        for (const Subcommand& command : commands) {
            if (command.app->parsed()) {
                std::cout << command.app->help(root.get_name());
                return 0;
            }
        }
        std::cout << root.help();
        return 0;
    } catch (const CLI::ParseError& e) {
        std::string where;
        for (const Subcommand& command : commands)
            if (command.app->parsed()) where = " " + command.app->get_name();
        return Fail(OneLine(e.what()) + " (try orbalis" + where + " --help)");
    }
    for (const Subcommand& command : commands)
        if (command.app->parsed()) return command.run();
    return Fail("no command given (try orbalis --help)");
}

}  // namespace orbalis::tools
