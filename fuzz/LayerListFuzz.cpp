// Feeds arbitrary bytes to the plug-in's text file readers as a layer-name
// list, then renames and creates layers from it on a small document. The
// first byte chooses the encoding; the rest is the file. Whatever the bytes,
// the readers deliver no more lines than the file has line ends plus one, a
// rename never adds or removes a layer, and a creation adds at least the
// first layer and at most one per line.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "frame/HostSuites.h"
#include "host/app/Host.h"
#include "layers/LayerListFile.h"

using namespace orbalis;

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// A (A1, A2 (A2a)), B.
std::unique_ptr<host::Document> SmallDocument() {
    auto doc = std::make_unique<host::Document>();
    host::Layer *a = nullptr, *b = nullptr, *a1 = nullptr, *a2 = nullptr, *a2a = nullptr;
    doc->insertLayer(nullptr, kHostPlaceAboveAll, &a);
    doc->insertLayer(a, kHostPlaceBelow, &b);
    doc->insertLayer(a, kHostPlaceInsideOnBottom, &a1);
    doc->insertLayer(a, kHostPlaceInsideOnBottom, &a2);
    doc->insertLayer(a2, kHostPlaceInsideOnBottom, &a2a);
    a->title = "A", b->title = "B", a1->title = "A1", a2->title = "A2", a2a->title = "A2a";
    return doc;
}

struct Session {
    Session() {
        host = std::make_unique<host::Host>();
        host->OpenDocument(SmallDocument());
        basicSuite = host::BasicSuite();
        suites = std::make_unique<HostSuites>();
        if (suites->error) Fail("the host's suites cannot be acquired");
        std::string pattern = (std::filesystem::temp_directory_path() / "orbalis-list-fuzz-XXXXXX").string();
        const int fd = mkstemp(pattern.data());
        if (fd < 0) Fail("no scratch file");
        close(fd);
        file = pattern;
    }
    ~Session() { std::remove(file.c_str()); }

    std::unique_ptr<host::Host> host;
    std::unique_ptr<HostSuites> suites;
    std::string file;
};

Session& TheSession() {
    static Session session;
    return session;
}

// Line-end bytes, or for UTF-16 line-end units in either byte order.
size_t LineEnds(const uint8_t* data, size_t size, bool wide) {
    auto end = [](uint8_t b) { return b == 0x0D || b == 0x0A; };
    size_t ends = 0;
    if (!wide) {
        for (size_t i = 0; i < size; ++i) ends += end(data[i]);
        return ends;
    }
    for (size_t i = 0; i + 1 < size; i += 2)
        ends += (data[i + 1] == 0 && end(data[i])) || (data[i] == 0 && end(data[i + 1]));
    return ends;
}

bool OpenList(CNdTextFile& text, TextEncoding encoding) {
    return text.Open(ai::FilePath::FromPlatform(TheSession().file), encoding);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    Session& session = TheSession();
    const TextEncoding encodings[] = {ShiftJis, Utf8, Utf16};
    const TextEncoding encoding = encodings[data[0] % 3];
    ++data, --size;
    std::FILE* out = std::fopen(session.file.c_str(), "wb");
    if (!out || std::fwrite(data, 1, size, out) != size || std::fclose(out) != 0) Fail("cannot write the list");

    size_t lines = 0;
    {
        CNdTextFile text;
        if (!OpenList(text, encoding)) Fail("cannot open the list");
        ai::UnicodeString line, title;
        while (text.ReadLine(line)) {
            ++lines;
            int32_t depth = -1;
            CLayerListFile::ParseLine(line, depth, title);
            if (depth < 0 || static_cast<size_t>(depth) + title.length() != line.length())
                Fail("a line does not split into its tabs and its title");
        }
        if (!line.empty()) Fail("the end of the file left a line behind");
    }
    if (lines > LineEnds(data, size, encoding == Utf16) + 1) Fail("more lines than line ends");

    for (RestoreKind kind : {RenameExisting, CreateNew}) {
        session.host->OpenDocument(SmallDocument());
        const size_t before = session.host->document()->allLayers().size();
        CNdTextFile text;
        if (!OpenList(text, encoding)) Fail("cannot open the list");
        CLayerListFile list(nullptr);
        if (kind == RenameExisting) {
            list.RenameLayers(text);
            if (session.host->document()->allLayers().size() != before) Fail("renaming changed the layers");
        } else {
            list.CreateLayers(text);
            const size_t made = session.host->document()->allLayers().size() - before;
            if (made < 1 || made > std::max<size_t>(lines, 1)) Fail("creating made the wrong number of layers");
        }
        // The host keeps every document open until it is closed.
        session.host->documents().Close();
    }
    return 0;
}
