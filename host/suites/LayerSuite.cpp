#include "host/suites/SuiteSupport.h"
#include "host/suites/SuiteTables.h"

namespace orbalis::host {
namespace {

HostErr CountLayers(int32_t* count) {
    HOST_OPERATION("CountLayers");
    HOST_DOCUMENT(document);
    if (!count) return kHostBadParameterErr;
    *count = static_cast<int32_t>(document->topLayers().size());
    return 0;
}

HostErr GetNthLayer(int32_t index, HostLayer* out) {
    HOST_OPERATION("GetNthLayer");
    HOST_DOCUMENT(document);
    if (!out) return kHostBadParameterErr;
    const auto& layers = document->topLayers();
    if (index < 0 || static_cast<size_t>(index) >= layers.size()) return kHostIndexErr;
    *out = Document::toHandle(layers[static_cast<size_t>(index)]);
    return 0;
}

HostErr GetFirstLayer(HostLayer* out) {
    HOST_OPERATION("GetFirstLayer");
    HOST_DOCUMENT(document);
    if (!out) return kHostBadParameterErr;
    *out = document->topLayers().empty() ? nullptr : Document::toHandle(document->topLayers().front());
    return 0;
}

template <Layer* (Document::*Relative)(const Layer*) const>
HostErr RelatedLayer(HostLayer handle, HostLayer* out) {
    HOST_LAYER(layer, handle);
    if (!out) return kHostBadParameterErr;
    *out = Document::toHandle((layer->document()->*Relative)(layer));
    return 0;
}

HostErr GetNextLayer(HostLayer handle, HostLayer* out) {
    HOST_OPERATION("GetNextLayer");
    return RelatedLayer<&Document::nextSiblingLayer>(handle, out);
}

HostErr GetPrevLayer(HostLayer handle, HostLayer* out) {
    HOST_OPERATION("GetPrevLayer");
    return RelatedLayer<&Document::prevSiblingLayer>(handle, out);
}

HostErr GetLayerFirstChild(HostLayer handle, HostLayer* out) {
    HOST_OPERATION("GetLayerFirstChild");
    return RelatedLayer<&Document::firstSublayer>(handle, out);
}

HostErr GetLayerParent(HostLayer handle, HostLayer* out) {
    HOST_OPERATION("GetLayerParent");
    return RelatedLayer<&Document::parentLayer>(handle, out);
}

HostErr GetNextPreorderLayer(HostLayer handle, HostLayer* out) {
    HOST_OPERATION("GetNextPreorderLayer");
    return RelatedLayer<&Document::nextPreorderLayer>(handle, out);
}

HostErr GetNextNonChildPreorderLayer(HostLayer handle, HostLayer* out) {
    HOST_OPERATION("GetNextNonChildPreorderLayer");
    return RelatedLayer<&Document::nextNonChildPreorderLayer>(handle, out);
}

HostErr GetCurrentLayer(HostLayer* out) {
    HOST_OPERATION("GetCurrentLayer");
    HOST_DOCUMENT(document);
    if (!out) return kHostBadParameterErr;
    if (!document->currentLayer()) return kHostNoDocumentErr;
    *out = Document::toHandle(document->currentLayer());
    return 0;
}

HostErr SetCurrentLayer(HostLayer handle) {
    HOST_OPERATION("SetCurrentLayer");
    HOST_LAYER(layer, handle);
    return layer->document()->setCurrentLayer(layer);
}

HostErr GetLayerTitle(HostLayer handle, HostString title) {
    HOST_OPERATION("GetLayerTitle");
    HOST_LAYER(layer, handle);
    StringObject* s = StringOf(title);
    if (!s) return kHostBadParameterErr;
    SetFromUtf8(*s, layer->title);
    return 0;
}

HostErr SetLayerTitle(HostLayer handle, HostString title) {
    HOST_OPERATION("SetLayerTitle");
    HOST_LAYER(layer, handle);
    StringObject* s = StringOf(title);
    if (!s) return kHostBadParameterErr;
    layer->title = ToUtf8(*s);
    return 0;
}

HostErr GetLayerVisible(HostLayer handle, HostBool* visible) {
    HOST_OPERATION("GetLayerVisible");
    HOST_LAYER(layer, handle);
    if (!visible) return kHostBadParameterErr;
    *visible = layer->visible;
    return 0;
}

HostErr SetLayerVisible(HostLayer handle, HostBool visible) {
    HOST_OPERATION("SetLayerVisible");
    HOST_LAYER(layer, handle);
    layer->visible = visible != 0;
    return 0;
}

HostErr GetLayerEditable(HostLayer handle, HostBool* editable) {
    HOST_OPERATION("GetLayerEditable");
    HOST_LAYER(layer, handle);
    if (!editable) return kHostBadParameterErr;
    *editable = layer->editable;
    return 0;
}

HostErr SetLayerEditable(HostLayer handle, HostBool editable) {
    HOST_OPERATION("SetLayerEditable");
    HOST_LAYER(layer, handle);
    layer->editable = editable != 0;
    return 0;
}

HostErr InsertLayer(HostLayer referenceHandle, int32_t paintOrder, HostLayer* out) {
    HOST_OPERATION("InsertLayer");
    HOST_DOCUMENT(document);
    Layer* reference = nullptr;
    if (referenceHandle && !(reference = Document::fromHandle(referenceHandle)))
        return kHostBadParameterErr;
    Layer* layer = nullptr;
    if (HostErr err = document->insertLayer(reference, paintOrder, &layer)) return err;
    if (out) *out = Document::toHandle(layer);
    return 0;
}

HostErr DeleteLayer(HostLayer handle) {
    HOST_OPERATION("DeleteLayer");
    HOST_LAYER(layer, handle);
    return layer->document()->deleteLayer(layer);
}

HostErr LayerHasSelectedArt(HostLayer handle, HostBool* hasSelected) {
    HOST_OPERATION("LayerHasSelectedArt");
    HOST_LAYER(layer, handle);
    if (!hasSelected) return kHostBadParameterErr;
    *hasSelected = layer->group()->answersSelected() ? 1 : 0;
    return 0;
}

HostErr DeselectArtOnLayer(HostLayer handle) {
    HOST_OPERATION("DeselectArtOnLayer");
    HOST_LAYER(layer, handle);
    layer->document()->deselectLayer(layer);
    return 0;
}

}  // namespace

const HostLayerSuite& LayerSuite() {
    static const HostLayerSuite suite{
        CountLayers,        GetNthLayer,         GetFirstLayer,        GetNextLayer,
        GetPrevLayer,       GetCurrentLayer,     SetCurrentLayer,      GetLayerTitle,
        SetLayerTitle,      GetLayerVisible,     SetLayerVisible,      GetLayerEditable,
        SetLayerEditable,   InsertLayer,         DeleteLayer,          GetLayerFirstChild,
        GetLayerParent,     GetNextPreorderLayer, GetNextNonChildPreorderLayer,
        LayerHasSelectedArt, DeselectArtOnLayer};
    return suite;
}

}  // namespace orbalis::host
