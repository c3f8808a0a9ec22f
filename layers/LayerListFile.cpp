#include "layers/LayerListFile.h"

#include <string_view>

#include "frame/HostSuites.h"
#include "frame/Settings.h"
#include "frame/UserAlerts.h"
#include "layers/LayerListFileDialogs.h"

namespace orbalis {
namespace {

constexpr const char* kSaveTitle = "レイヤーリストの保存";
constexpr const char* kLoadTitle = "レイヤーリストファイルの指定";
constexpr const char* kOverwriteQuestion = "指定されたファイルは既に存在します。上書きしてよろしいですか？";
constexpr const char* kCannotOpen = "ファイルを開けません";
constexpr const char* kRenameStopped =
    "レイヤー名の再設定を中断しました。レイヤーリストファイルに問題があるか、"
    "レイヤーリストファイルとIllustratorドキュメントのレイヤー構造に違いがあります";
constexpr const char* kShiftJisLossQuestion =
    "シフトJISで表せない文字を含むレイヤー名があります。それらの文字は「?」として保存されます。"
    "保存してよろしいですか？";
constexpr const char* kCannotCreate = "ファイルを作成できません。レイヤーリストは保存されませんでした";
constexpr const char* kWriteFailed =
    "ファイルへの書き込みに失敗したため、レイヤーリストは保存されませんでした。"
    "既にあったファイルは元のままです";

// Holds the host's application context for the plug-in while it lives.
class AppContext {
public:
    explicit AppContext(HostPluginRef plugin) { pushed = sContext->PushAppContext(plugin, &context) == 0; }
    ~AppContext() {
        if (pushed) sContext->PopAppContext(context);
    }
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

private:
    HostAppContext context = nullptr;
    bool pushed = false;
};

// The part of a title that goes into the file: up to its first CR or zero
// character. An LF stays, as it always has.
std::u16string WrittenTitle(const ai::UnicodeString& title) {
    std::u16string units = title.utf16();
    const size_t end = units.find_first_of(std::u16string_view(u"\r\0", 2));
    if (end != std::u16string::npos) units.resize(end);
    return units;
}

// One line of the file: a TAB per level, the title, CR LF. The TABs and the
// line end of a UTF-16 file are little-endian code units, as its title is.
// Shift-JIS is written as code page 932 whatever the system's code page, so
// that the file reads back as the Shift-JIS it says it is.
std::string LineBytes(const LayerListNode& node, TextEncoding encoding) {
    std::u16string units(static_cast<size_t>(node.depth), u'\t');
    units += WrittenTitle(node.title);
    units += u"\r\n";
    const int32_t hostEncoding = encoding == Utf16  ? kHostEncodingUTF16
                                 : encoding == Utf8 ? kHostEncodingUTF8
                                                    : kHostEncodingShiftJIS;
    return ai::UnicodeString(units).encoded(hostEncoding);
}

std::string_view ByteOrderMark(TextEncoding encoding) {
    switch (encoding) {
    case Utf8: return "\xEF\xBB\xBF";
    case Utf16: return "\xFF\xFE";
    default: return {};
    }
}

// Host calls whose codes the list commands do not look at: a failed call
// gives no layer.
HostLayer Parent(HostLayer layer) {
    HostLayer parent = nullptr;
    if (sLayer->GetLayerParent(layer, &parent)) return nullptr;
    return parent;
}

HostLayer FirstChild(HostLayer layer) {
    HostLayer child = nullptr;
    if (sLayer->GetLayerFirstChild(layer, &child)) return nullptr;
    return child;
}

// Reads the first line of a list: a non-empty line without indentation.
bool ReadFirstTitle(CNdTextFile& file, ai::UnicodeString& title) {
    ai::UnicodeString line;
    if (!file.ReadLine(line) || line.empty()) return false;
    int32_t depth = 0;
    CLayerListFile::ParseLine(line, depth, title);
    return depth == 0;
}

// Reads the lines after the first, giving each one's depth, the depth of
// the line before and its title to `apply`; false at a depth that grows by
// more than one or when `apply` fails.
template <typename Apply>
bool ForEachFurtherLine(CNdTextFile& file, Apply apply) {
    int32_t previous = 0;
    ai::UnicodeString line, title;
    while (file.ReadLine(line)) {
        int32_t depth = 0;
        CLayerListFile::ParseLine(line, depth, title);
        if (depth > previous && depth - previous > 1) return false;
        if (!apply(depth, previous, title)) return false;
        previous = depth;
    }
    return true;
}

void RememberFolderOf(const ai::FilePath& file) { PutFilePathSetting(kListFileDirKey, file.parent()); }

// The remembered folder in the system's multibyte code page, when it exists.
std::string RememberedFolder() {
    ai::FilePath folder;
    GetFilePathSetting(kListFileDirKey, folder);
    try {
        if (!folder.text().empty() && folder.isFolder()) return folder.platformPath();
    } catch (const ai::Error&) {}
    return {};
}

}  // namespace

HostLayer CLayerListFile::NextSibling(HostLayer layer) {
    const HostLayer parent = Parent(layer);
    HostLayer next = nullptr;
    if (sLayer->GetNextNonChildPreorderLayer(layer, &next) || !next) return nullptr;
    return Parent(next) == parent ? next : nullptr;
}

void CLayerListFile::ParseLine(const ai::UnicodeString& line, int32_t& depth, ai::UnicodeString& title) {
    const std::u16string units = line.utf16();
    size_t tabs = 0;
    while (tabs < units.size() && units[tabs] == u'\t') ++tabs;
    depth = tabs > INT32_MAX ? INT32_MAX : static_cast<int32_t>(tabs);
    title = ai::UnicodeString(std::u16string_view(units).substr(tabs));
}

HostErr CLayerListFile::BuildSiblings(HostLayer first, int32_t depth, bool topLevel, std::vector<LayerListNode>& into) {
    HostLayer parent = nullptr;
    if (!topLevel)
        if (HostErr err = sLayer->GetLayerParent(first, &parent)) return err;
    for (HostLayer layer = first; layer;) {
        LayerListNode node;
        node.depth = depth;
        node.layer = layer;
        if (HostErr err = sLayer->GetLayerTitle(layer, node.title.handle())) return err;
        HostLayer child = nullptr;
        if (HostErr err = sLayer->GetLayerFirstChild(layer, &child)) return err;
        if (child)
            if (HostErr err = BuildSiblings(child, depth + 1, false, node.children)) return err;
        into.push_back(std::move(node));

        HostLayer next = nullptr;
        if (topLevel) {
            if (HostErr err = sLayer->GetNextLayer(layer, &next)) return err;
        } else {
            if (HostErr err = sLayer->GetNextNonChildPreorderLayer(layer, &next)) return err;
            HostLayer nextParent = nullptr;
            if (next)
                if (HostErr err = sLayer->GetLayerParent(next, &nextParent)) return err;
            if (nextParent != parent) next = nullptr;
        }
        layer = next;
    }
    return 0;
}

HostErr CLayerListFile::BuildTree() {
    trees.clear();
    HostLayer first = nullptr;
    if (HostErr err = sLayer->GetFirstLayer(&first)) return err;
    return first ? BuildSiblings(first, 0, true, trees) : 0;
}

bool CLayerListFile::WriteNodes(std::FILE* stream, const std::vector<LayerListNode>& nodes, TextEncoding encoding) {
    for (const LayerListNode& node : nodes) {
        const std::string bytes = LineBytes(node, encoding);
        if (std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size()) return false;
        if (!node.children.empty() && !WriteNodes(stream, node.children, encoding)) return false;
    }
    return true;
}

bool CLayerListFile::TitlesFitShiftJis(const std::vector<LayerListNode>& nodes) {
    for (const LayerListNode& node : nodes) {
        const std::u16string written = WrittenTitle(node.title);
        const std::string bytes = ai::UnicodeString(written).encoded(kHostEncodingShiftJIS);
        if (ai::UnicodeString(bytes, kHostEncodingShiftJIS).utf16() != written) return false;
        if (!TitlesFitShiftJis(node.children)) return false;
    }
    return true;
}

ai::UnicodeString CLayerListFile::InitialFileName() {
    ai::UnicodeString name;
    {
        AppContext context(pluginRef);
        ai::FilePath document;
        if (sDocument->GetDocumentFileSpecification(document.handle()) == 0) name = document.fileName(false);
    }
    return name.append(ai::UnicodeString(".txt"));
}

ListFileDialog CLayerListFile::SaveDialog() {
    ListFileDialog dialog;
    dialog.save = true;
    dialog.title = kSaveTitle;
    dialog.initialName = InitialFileName();
    dialog.filters = {{"Text Files(*.txt)", "*.txt"}};
    dialog.initialFolder = RememberedFolder();
    return dialog;
}

ListFileDialog CLayerListFile::LoadDialog() {
    ListFileDialog dialog;
    dialog.title = kLoadTitle;
    dialog.filters = {{"Text Files(*.txt)", "*.txt"}, {"All Files(*.*)", "*.*"}};
    dialog.initialFolder = RememberedFolder();
    return dialog;
}

HostErr CLayerListFile::SaveList() {
    if (HostErr err = BuildTree()) return err;
    ai::FilePath file;
    TextEncoding encoding = ShiftJis;
    if (ChooseListFile(pluginRef, SaveDialog(), file, encoding)) return kCanceled;
    return SaveChosenList(file, encoding);
}

HostErr CLayerListFile::LoadList() {
    int32_t kind = RenameExisting;
    GetIntegerSetting(kListRestoreKindKey, kind);
    if (HostErr err = ChooseRestoreKind(pluginRef, kind)) return err;
    PutIntegerSetting(kListRestoreKindKey, kind);
    ai::FilePath file;
    TextEncoding encoding = ShiftJis;
    if (ChooseListFile(pluginRef, LoadDialog(), file, encoding)) return kCanceled;
    return LoadChosenList(kind == RenameExisting ? RenameExisting : CreateNew, file, encoding);
}

HostErr CLayerListFile::SaveChosenList(const ai::FilePath& file, TextEncoding encoding) {
    RememberFolderOf(file);
    bool yes = false;
    if (file.exists()) {
        if (HostErr err = AskQuestion(kOverwriteQuestion, &yes)) return err;
        if (!yes) return kCanceled;
    }
    if (encoding != Utf8 && encoding != Utf16 && !TitlesFitShiftJis(trees)) {
        if (HostErr err = AskQuestion(kShiftJisLossQuestion, &yes)) return err;
        if (!yes) return kCanceled;
    }

    CNdAtomicFile out;
    if (!out.Open(file)) {
        ShowAlert(kCannotCreate);
        return kCanceled;
    }
    bool written = true;
    for (char byte : ByteOrderMark(encoding))
        if (std::fputc(static_cast<unsigned char>(byte), out.GetHandle()) == EOF) {
            written = false;
            break;
        }
    written = written && WriteNodes(out.GetHandle(), trees, encoding);
    if (!written || !out.Commit()) {
        out.Close();
        ShowAlert(kWriteFailed);
        return kCanceled;
    }
    return 0;
}

HostErr CLayerListFile::LoadChosenList(RestoreKind kind, const ai::FilePath& file, TextEncoding encoding) {
    RememberFolderOf(file);
    CNdTextFile in;
    if (!in.Open(file, encoding)) {
        ShowAlert(kCannotOpen);
        return kCanceled;
    }
    if (kind != RenameExisting) {
        if (!CreateLayers(in)) return kCanceled;
    } else if (!RenameLayers(in)) {
        ShowAlert(kRenameStopped);
        return kCanceled;
    }
    in.Close();
    return 0;
}

bool CLayerListFile::RenameLayers(CNdTextFile& file) {
    HostLayer layer = nullptr;
    sLayer->GetFirstLayer(&layer);
    ai::UnicodeString title;
    if (!ReadFirstTitle(file, title) || !layer) return false;
    sLayer->SetLayerTitle(layer, title.handle());
    return ForEachFurtherLine(file, [&](int32_t depth, int32_t previous, const ai::UnicodeString& t) {
        if (depth == previous + 1) {
            layer = FirstChild(layer);
        } else {
            for (int32_t up = depth; up < previous && layer; ++up) layer = Parent(layer);
            layer = layer ? NextSibling(layer) : nullptr;
        }
        if (!layer) return false;
        sLayer->SetLayerTitle(layer, t.handle());
        return true;
    });
}

bool CLayerListFile::CreateLayers(CNdTextFile& file) {
    HostLayer layer = nullptr;
    sLayer->InsertLayer(nullptr, kHostPlaceAboveAll, &layer);
    ai::UnicodeString title;
    if (!layer || !ReadFirstTitle(file, title)) return false;
    sLayer->SetLayerTitle(layer, title.handle());
    return ForEachFurtherLine(file, [&](int32_t depth, int32_t previous, const ai::UnicodeString& t) {
        int32_t order = kHostPlaceBelow;
        if (depth == previous + 1)
            order = kHostPlaceInsideOnBottom;
        else
            for (int32_t up = depth; up < previous; ++up) layer = Parent(layer);
        HostLayer made = nullptr;
        sLayer->InsertLayer(layer, order, &made);
        if (!made) return false;
        layer = made;
        sLayer->SetLayerTitle(layer, t.handle());
        return true;
    });
}

}  // namespace orbalis
