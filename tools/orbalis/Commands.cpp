#include "tools/orbalis/Commands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>

#include "host/app/CodeText.h"
#include "host/app/Faults.h"
#include "host/app/Host.h"
#include "host/io/DocumentFiles.h"
#include "host/io/SystemFiles.h"
#include "host/io/ReplaceFile.h"
#include "host/win32/DialogPicture.h"
#include "host/app/PanelUser.h"
#include "host/app/Panels.h"
#include "host/win32/ScriptedUser.h"
#include "tools/orbalis/Console.h"
#include "tools/orbalis/DialogForm.h"

namespace orbalis::tools {
namespace {

namespace fs = std::filesystem;
using host::Art;
using host::CodeText;
using host::Document;
using host::Host;
using host::Layer;

// A host with its preferences loaded and the plug-in started; null after
// printing why not.
std::unique_ptr<Host> StartHost(const HostFiles& files, int* exitCode) {
    host::HostOptions options;
    // Resolved now: a file dialog the plug-in opens moves the current folder.
    std::error_code ec;
    const std::string prefs = files.prefs.value_or(host::PreferenceStore::defaultPath());
    const fs::path absolute = fs::absolute(fs::path(prefs), ec);
    options.preferencesPath = ec ? prefs : absolute.string();
    auto host = std::make_unique<Host>(options);
    std::string error;
    if (!host->preferences().load(&error)) {
        *exitCode = Fail(error + " (left as it is: mend it or move it away)");
        return nullptr;
    }
    const std::string plugin = PluginPath(files.plugin);
    if (!host->loader().Load(plugin, &error)) {
        *exitCode = Fail(error);
        return nullptr;
    }
    if (HostErr err = host->StartPlugins()) {
        *exitCode = Fail("the plug-in did not start: code " + CodeText(err));
        return nullptr;
    }
    return host;
}

std::string Number(double v);

// Reads a document; GIS files are placed as `gis` says.
std::unique_ptr<Document> Open(const std::string& path, const std::string& layer, int* exitCode,
                               const GisOptions& gis = {}) {
    std::string error;
    host::DocumentReadOptions options;
    options.currentLayer = layer;
    std::vector<std::string> warnings, notes;
    options.warnings = &warnings;
    options.notes = &notes;
    if (gis.scale && !(*gis.scale > 0 && std::isfinite(*gis.scale))) {
        *exitCode = Fail("--scale takes the map scale's denominator, above 0, not " + Number(*gis.scale));
        return nullptr;
    }
    options.gis.scale = gis.scale.value_or(0);
    options.gis.crs = gis.crs;
    options.gis.nameField = gis.nameField;
    auto document = host::ReadDocumentFile(path, options, &error);
    for (const std::string& w : warnings) std::cerr << "orbalis: warning: " << w << "\n";
    for (const std::string& n : notes) std::cerr << "orbalis: note: " << n << "\n";
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
    return "(" + Number(r.left) + ", " + Number(r.bottom) + ") - (" + Number(r.right) + ", " + Number(r.top) + ")";
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

// Whether a file can be written at `path`, as far as can be told before
// writing it: its folder (where links there lead) exists and it is not a
// folder itself. Checked before a command runs, so that no work and no
// settings go to waste.
bool CheckWritable(const std::string& path, std::string* error) {
    std::string followed;
    int problem = host::FollowLinks(path, &followed);
    if (problem == 0) {
        const fs::path target(followed);
        const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
        struct stat info {};
        if (::stat(folder.string().c_str(), &info) != 0)
            problem = errno;
        else if (!S_ISDIR(info.st_mode))
            problem = ENOTDIR;
        else if (::stat(target.string().c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            problem = EISDIR;
    }
    if (problem == 0) return true;
    *error = path + ": cannot write: " + std::strerror(problem);
    return false;
}

// Far longer than any script a user writes; it bounds what a pipe or a
// device given as the file can make the program hold.
constexpr std::size_t kMaximumScriptBytes = 16u << 20;

// Reads a --ui-file: a file, or a pipe such as /dev/stdin.
bool ReadScriptFile(const std::string& path, std::string* script, std::string* error) {
    std::error_code ec;
    std::ifstream in;
    if (!fs::is_directory(path, ec)) in.open(path, std::ios::binary);
    if (!in.is_open()) {
        *error = "--ui-file " + path + ": cannot read: " + std::strerror(fs::is_directory(path, ec) ? EISDIR : errno);
        return false;
    }
    script->clear();
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        script->append(chunk, static_cast<std::size_t>(in.gcount()));
        if (script->size() > kMaximumScriptBytes) {
            *error = "--ui-file " + path + ": larger than " + std::to_string(kMaximumScriptBytes >> 20) + " MiB";
            return false;
        }
    }
    if (in.bad()) {
        *error = "--ui-file " + path + ": cannot read";
        return false;
    }
    return true;
}

// The user's part in the dialogs: every --ui script and --ui-file, in the
// order given.
bool ReadUiScripts(const std::vector<UiSource>& sources, std::vector<win32::UiStep>* steps, std::string* error) {
    for (const UiSource& source : sources) {
        std::string script = source.text;
        if (source.isFile && !ReadScriptFile(source.text, &script, error)) return false;
        std::string why;
        if (!win32::ParseUiScript(script, steps, &why)) {
            *error = (source.isFile ? "--ui-file " + source.text : std::string("--ui")) + ": " + why;
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

std::string PluginPath(const std::optional<std::string>& plugin) {
    if (plugin) return *plugin;
    if (const char* env = std::getenv("ORBALIS_PLUGIN"); env && *env) return env;
    std::error_code ec;
    const std::string program = host::ProgramFile();
    if (!program.empty()) {
        const fs::path self(program);
        const fs::path library = fs::path(ORBALIS_PLUGIN_DEFAULT_PATH).filename();
        for (const fs::path& candidate :
             {self.parent_path() / "../plugins" / library, self.parent_path() / "../lib/orbalis" / library,
              self.parent_path() / library})
            if (fs::exists(candidate, ec)) return fs::weakly_canonical(candidate, ec).string();
    }
    return ORBALIS_PLUGIN_DEFAULT_PATH;
}

int Fail(const std::string& message) {
    FinishProgress();
    std::cerr << "orbalis: " << message << "\n";
    return 2;
}

int MenusCommand(const MenusOptions& options) {
    int exitCode = 0;
    std::unique_ptr<Document> document;
    if (options.document && !(document = Open(*options.document, {}, &exitCode))) return exitCode;
    auto host = StartHost(options.files, &exitCode);
    if (!host) return exitCode;
    host->OpenDocument(std::move(document));
    host->UpdateMenus();
    std::cout << host->menus().Render();
    host->ShutdownPlugins();
    return 0;
}

int InfoCommand(const InfoOptions& options) {
    if (host::IsGisInputPath(options.document)) {
        std::string text, error;
        if (!host::DescribeGisFile(options.document, &text, &error)) return Fail(error);
        std::cout << text;
        return 0;
    }
    int exitCode = 0;
    auto document = Open(options.document, {}, &exitCode, options.gis);
    if (!document) return exitCode;
    const HostRect& a = document->artboard;
    std::cout << options.document << ": artboard " << Number(a.right - a.left) << " x " << Number(a.top - a.bottom)
              << " pt, " << document->liveArtCount() << " objects (layer groups included)\n";
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

int RunCommand(const RunOptions& options) {
    if (options.documents.empty()) return Fail("run takes a document");
    if (!options.menu && options.ui.empty()) return Fail("run needs --menu TEXT or --ui STEPS");
    if (options.yes && options.no) return Fail("--yes and --no contradict each other");
    std::string error;
    Answers answers;
    for (const std::string& word : options.answers) {
        bool yes = false;
        if (!ParseAnswer(word, &yes)) return Fail("--answer takes yes or no, not \"" + word + "\"");
        answers.sequence.push_back(yes);
    }
    if (options.yes) answers.all = true;
    if (options.no) answers.all = false;
    const std::string out = options.out.value_or("");
    // Written where it names at the start, whichever folder a file dialog
    // has made current by then.
    std::error_code ec;
    const fs::path outPath = fs::absolute(fs::path(out), ec);
    if (options.out && !host::IsDocumentPath(out)) return Fail(host::UnknownDocumentType(out));
    if (options.out && !CheckWritable(out, &error)) return Fail(error);
    std::vector<win32::UiStep> steps;
    if (!ReadUiScripts(options.ui, &steps, &error)) return Fail(error);
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
    for (const std::string& path : options.documents) {
        documents.push_back(Open(path, options.layer.value_or(""), &exitCode, options.gis));
        if (!documents.back()) return exitCode;
    }
    if (options.out && host::IsGisOutputPath(out) && !host::HoldsGisData(*documents.front()))
        return Fail(out + ": " + options.documents.front() + " holds no GIS data to write (open a GIS file)");
    if (!options.select.empty() && !Select(*documents.front(), options.select, &error)) return Fail(error);
    if (options.view) {
        HostPoint center{};
        if (!ParseViewCenter(*options.view, &center))
            return Fail("--view takes X,Y in points, not \"" + *options.view + "\"");
        documents.front()->viewCenter = center;
    }

    // The dialogs' user and the shell's requests, shown as they come.
    ConsoleDialogUser consoleUser(dialogUser, isatty(STDIN_FILENO) != 0);
    std::ofstream traceFile;
    if (options.trace) {
        traceFile.open(fs::path(*options.trace), std::ios::binary);
        if (!traceFile) return Fail(*options.trace + ": cannot write: " + std::strerror(errno));
    }
    TracingDialogUser tracingUser(consoleUser, traceFile);
    win32::SetDialogUser(options.trace ? static_cast<win32::DialogUser*>(&tracingUser) : &consoleUser);
    win32::OnShellRequest(
        [](const win32::ShellRequest& r) { std::cerr << "shell: " << r.operation << " " << r.file << "\n"; });
    struct Unwire {
        ~Unwire() {
            win32::SetDialogUser(nullptr);
            win32::OnShellRequest(nullptr);
        }
    } unwire;
    auto host = StartHost(options.files, &exitCode);
    if (!host) return exitCode;
    AttachConsole(host->user(), std::move(answers));
    for (auto& document : documents) host->OpenDocument(std::move(document));
    host->documents().Switch(0);
    // What the user does at the panels comes before the menu item.
    host::PlayPanelSteps(*host, dialogUser);
    host::MenuItem* item = nullptr;
    if (options.menu) {
        if (!(item = FindMenuItem(*host, *options.menu, &error))) return Fail(error);
        host->menus().UpdateEnabling(host->document());
        if (!item->enabled) return Fail("menu item \"" + item->text + "\" is disabled here");
    }

    host::Faults::Reset();
    if (!fault.operation.empty()) host::Faults::Arm(fault);
    const auto started = std::chrono::steady_clock::now();
    const HostErr result = item ? host->ChooseMenuItem(item) : 0;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    FinishProgress();
    if (options.stats) PrintStats(took.count());
    host->ShutdownPlugins();
    // The command goes on without its settings saved; the user is told once.
    if (!host->preferences().lastError().empty())
        std::cerr << "orbalis: settings not saved: " << host->preferences().lastError() << "\n";
    const bool uiDone = ReportUi(dialogUser);
    if (result) {
        std::cerr << "orbalis: " << item->text << " ended with code " << CodeText(result)
                  << (result == HOST_FOURCC('S', 'T', 'O', 'P') ? " (cancelled)" : "") << "; nothing written\n";
        return 1;
    }
    if (!uiDone) {
        std::cerr << "orbalis: the dialogs did not go as the script says; nothing written\n";
        return 1;
    }
    if (options.out) {
        std::vector<std::string> warnings;
        const bool written = host::WriteDocumentFile(*host->document(), ec ? out : outPath.string(), &error, &warnings);
        for (const std::string& w : warnings) std::cerr << "orbalis: warning: " << w << "\n";
        if (!written) return Fail(error);
        std::cerr << "wrote " << out << "\n";
    }
    return 0;
}

int DialogCommand(const DialogOptions& options) {
    const std::string& word = options.id;
    if (word.empty() || word.size() > 5 || word.find_first_not_of("0123456789") != std::string::npos)
        return Fail("\"" + word + "\" is not a dialog number");
    std::string error;
    if (!CheckWritable(options.svg, &error)) return Fail(error);
    // The plug-in's library is loaded, not started: its resources are all
    // that is needed.
    Host host;
    host::LoadedPlugin* plugin = host.loader().Load(PluginPath(options.plugin), &error);
    if (!plugin) return Fail(error);
    HINSTANCE module = GetModuleHandleA(plugin->mappedPath().c_str());
    if (!module) return Fail("the plug-in's module is not loaded");
    const std::string svg = win32::DrawTemplateSvg(module, std::stoi(word), &error);
    if (svg.empty()) return Fail(error);
    if (!host::WriteFileAtomically(options.svg, svg, &error)) return Fail(error);
    return 0;
}

int ConvertCommand(const ConvertOptions& options) {
    const std::string& output = options.output;
    if (!host::IsDocumentPath(output)) return Fail(host::UnknownDocumentType(output));
    std::string error;
    if (!CheckWritable(output, &error)) return Fail(error);
    int exitCode = 0;
    auto document = Open(options.input, {}, &exitCode, options.gis);
    if (!document) return exitCode;
    std::vector<std::string> warnings;
    const bool written = host::WriteDocumentFile(*document, output, &error, &warnings);
    for (const std::string& w : warnings) std::cerr << "orbalis: warning: " << w << "\n";
    if (!written) return Fail(error);
    return 0;
}

}  // namespace orbalis::tools

namespace orbalis::tools {

int PanelCommand(const PanelOptions& options) {
    std::vector<win32::UiStep> steps;
    std::string error;
    if (!ReadUiScripts(options.ui, &steps, &error)) return Fail(error);
    win32::ScriptedUser user;
    user.Add(std::move(steps));
    int exitCode = 0;
    std::vector<std::unique_ptr<Document>> documents;
    for (const std::string& path : options.documents) {
        documents.push_back(Open(path, {}, &exitCode));
        if (!documents.back()) return exitCode;
    }
    auto host = StartHost(options.files, &exitCode);
    if (!host) return exitCode;
    for (auto& document : documents) host->OpenDocument(std::move(document));
    if (!documents.empty()) host->documents().Switch(0);
    // The panel is drawn as the steps leave it.
    host::PlayPanelSteps(*host, user);
    const host::PanelEntry panel = host::FindPanel(options.title);
    std::string svg = panel.panel ? win32::DrawDialogSvg(panel.panel->window) : std::string();
    host->ShutdownPlugins();
    if (!ReportUi(user)) return Fail("the panel steps did not go as the script says");
    if (!panel.panel) return Fail("there is no panel \"" + options.title + "\"");
    if (!host::WriteFileAtomically(options.svg, svg, &error)) return Fail(error);
    return 0;
}

}  // namespace orbalis::tools
