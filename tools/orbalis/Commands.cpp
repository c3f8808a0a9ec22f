#include "tools/orbalis/Commands.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>

#include "host/app/Faults.h"
#include "host/app/Host.h"
#include "host/io/DocumentFiles.h"
#include "host/win32/DialogPicture.h"
#include "host/app/PanelUser.h"
#include "host/app/Panels.h"
#include "host/win32/ScriptedUser.h"
#include "tools/orbalis/Arguments.h"
#include "tools/orbalis/Console.h"
#include "tools/orbalis/DialogForm.h"

namespace orbalis::tools {
namespace {

namespace fs = std::filesystem;
using host::Art;
using host::Document;
using host::Host;
using host::Layer;

int Fail(const std::string& message) {
    FinishProgress();
    std::cerr << "orbalis: " << message << "\n";
    return 2;
}

std::string CodeText(HostErr code) {
    char text[32];
    const auto u = static_cast<uint32_t>(code);
    const char c[4] = {char(u >> 24), char(u >> 16), char(u >> 8), char(u)};
    bool printable = true;
    for (char ch : c) printable = printable && ch >= 0x20 && ch < 0x7F;
    if (printable)
        std::snprintf(text, sizeof text, "'%c%c%c%c'", c[0], c[1], c[2], c[3]);
    else
        std::snprintf(text, sizeof text, "%" PRId32, code);
    return text;
}

std::string PluginPath(const Arguments& args) {
    if (args.has("--plugin")) return args.value("--plugin");
    if (const char* env = std::getenv("ORBALIS_PLUGIN"); env && *env) return env;
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        for (const fs::path& candidate : {self.parent_path() / "../plugins/Orbalis.so",
                                          self.parent_path() / "../lib/orbalis/Orbalis.so"})
            if (fs::exists(candidate, ec)) return fs::weakly_canonical(candidate, ec).string();
    }
    return ORBALIS_PLUGIN_DEFAULT_PATH;
}

// A host with its preferences loaded and the plug-in started; null after
// printing why not.
std::unique_ptr<Host> StartHost(const Arguments& args, int* exitCode) {
    host::HostOptions options;
    options.preferencesPath = args.value("--prefs", host::PreferenceStore::defaultPath());
    auto host = std::make_unique<Host>(options);
    std::string error;
    if (!host->preferences().load(&error)) {
        *exitCode = Fail(error);
        return nullptr;
    }
    const std::string plugin = PluginPath(args);
    if (!host->LoadPlugin(plugin, &error)) {
        *exitCode = Fail(error);
        return nullptr;
    }
    if (HostErr err = host->StartPlugins()) {
        *exitCode = Fail("the plug-in did not start: code " + CodeText(err));
        return nullptr;
    }
    return host;
}

std::unique_ptr<Document> Open(const std::string& path, const std::string& layer, int* exitCode) {
    std::string error;
    host::DocumentReadOptions options;
    options.currentLayer = layer;
    std::vector<std::string> warnings;
    options.warnings = &warnings;
    auto document = host::ReadDocumentFile(path, options, &error);
    for (const std::string& w : warnings) std::cerr << "orbalis: warning: " << w << "\n";
    if (!document) *exitCode = Fail(error);
    return document;
}

// ---------------------------------------------------------------- info

const char* KindName(int32_t type) {
    switch (type) {
    case kHostGroupArt: return "groups";
    case kHostPathArt: return "paths";
    case kHostCompoundPathArt: return "compound paths";
    case kHostPlacedArt: return "placed images";
    case kHostRasterArt: return "raster images";
    case kHostTextFrameArt: return "texts";
    case kHostSymbolArt: return "symbol instances";
    default: return "other objects";
    }
}

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

std::string BoundsText(const Document& document, const Art* art) {
    HostRect r;
    if (!document.bounds(art, &r)) return "no bounds";
    return "(" + Number(r.left) + ", " + Number(r.bottom) + ") - (" + Number(r.right) + ", " +
           Number(r.top) + ")";
}

void CountArt(const Art* art, std::map<std::string, size_t>& counts, bool isRoot) {
    if (!isRoot && !art->ownerLayer()) ++counts[KindName(art->type())];
    for (const Art* child = art->firstChild(); child; child = child->next())
        if (!child->ownerLayer()) CountArt(child, counts, false);
}

void PrintLayer(const Document& document, const Layer* layer, int depth, std::ostream& out) {
    size_t topLevel = 0;
    for (const Art* a = layer->group()->firstChild(); a; a = a->next())
        if (!a->ownerLayer()) ++topLevel;
    std::map<std::string, size_t> counts;
    CountArt(layer->group(), counts, true);
    out << std::string(size_t(depth) * 2 + 2, ' ') << "\"" << layer->title << "\"";
    if (layer == document.currentLayer()) out << " (current)";
    if (!layer->visible) out << " hidden";
    if (!layer->editable) out << " locked";
    out << ": " << topLevel << " top-level objects";
    for (const auto& [kind, n] : counts) out << ", " << n << " " << kind;
    out << "; bounds " << BoundsText(document, layer->group()) << "\n";
    for (const Layer* sub = document.firstSublayer(layer); sub; sub = document.nextSiblingLayer(sub))
        PrintLayer(document, sub, depth + 1, out);
}

// ---------------------------------------------------------------- run

// Selects exactly the objects with the given names.
bool Select(Document& document, const std::vector<std::string>& names, std::string* error) {
    document.deselectAll();
    for (const std::string& name : names) {
        std::vector<Art*> found;
        for (Layer* layer : document.allLayers()) {
            std::vector<Art*> arts;
            document.collectLayerArt(layer, arts);
            for (Art* a : arts)
                if (a->name == name && !a->ownerLayer()) found.push_back(a);
        }
        if (found.empty()) {
            *error = "no object named \"" + name + "\"";
            return false;
        }
        for (Art* a : found) document.setAttributes(a, kHostArtSelected, kHostArtSelected);
    }
    return true;
}

// "X,Y" in document points, both finite numbers.
bool ParseViewCenter(const std::string& text, HostPoint* center) {
    const size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    const std::string parts[2] = {text.substr(0, comma), text.substr(comma + 1)};
    double values[2] = {};
    for (int i = 0; i < 2; ++i) {
        const char* begin = parts[i].c_str();
        char* end = nullptr;
        values[i] = std::strtod(begin, &end);
        if (parts[i].empty() || *end != '\0' || !std::isfinite(values[i])) return false;
    }
    *center = {values[0], values[1]};
    return true;
}

host::MenuItem* FindMenuItem(Host& host, const std::string& text, std::string* error) {
    const auto items = host.menus().FindItems(text);
    if (items.size() == 1) return items.front();
    if (items.empty()) {
        *error = "no menu item \"" + text + "\" (see orbalis menus)";
    } else {
        *error = "menu item \"" + text + "\" is ambiguous:";
        for (auto* item : items) *error += " \"" + host.menus().PathOf(item) + "\"";
    }
    return nullptr;
}

// How long the command took and which host operations it called how often.
void PrintStats(double seconds) {
    auto calls = host::Faults::AllCalls();
    std::sort(calls.begin(), calls.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    uint64_t total = 0;
    for (const auto& [name, n] : calls) total += n;
    std::fprintf(stderr, "stats: %.3f s, %llu host calls\n", seconds, static_cast<unsigned long long>(total));
    for (const auto& [name, n] : calls)
        std::fprintf(stderr, "stats: %-28s %llu\n", name.c_str(), static_cast<unsigned long long>(n));
}

// The user's part in the dialogs: every --ui script and --ui-file, in the
// order given.
bool ReadUiScripts(const Arguments& args, std::vector<win32::UiStep>* steps, std::string* error) {
    for (const auto& [option, value] : args.ordered()) {
        std::string script = value;
        if (option == "--ui-file") {
            std::ifstream in(value);
            if (!in) {
                *error = "cannot read " + value;
                return false;
            }
            script.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        } else if (option != "--ui") {
            continue;
        }
        std::string why;
        if (!win32::ParseUiScript(script, steps, &why)) {
            *error = option + ": " + why;
            return false;
        }
    }
    return true;
}

// Says what went wrong at the dialogs; true when nothing did.
bool ReportUi(const win32::ScriptedUser& user) {
    for (const std::string& e : user.errors()) std::cerr << "orbalis: ui: " << e << "\n";
    if (user.pendingSteps()) {
        std::cerr << "orbalis: ui: steps left unused:";
        for (const std::string& step : user.pending()) std::cerr << " \"" << step << "\"";
        std::cerr << "\n";
    }
    return user.errors().empty() && user.pendingSteps() == 0;
}

bool ParseAnswer(const std::string& word, bool* yes) {
    if (word == "yes" || word == "y") return *yes = true, true;
    if (word == "no" || word == "n") return *yes = false, true;
    return false;
}

}  // namespace

int MenusCommand(const std::vector<std::string>& words) {
    const Arguments args(words, {"--plugin", "--prefs"}, {});
    if (!args.ok()) return Fail(args.error());
    if (args.positional().size() > 1) return Fail("menus takes at most one document");
    int exitCode = 0;
    std::unique_ptr<Document> document;
    if (args.positional().size() == 1 && !(document = Open(args.positional()[0], {}, &exitCode)))
        return exitCode;
    auto host = StartHost(args, &exitCode);
    if (!host) return exitCode;
    host->OpenDocument(std::move(document));
    host->UpdateMenus();
    std::cout << host->menus().Render();
    host->ShutdownPlugins();
    return 0;
}

int InfoCommand(const std::vector<std::string>& words) {
    const Arguments args(words, {}, {});
    if (!args.ok()) return Fail(args.error());
    if (args.positional().size() != 1) return Fail("info takes one document");
    int exitCode = 0;
    auto document = Open(args.positional()[0], {}, &exitCode);
    if (!document) return exitCode;
    const HostRect& a = document->artboard;
    std::cout << args.positional()[0] << ": artboard " << Number(a.right - a.left) << " x "
              << Number(a.top - a.bottom) << " pt, " << document->liveArtCount()
              << " objects (layer groups included)\n";
    std::cout << "layers, top to bottom:\n";
    for (const Layer* layer : document->topLayers()) PrintLayer(*document, layer, 0, std::cout);
    std::vector<Art*> selected;
    document->collectSelected(selected);
    size_t explicitly = 0;
    for (const Art* s : selected)
        if (s->attributes() & kHostArtSelected) ++explicitly;
    std::cout << "selected: " << explicitly << " objects\n";
    return 0;
}

int RunCommand(const std::vector<std::string>& words) {
    const Arguments args(words,
                         {"--plugin", "--prefs", "--menu", "--layer", "--select", "--answer", "--out",
                          "--ui", "--ui-file", "--view"},
                         {"--yes", "--no", "--stats"});
    if (!args.ok()) return Fail(args.error());
    if (args.positional().empty()) return Fail("run takes a document");
    const bool hasUi = args.has("--ui") || args.has("--ui-file");
    if (!args.has("--menu") && !hasUi) return Fail("run needs --menu TEXT or --ui STEPS");
    if (args.has("--yes") && args.has("--no")) return Fail("--yes and --no contradict each other");
    Answers answers;
    for (const std::string& word : args.values("--answer")) {
        bool yes = false;
        if (!ParseAnswer(word, &yes)) return Fail("--answer takes yes or no, not \"" + word + "\"");
        answers.sequence.push_back(yes);
    }
    if (args.has("--yes")) answers.all = true;
    if (args.has("--no")) answers.all = false;
    const std::string out = args.value("--out");
    if (args.has("--out") && !host::IsDocumentPath(out))
        return Fail(out + ": unknown document type (expected .json or .svg)");
    std::vector<win32::UiStep> steps;
    std::string error;
    if (!ReadUiScripts(args, &steps, &error)) return Fail(error);
    win32::ScriptedUser dialogUser;
    dialogUser.Add(std::move(steps));
    // The stand-in host's fault injection: one host operation of the command
    // made to fail, to try failure paths from the command line.
    host::Faults::Spec fault;
    const char* faultText = std::getenv("ORBALIS_FAULT");
    if (faultText && *faultText && !host::Faults::ParseSpec(faultText, &fault, &error))
        return Fail("ORBALIS_FAULT: " + error);

    int exitCode = 0;
    // Every document given is opened; the first is current, and the
    // selection and the menu item apply to it.
    std::vector<std::unique_ptr<host::Document>> documents;
    for (const std::string& path : args.positional()) {
        documents.push_back(Open(path, args.value("--layer"), &exitCode));
        if (!documents.back()) return exitCode;
    }
    if (args.has("--select") && !Select(*documents.front(), args.values("--select"), &error))
        return Fail(error);
    if (args.has("--view")) {
        HostPoint center{};
        if (!ParseViewCenter(args.value("--view"), &center))
            return Fail("--view takes X,Y in points, not \"" + args.value("--view") + "\"");
        documents.front()->viewCenter = center;
    }

    // The dialogs' user and the shell's requests, shown as they come.
    ConsoleDialogUser consoleUser(dialogUser, isatty(STDIN_FILENO) != 0);
    win32::SetDialogUser(&consoleUser);
    win32::OnShellRequest([](const win32::ShellRequest& r) {
        std::cerr << "shell: " << r.operation << " " << r.file << "\n";
    });
    struct Unwire {
        ~Unwire() {
            win32::SetDialogUser(nullptr);
            win32::OnShellRequest(nullptr);
        }
    } unwire;
    auto host = StartHost(args, &exitCode);
    if (!host) return exitCode;
    AttachConsole(host->user(), std::move(answers));
    for (auto& document : documents) host->OpenDocument(std::move(document));
    host->SwitchDocument(0);
    // What the user does at the panels comes before the menu item.
    host::PlayPanelSteps(*host, dialogUser);
    host::MenuItem* item = nullptr;
    if (args.has("--menu")) {
        if (!(item = FindMenuItem(*host, args.value("--menu"), &error))) return Fail(error);
        host->menus().UpdateEnabling(host->document());
        if (!item->enabled) return Fail("menu item \"" + item->text + "\" is disabled here");
    }

    host::Faults::Reset();
    if (!fault.operation.empty()) host::Faults::Arm(fault);
    const auto started = std::chrono::steady_clock::now();
    const HostErr result = item ? host->ChooseMenuItem(item) : 0;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    FinishProgress();
    if (args.has("--stats")) PrintStats(took.count());
    host->ShutdownPlugins();
    const bool uiDone = ReportUi(dialogUser);
    if (result) {
        std::cerr << "orbalis: " << item->text << " ended with code " << CodeText(result)
                  << (result == HOST_FOURCC('S', 'T', 'O', 'P') ? " (cancelled)" : "")
                  << "; nothing written\n";
        return 1;
    }
    if (!uiDone) {
        std::cerr << "orbalis: the dialogs did not go as the script says; nothing written\n";
        return 1;
    }
    if (args.has("--out")) {
        if (!host::WriteDocumentFile(*host->document(), out, &error)) return Fail(error);
        std::cerr << "wrote " << out << "\n";
    }
    return 0;
}

int DialogCommand(const std::vector<std::string>& words) {
    const Arguments args(words, {"--plugin", "--svg"}, {});
    if (!args.ok()) return Fail(args.error());
    if (args.positional().size() != 1) return Fail("dialog takes one dialog number");
    const std::string& word = args.positional()[0];
    if (word.empty() || word.size() > 5 || word.find_first_not_of("0123456789") != std::string::npos)
        return Fail("\"" + word + "\" is not a dialog number");
    if (!args.has("--svg")) return Fail("dialog needs --svg FILE");
    // The plug-in's library is loaded, not started: its resources are all
    // that is needed.
    Host host;
    std::string error;
    host::LoadedPlugin* plugin = host.LoadPlugin(PluginPath(args), &error);
    if (!plugin) return Fail(error);
    HINSTANCE module = GetModuleHandleA(plugin->mappedPath().c_str());
    if (!module) return Fail("the plug-in's module is not loaded");
    const std::string svg = win32::DrawTemplateSvg(module, std::stoi(word), &error);
    if (svg.empty()) return Fail(error);
    const std::string out = args.value("--svg");
    std::ofstream file(out, std::ios::binary);
    if (!(file << svg) || !file.flush()) return Fail("cannot write " + out);
    return 0;
}

int ConvertCommand(const std::vector<std::string>& words) {
    const Arguments args(words, {}, {});
    if (!args.ok()) return Fail(args.error());
    if (args.positional().size() != 2) return Fail("convert takes an input and an output file");
    const std::string& output = args.positional()[1];
    if (!host::IsDocumentPath(output))
        return Fail(output + ": unknown document type (expected .json or .svg)");
    int exitCode = 0;
    auto document = Open(args.positional()[0], {}, &exitCode);
    if (!document) return exitCode;
    std::string error;
    if (!host::WriteDocumentFile(*document, output, &error)) return Fail(error);
    return 0;
}

}  // namespace orbalis::tools

