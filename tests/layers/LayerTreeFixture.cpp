#include "tests/layers/LayerTreeFixture.h"

#include <gtest/gtest.h>

#include "sdk/suites/ArtSuites.h"
#include "tests/support/DocumentBuilder.h"

namespace orbalis::testing {

host::Layer* AddSublayer(host::Document& doc, host::Layer* parent, const std::string& title) {
    host::Layer* layer = nullptr;
    EXPECT_EQ(doc.insertLayer(parent, kHostPlaceInsideOnBottom, &layer), 0);
    if (layer) layer->title = title;
    return layer;
}

std::vector<std::string> AllTitles(const host::Document& doc) {
    std::vector<std::string> titles;
    for (const host::Layer* layer : doc.allLayers()) titles.push_back(layer->title);
    return titles;
}

LayerTree::LayerTree(host::Document& doc, host::Layer* only) {
    c = only;
    c->title = "C";
    b = AddLayer(doc, "B");
    a = AddLayer(doc, "A");
    a1 = AddSublayer(doc, a, "A1");
    a1a = AddSublayer(doc, a1, "A1a");
    a2 = AddSublayer(doc, a, "A2");
    b1 = AddSublayer(doc, b, "B1");
    b2 = AddSublayer(doc, b, "B2");
    b->visible = false;
    b2->visible = false;
}

}  // namespace orbalis::testing
