// Reading SVG text elements into text objects.
#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "host/io/svg/SvgColor.h"
#include "host/io/svg/SvgStyle.h"
#include "host/model/Art.h"

namespace orbalis::host::svg {

// What reading a text element needs of the reader of the whole file.
class TextReaderContext {
public:
    // The SVG name of an element; empty for elements of other namespaces.
    virtual std::string_view svgName(pugi::xml_node el) const = 0;
    virtual const std::string& sodipodiPrefix() const = 0;
    virtual const LengthBasis& basis() const = 0;
    // A length attribute in user units; axis 0 x, 1 y, 2 other.
    virtual double length(pugi::xml_node el, const char* name, double fallback, int axis, double fontSize) const = 0;
    // The model's colour for an RGB paint and the file's CMYK or gray data attribute.
    virtual HostColor color(const Rgba& rgba, const std::string& cmyk, const std::string& gray) const = 0;
    // Ends the import with one line naming the element.
    [[noreturn]] virtual void fail(pugi::xml_node el, const std::string& what) const = 0;

protected:
    ~TextReaderContext() = default;
};

// Attributes of a text element that reading it consumes.
bool IsTextAttribute(std::string_view name);
// Style properties that the text model holds.
bool IsTextModelled(Property p);

// Reads the text element `el`, whose computed style is `style`, whose
// nearest CMYK fill attribute is `cmyk`, and whose user space maps to the
// page by `ctm` (its own transform included). False when it holds something
// the text model cannot; the element is then kept as written.
bool ReadText(const TextReaderContext& reader, pugi::xml_node el, const ComputedStyle& style, const std::string& cmyk,
              const HostMatrix& ctm, TextData* out);

}  // namespace orbalis::host::svg