namespace orbalis::tools {

int PanelCommand(const std::vector<std::string>& words) {
    const Arguments args(words, {"--plugin", "--prefs", "--svg", "--ui"}, {});
    if (!args.ok()) return Fail(args.error());
    if (args.positional().empty()) return Fail("panel takes the panel's title (and documents to open)");
    if (!args.has("--svg")) return Fail("panel needs --svg FILE");
    const std::string title = args.positional()[0];
    std::vector<win32::UiStep> steps;
    std::string error;
    if (!ReadUiScripts(args, &steps, &error)) return Fail(error);
    win32::ScriptedUser user;
    user.Add(std::move(steps));
    int exitCode = 0;
    std::vector<std::unique_ptr<Document>> documents;
    for (size_t i = 1; i < args.positional().size(); ++i) {
        documents.push_back(Open(args.positional()[i], {}, &exitCode));
        if (!documents.back()) return exitCode;
    }
    auto host = StartHost(args, &exitCode);
    if (!host) return exitCode;
    for (auto& document : documents) host->OpenDocument(std::move(document));
    if (!documents.empty()) host->SwitchDocument(0);
    // The panel is drawn as the steps leave it.
    host::PlayPanelSteps(*host, user);
    const host::PanelEntry panel = host::FindPanel(title);
    std::string svg = panel.panel ? win32::DrawDialogSvg(panel.panel->window) : std::string();
    host->ShutdownPlugins();
    if (!ReportUi(user)) return Fail("the panel steps did not go as the script says");
    if (!panel.panel) return Fail("there is no panel \"" + title + "\"");
    const std::string out = args.value("--svg");
    std::ofstream file(out, std::ios::binary);
    if (!(file << svg) || !file.flush()) return Fail("cannot write " + out);
    return 0;
}

}  // namespace orbalis::tools
