// Layer trees for the layer commands' tests.
#pragma once

#include <string>
#include <vector>

#include "host/model/Document.h"

namespace orbalis::testing {

// A sublayer of `parent`, below its existing sublayers.
host::Layer* AddSublayer(host::Document& doc, host::Layer* parent, const std::string& title);

// The titles of every layer, in pre-order from the topmost.
std::vector<std::string> AllTitles(const host::Document& doc);

// Builds, from the document's one layer (made "C"), the tree
//   A { A1 { A1a }, A2 }, B (hidden) { B1, B2 (hidden) }, C
// topmost first.
struct LayerTree {
    explicit LayerTree(host::Document& doc, host::Layer* only);
    host::Layer *a, *a1, *a1a, *a2, *b, *b1, *b2, *c;
};

}  // namespace orbalis::testing
