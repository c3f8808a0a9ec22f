#include "host/suites/OperationGate.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

HostErr CountLayers(Document& document, int32_t& count) {
    count = static_cast<int32_t>(document.topLayers().size());
    return 0;
}

HostErr GetNthLayer(Document& document, int32_t index, HostLayer& out) {
    const auto& layers = document.topLayers();
    if (index < 0 || static_cast<size_t>(index) >= layers.size()) return kHostIndexErr;
    out = Document::toHandle(layers[static_cast<size_t>(index)]);
    return 0;
}

HostErr GetFirstLayer(Document& document, HostLayer& out) {
    out = document.topLayers().empty() ? nullptr : Document::toHandle(document.topLayers().front());
    return 0;
}

template <Layer* (Document::*Relative)(const Layer*) const>
HostErr RelatedLayer(Layer& layer, HostLayer& out) {
    out = Document::toHandle((layer.document()->*Relative)(&layer));
    return 0;
}

HostErr GetCurrentLayer(Document& document, HostLayer& out) {
    if (!document.currentLayer()) return kHostNoDocumentErr;
    out = Document::toHandle(document.currentLayer());
    return 0;
}

HostErr SetCurrentLayer(Layer& layer) { return layer.document()->setCurrentLayer(&layer); }

HostErr GetLayerTitle(Layer& layer, StringObject& title) {
    SetFromUtf8(title, layer.title);
    return 0;
}

HostErr SetLayerTitle(Layer& layer, StringObject& title) {
    layer.title = ToUtf8(title);
    return 0;
}

template <bool Layer::*flag>
HostErr GetLayerFlag(Layer& layer, HostBool& value) {
    value = layer.*flag;
    return 0;
}

template <bool Layer::*flag>
HostErr SetLayerFlag(Layer& layer, HostBool value) {
    layer.*flag = value != 0;
    return 0;
}

HostErr InsertLayer(Document& document, Layer* reference, int32_t paintOrder, HostLayer* out) {
    Layer* layer = nullptr;
    if (HostErr err = document.insertLayer(reference, paintOrder, &layer)) return err;
    if (out) *out = Document::toHandle(layer);
    return 0;
}

HostErr DeleteLayer(Layer& layer) { return layer.document()->deleteLayer(&layer); }

HostErr LayerHasSelectedArt(Layer& layer, HostBool& hasSelected) {
    hasSelected = layer.group()->answersSelected() ? 1 : 0;
    return 0;
}

HostErr DeselectArtOnLayer(Layer& layer) {
    layer.document()->deselectLayer(&layer);
    return 0;
}

}  // namespace

const HostLayerSuite& LayerSuite() {
    return SuiteTable<HostLayerSuite, CountLayers, GetNthLayer, GetFirstLayer,
                      Named<"GetNextLayer", RelatedLayer<&Document::nextSiblingLayer>>,
                      Named<"GetPrevLayer", RelatedLayer<&Document::prevSiblingLayer>>, GetCurrentLayer,
                      SetCurrentLayer, GetLayerTitle, SetLayerTitle,
                      Named<"GetLayerVisible", GetLayerFlag<&Layer::visible>>,
                      Named<"SetLayerVisible", SetLayerFlag<&Layer::visible>>,
                      Named<"GetLayerEditable", GetLayerFlag<&Layer::editable>>,
                      Named<"SetLayerEditable", SetLayerFlag<&Layer::editable>>, InsertLayer, DeleteLayer,
                      Named<"GetLayerFirstChild", RelatedLayer<&Document::firstSublayer>>,
                      Named<"GetLayerParent", RelatedLayer<&Document::parentLayer>>,
                      Named<"GetNextPreorderLayer", RelatedLayer<&Document::nextPreorderLayer>>,
                      Named<"GetNextNonChildPreorderLayer", RelatedLayer<&Document::nextNonChildPreorderLayer>>,
                      LayerHasSelectedArt, DeselectArtOnLayer>;
}

}  // namespace orbalis::host
