// `orbalis info` for GIS files: each layer's geometry type, feature count,
// CRS and extent, as the file states them.
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <cstdio>

#include "host/io/gis/GdalSupport.h"
#include "host/io/gis/GisDocument.h"

namespace orbalis::host {
namespace {

std::string Coordinate(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

}  // namespace

bool DescribeGisFile(const std::string& path, std::string* text, std::string* error) {
    gis::DatasetPtr dataset = gis::OpenGisFile(path, error);
    if (!dataset) return false;
    gis::GdalMessages messages;
    const int count = dataset->GetLayerCount();
    std::string out = path + ": " + dataset->GetDriver()->GetDescription() + ", " + std::to_string(count) +
                      (count == 1 ? " layer\n" : " layers\n");
    for (OGRLayer* layer : dataset->GetLayers()) {
        const GIntBig features = layer->GetFeatureCount(TRUE);
        out += "  \"" + std::string(layer->GetName()) + "\": " + std::to_string(features) +
               (features == 1 ? " feature, " : " features, ") + OGRGeometryTypeToName(layer->GetGeomType()) + ", " +
               (layer->GetSpatialRef() ? gis::CrsName(*layer->GetSpatialRef()) : std::string("no CRS"));
        OGREnvelope e;
        if (features > 0 && layer->GetExtent(&e, TRUE) == OGRERR_NONE)
            out += ", extent (" + Coordinate(e.MinX) + ", " + Coordinate(e.MinY) + ") - (" + Coordinate(e.MaxX) + ", " +
                   Coordinate(e.MaxY) + ")";
        const OGRFeatureDefn& definition = *layer->GetLayerDefn();
        out += "; fields:";
        for (int i = 0; i < definition.GetFieldCount(); ++i)
            out += std::string(i ? ", " : " ") + definition.GetFieldDefn(i)->GetNameRef() + " (" +
                   OGRFieldDefn::GetFieldTypeName(definition.GetFieldDefn(i)->GetType()) + ")";
        if (definition.GetFieldCount() == 0) out += " none";
        out += "\n";
    }
    if (messages.failed()) {
        *error = path + ": cannot read: " + messages.last("");
        return false;
    }
    *text = std::move(out);
    return true;
}

}  // namespace orbalis::host
