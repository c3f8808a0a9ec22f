// Reading SVG text elements into text objects: point text, area text (a
// text with its frame) and text on a path (a textPath over a path).
#pragma once

#include <map>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "host/io/svg/SvgColor.h"
#include "host/io/svg/SvgStyle.h"
#include "host/model/Art.h"

namespace orbalis::host::svg {

// What reading a text element needs of the reader of the whole file.
class TextReaderContext {
public:
    // The SVG name of an element; empty for elements of other namespaces.
    virtual std::string_view svgName(pugi::xml_node el) const = 0;
    virtual bool isHref(std::string_view name) const = 0;
    // Whether an attribute's name is Sodipodi's LOCAL.
    virtual bool isSodipodi(std::string_view name, std::string_view local) const = 0;
    virtual const LengthBasis& basis() const = 0;
    // A length attribute in user units; axis 0 x, 1 y, 2 other.
    virtual double length(pugi::xml_node el, const char* name, double fallback, int axis, double fontSize) const = 0;
    // The model's colour for an RGB paint and the file's CMYK or gray data attribute.
    virtual HostColor color(const Rgba& rgba, const std::string& cmyk, const std::string& gray) const = 0;
    // Path segments the file may still spend.
    virtual size_t* segmentBudget() = 0;
    // Ends the import with one line naming the element.
    [[noreturn]] virtual void fail(pugi::xml_node el, const std::string& what) const = 0;
    // One line naming the element about something read only in part.
    virtual void warn(pugi::xml_node el, const std::string& what) const = 0;

protected:
    ~TextReaderContext() = default;
};

// The paths that textPath elements follow, found before anything is read.
// A path in a <defs> that nothing but textPaths refers to is taken out of
// the file: it is the text's own path and comes back as that, not as an
// object or kept content of its own.
class TextPathSources {
public:
    struct Source {
        bool found = false;
        std::string element;       // the SVG name of the element referred to
        std::string d, transform;  // a path's data and own transform
        bool taken = false;
        std::string verbatim;  // a taken path as written
        int uses = 0;          // textPaths referring to it
        int followed = 0;      // of those, read as text on the path
    };

    void collect(const TextReaderContext& reader, pugi::xml_node root);
    // The first element with this id, if a textPath refers to it.
    const Source* find(const std::string& id) const;
    void followed(const std::string& id);
    // The taken paths that texts kept as written still refer to, each as a
    // <defs> to keep.
    std::vector<std::string> stillNeeded() const;

private:
    std::map<std::string, Source> sources_;
};

// Attributes of a text element that reading it consumes.
bool IsTextAttribute(std::string_view name);
// Style properties that the text model holds.
bool IsTextModelled(Property p);

// Reads the text element `el`, whose computed style is `style`, whose
// nearest CMYK fill attribute is `cmyk`, and whose user space maps to the
// page by `ctm` (its own transform included). False when it holds something
// the text model cannot; the element is then kept as written.
bool ReadText(TextReaderContext& reader, TextPathSources& paths, pugi::xml_node el, const ComputedStyle& style,
              const std::string& cmyk, const HostMatrix& ctm, TextData* out);

}  // namespace orbalis::host::svg
