// What the SVG reader's files share: the importer that reads a parsed file
// into the document model, and the attributes it sorts each element into.
// SvgImporter.cpp reads structure, shapes, text and images, SvgClipping.cpp
// the clip paths the model holds as clipping groups, SvgSymbols.cpp symbols
// and the uses that show them or show art.
#pragma once

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <pugixml.hpp>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/io/svg/SvgConventions.h"
#include "host/io/svg/SvgImporter.h"
#include "host/io/svg/SvgNumbers.h"
#include "host/io/svg/SvgPathData.h"
#include "host/io/svg/SvgStyle.h"
#include "host/io/svg/SvgTextImport.h"
#include "host/io/svg/SvgTransform.h"
#include "host/model/Document.h"

namespace orbalis::host::svg::importer {

struct ImportError {
    std::string message;
};

inline std::string_view Prefix(std::string_view name) {
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
}

inline std::string_view Local(std::string_view name) {
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// The default namespace declared on an element or on one of its ancestors
// below the root, which overrides the root's; null when none is.
inline const char* DefaultNamespaceBelowRoot(pugi::xml_node el) {
    for (pugi::xml_node n = el; n.parent() && n.parent().type() == pugi::node_element; n = n.parent())
        if (pugi::xml_attribute a = n.attribute("xmlns")) return a.value();
    return nullptr;
}

// Prefixes the file binds to the namespaces the importer reads.
struct Namespaces {
    std::string svg;                // empty when SVG is the default namespace
    bool svgIsRootDefault = false;  // a prefixed root also makes SVG the default namespace
    // Each namespace below is named by the prefix the file declares for it
    // and always by its usual prefix: the exporter declares the usual ones,
    // so whatever the file made of them, that is what they mean once written.
    struct Prefixes {
        std::string declared;
        std::string usual;
    };
    Prefixes xlink{"", "xlink"};
    Prefixes inkscape{"", "inkscape"};
    Prefixes sodipodi{"", "sodipodi"};

    void read(pugi::xml_node root) {
        svg = std::string(Prefix(root.name()));
        svgIsRootDefault = std::string_view(root.attribute("xmlns").value()) == kSvgNamespace;
        for (pugi::xml_attribute a : root.attributes()) {
            const std::string_view name = a.name();
            if (name.substr(0, 6) != "xmlns:") continue;
            const std::string prefix(name.substr(6));
            const std::string_view uri = a.value();
            if (uri == kXlinkNamespace)
                xlink.declared = prefix;
            else if (uri == kInkscapeNamespace)
                inkscape.declared = prefix;
            else if (uri == kSodipodiNamespace)
                sodipodi.declared = prefix;
        }
    }
    static bool Named(std::string_view name, const std::string& prefix, std::string_view local) {
        return !prefix.empty() && name.size() == prefix.size() + 1 + local.size() &&
               name.substr(0, prefix.size()) == prefix && name[prefix.size()] == ':' &&
               name.substr(prefix.size() + 1) == local;
    }
    bool is(std::string_view name, const Prefixes& prefixes, std::string_view local) const {
        return Named(name, prefixes.declared, local) || Named(name, prefixes.usual, local);
    }
};

// One element's attributes sorted into what the importer reads and what it
// keeps for writing back.
struct Element {
    std::string id;
    std::string label;
    std::string labelAttribute;  // its name as written in the file
    std::string groupmode;
    std::string groupmodeAttribute;
    bool locked = false;
    Declarations declared;
    std::vector<std::pair<std::string, std::string>> residualStyle;
    std::vector<std::string> order;  // names as the file gives them, those inside `style` in its place
    NameValues other;
    HostMatrix transform = kIdentity;
    std::string cmykFill, cmykStroke, grayFill, grayStroke, patternFill, patternStroke, tags;
    bool guide = false;
    ComputedStyle style;
    bool hidden = false;  // display none, or made invisible here
};

struct SymbolViewport {
    std::string name;
    bool hasViewBox = false;
    ViewBox box;
    std::string aspect;
    std::string width, height;
};

struct Context {
    HostMatrix ctm;  // the parent's user space to the page
    ComputedStyle style;
};

class Importer : private TextReaderContext {
public:
    Importer(const std::string& source, Document& document) : document_(document) {
        for (size_t i = 0; i < source.size(); ++i)
            if (source[i] == '\n') newlines_.push_back(i);
    }

    void run(pugi::xml_document& xml, const SvgImportOptions& options);
    // The warnings, one line each; when there are many, the first few and
    // a line that sums up the rest by attribute.
    std::vector<std::string> warnings() const;

private:
    // ---- diagnostics
    size_t lineOf(pugi::xml_node node) const {
        const ptrdiff_t offset = node.offset_debug();
        if (offset < 0) return 0;
        return size_t(std::upper_bound(newlines_.begin(), newlines_.end(), size_t(offset)) - newlines_.begin()) + 1;
    }
    std::string describe(pugi::xml_node el) const {
        std::string out = Printable(Local(el.name()));
        const char* id = el.attribute("id").value();
        if (*id) out += "#" + Printable(id);
        if (const size_t line = lineOf(el)) out += " (line " + std::to_string(line) + ")";
        return out;
    }
    [[noreturn]] void fail(pugi::xml_node el, const std::string& what) const override {
        throw ImportError{describe(el) + ": " + what};
    }
    // A value that counts as not given, as browsers take it. `attribute`
    // sums the warnings up when there are many.
    void warn(pugi::xml_node el, const std::string& attribute, const std::string& what) const {
        warnings_.push_back({describe(el) + ": " + what, attribute});
    }
    void ignored(pugi::xml_node el, const std::string& attribute, std::string_view value,
                 const std::string& why = "") const {
        warn(el, attribute, "ignored " + attribute + " " + Quote(value) + (why.empty() ? "" : " (" + why + ")"));
    }

    // ---- names
    // The SVG name of an element; empty for elements of other namespaces.
    std::string_view svgName(pugi::xml_node el) const override {
        const std::string_view name = el.name();
        const std::string_view prefix = Prefix(name);
        if (prefix.empty()) {
            if (const char* declared = DefaultNamespaceBelowRoot(el))
                return std::string_view(declared) == kSvgNamespace ? name : std::string_view();
            return namespaces_.svg.empty() || namespaces_.svgIsRootDefault ? name : std::string_view();
        }
        return prefix == namespaces_.svg ? Local(name) : std::string_view();
    }
    bool isHref(std::string_view name) const override {
        return name == "href" || namespaces_.is(name, namespaces_.xlink, "href");
    }
    std::string href(pugi::xml_node el) const {
        for (pugi::xml_attribute a : el.attributes())
            if (isHref(a.name())) return a.value();
        return {};
    }

    // ---- attributes and style
    Element read(pugi::xml_node el, const ComputedStyle& parent,
                 const std::function<bool(std::string_view)>& consumed) const;
    NameValues keep(const Element& e, const std::function<bool(Property)>& modelled) const;
    double length(pugi::xml_node el, const char* name, double fallback, int axis, double fontSize) const override;
    HostColor color(const Rgba& rgba, const std::string& cmyk, const std::string& gray) const override;
    bool isSodipodi(std::string_view name, std::string_view local) const override {
        return namespaces_.is(name, namespaces_.sodipodi, local);
    }
    const LengthBasis& basis() const override { return basis_; }
    size_t* segmentBudget() override { return &segmentBudget_; }
    void warn(pugi::xml_node el, const std::string& what) const override { warn(el, "text", what); }
    std::string children(pugi::xml_node el) const;
    std::string verbatim(pugi::xml_node el) const;

    // ---- structure
    Art* add(Art* container, int32_t type, int32_t order = kHostPlaceInsideOnTop);
    // A path of the one subpath, or a compound path of a path a subpath,
    // each with `style`; the subpaths' segments are moved into it.
    Art* addPaths(Art* container, std::vector<Subpath>& subpaths, bool guide, const HostPathStyle& style);
    void importChildren(pugi::xml_node parent, Art* container, Layer* layer, const Context& context);
    void importElement(pugi::xml_node el, Art* container, Layer* layer, const Context& context);
    void importLayer(pugi::xml_node el, Layer* layer, const Context& context, int number);
    void importGroup(pugi::xml_node el, Art* container, const Context& context);
    void importShape(pugi::xml_node el, std::string_view name, Art* container, const Context& context);
    void importText(pugi::xml_node el, Art* container, const Context& context);
    void importImage(pugi::xml_node el, Art* container, const Context& context);
    void importUse(pugi::xml_node el, Art* container, const Context& context);
    Art* importForeign(pugi::xml_node el, Art* container, const Context& context);
    // Clip paths the model holds as clipping groups.
    pugi::xml_node clipShape(pugi::xml_node el);
    void addClip(Art* group, pugi::xml_node el, pugi::xml_node shape, const Context& context);
    void indexIds(pugi::xml_node root);
    void finish(Art* art, const Element& e, const Context& context);

    std::vector<Subpath> shapeGeometry(pugi::xml_node el, std::string_view name, double fontSize);
    void checkNesting(pugi::xml_node root);
    void findSymbols(pugi::xml_node root);
    void importSymbols();
    void readRoot(pugi::xml_node root, Context* context);
    void checkSymbolCycles();

    Document& document_;
    std::vector<size_t> newlines_;
    std::unordered_map<std::string, pugi::xml_node> ids_;  // the first element of each id
    std::unordered_map<std::string, int> references_;      // "url(#id)" references to each id
    pugi::xml_node unclipped_;  // whose clip path becomes a clipping group: its clip-path is not kept
    std::set<pugi::xml_node_struct*> consumedClips_;  // clip paths inside the groups they clip
    struct Warning {
        std::string text;
        std::string attribute;
    };
    mutable std::vector<Warning> warnings_;
    Namespaces namespaces_;
    LengthBasis basis_;
    size_t segmentBudget_ = kMaxSegments;
    int layerCount_ = 0;  // layers made so far, for the titles of untitled ones
    std::vector<pugi::xml_node> symbolNodes_;
    std::vector<pugi::xml_node> shadowedSymbols_;
    std::map<std::string, SymbolViewport> symbols_;
    // Uses of a symbol kept as written, by the symbol they show. Written
    // back, the symbol loses the viewport that put them out of range and
    // they come alive, so they count as uses when looking for cycles.
    std::map<const Art*, std::string> keptSymbolUses_;
    std::vector<pugi::xml_node> shownByUses_;  // the elements uses are drawing copies of, innermost last
    bool showable(pugi::xml_node target, pugi::xml_node use) const;
    std::vector<std::pair<Art*, int32_t>> pendingAttributes_;
    struct PendingLayer {
        Layer* layer;
        bool visible, editable;
    };
    std::vector<PendingLayer> pendingLayers_;
    TextPathSources textPaths_;
};

// Whether kept attributes refer to other elements (clip paths, masks,
// filters, markers, paint servers), whose look depends on the user space.
bool Refers(const NameValues& values);
// A matrix as the value of the kept attribute that holds an object's space.
std::string SpaceText(const HostMatrix& m);
bool IsPlacementAttribute(std::string_view name);

}  // namespace orbalis::host::svg::importer
