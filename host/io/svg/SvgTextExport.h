// Writing text objects as SVG text.
#pragma once

#include <string>

#include "host/io/svg/SvgMarkup.h"
#include "host/model/Art.h"

namespace orbalis::host::svg {

// What writing a text object needs of the writer of the whole file.
class TextWriterContext {
public:
    // id, or a label for names no good as ids.
    virtual void nameAttributes(const std::string& name, Attributes& attributes) = 0;
    // Foreign attributes, then hidden and locked state and tags.
    virtual void commonAttributes(const Art* art, Attributes& attributes) = 0;
    // An id no other element of the file has, made from `stem`.
    virtual std::string newId(const std::string& stem) = 0;

protected:
    ~TextWriterContext() = default;
};

// Appends the text object `art` as one line indented by `depth`, in the
// user space `pageToUser` maps the page into.
void WriteText(const Art* art, const HostMatrix& pageToUser, int depth, TextWriterContext& context, std::string& out);

}  // namespace orbalis::host::svg
