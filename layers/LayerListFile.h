// "レイヤー名リストをファイルに保存..." and "レイヤー名をファイルから設定...":
// the document's layer titles as a text file, one title a line in pre-order,
// indented by one TAB per level of nesting; read back either onto the
// existing layers, position by position, or as a new set of layers above
// them. The file is Shift-JIS (code page 932), UTF-8 with its byte-order
// mark, or UTF-16 little-endian with its mark; docs/layer-list.md gives the
// format byte for byte.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "frame/FilePath.h"
#include "frame/UnicodeString.h"
#include "layers/NdFile.h"
#include "sdk/suites/ArtSuites.h"

namespace orbalis {

// How a loaded list is applied; the loading dialog stores 1 for CreateNew,
// and any value but 0 means it.
enum RestoreKind : int32_t {
    RenameExisting = 0,
    CreateNew = 1,
};

inline constexpr const char* kListFileDirKey = "LF_FileDir";
inline constexpr const char* kListRestoreKindKey = "LF_RestoreKind";

struct LayerListNode {
    int32_t depth = 0;  // 0 for a top-level layer
    HostLayer layer = nullptr;
    ai::UnicodeString title;              // the title when the tree was built
    std::vector<LayerListNode> children;  // the direct sublayers, in the host's order
};

// What the file dialog of a command offers: its title, the initial file
// name, the type filters (caption, pattern), the default extension, and the
// folder it opens in (the remembered folder in the system's multibyte code
// page when that folder exists; empty to let the system choose).
struct ListFileDialog {
    bool save = false;
    std::string title;
    ai::UnicodeString initialName;
    std::vector<std::pair<std::string, std::string>> filters;
    std::string defaultExtension = "txt";
    std::string initialFolder;
};

class CLayerListFile {
public:
    explicit CLayerListFile(HostPluginRef pluginRef) : pluginRef(pluginRef) {}
    virtual ~CLayerListFile() = default;
    CLayerListFile(const CLayerListFile&) = delete;
    CLayerListFile& operator=(const CLayerListFile&) = delete;

    // "レイヤー名リストをファイルに保存...": builds the tree (a host error
    // ends the command before any dialog), lets the user choose the file and
    // its encoding, and saves. 0 when saved; kCanceled when the user
    // cancelled or the save failed.
    HostErr SaveList();
    // "レイヤー名をファイルから設定...": dialog 128 for how to apply the list,
    // then the file dialog, then the list is applied. 0 when applied;
    // kCanceled when the user cancelled or the list could not be applied.
    HostErr LoadList();

    // The saving command after its file dialog: remembers the file's folder,
    // asks before overwriting a file and before a Shift-JIS save that would
    // lose characters, and writes the tree of the latest BuildTree. The file
    // is written beside the target and put in its place only once complete,
    // so a failed save tells the user and leaves any earlier file as it was.
    // 0 when saved; kCanceled when the user declined or the save failed.
    HostErr SaveChosenList(const ai::FilePath& file, TextEncoding encoding);
    // The loading command after its dialogs: remembers the file's folder,
    // opens the file and applies it as `kind` says. 0 when applied;
    // kCanceled, after the message the failure calls for, otherwise.
    HostErr LoadChosenList(RestoreKind kind, const ai::FilePath& file, TextEncoding encoding);

    // The file dialogs of the two commands.
    ListFileDialog SaveDialog();
    ListFileDialog LoadDialog();
    // The document's file name without its extension, then ".txt"; just
    // ".txt" for a document without a file.
    ai::UnicodeString InitialFileName();

    // The document's layers as trees of nodes; the first host error ends the
    // build and is returned.
    HostErr BuildTree();
    const std::vector<LayerListNode>& Trees() const { return trees; }

    // Writes the lines of `nodes` and of their sublayers; false at the first
    // write that fails, the lines before it staying in the file.
    static bool WriteNodes(std::FILE* stream, const std::vector<LayerListNode>& nodes, TextEncoding encoding);
    // The number of TABs that start the line, and everything after them.
    static void ParseLine(const ai::UnicodeString& line, int32_t& depth, ai::UnicodeString& title);
    // Gives the file's titles to the existing layers by position. False when
    // the first line is missing, empty or indented, when the depth grows by
    // more than one, or when the file has a line for a layer the document
    // does not have; titles set before stay.
    bool RenameLayers(CNdTextFile& file);
    // Makes a new layer for every line, with the file's nesting, above all
    // existing layers. False when the first line is missing, empty or
    // indented, when the depth grows by more than one, or when the host makes
    // no layer; the layers made before stay.
    bool CreateLayers(CNdTextFile& file);
    // The next layer with the same parent; null after the last.
    static HostLayer NextSibling(HostLayer layer);

private:
    HostErr BuildSiblings(HostLayer first, int32_t depth, bool topLevel, std::vector<LayerListNode>& into);
    bool TitlesFitShiftJis(const std::vector<LayerListNode>& nodes);

    HostPluginRef pluginRef;
    std::vector<LayerListNode> trees;
};

}  // namespace orbalis
