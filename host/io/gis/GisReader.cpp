// Reading GIS files into documents: features read through GDAL, projected
// into one CRS, placed at the map scale and drawn as art.
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>

#include "host/io/gis/GdalSupport.h"
#include "host/io/gis/Georeference.h"
#include "host/io/gis/GisDocument.h"
#include "host/io/gis/GisGeometry.h"
#include "host/io/gis/GisValues.h"

namespace orbalis::host {
namespace {

using namespace gis;

// Space around the data on the page, in points.
constexpr double kMargin = 36;
// Without --scale, the data is fitted within this many points.
constexpr double kFittedSize = 800;

struct LayerData {
    std::string name;
    SrsPtr srs;  // null: none known
    bool assumedGeographic = false;
    OGRwkbGeometryType geometryType = wkbUnknown;
    int nameField = -1;  // -1: the feature id
    std::vector<std::unique_ptr<OGRFeature>> features;
    std::vector<FieldRecord> fields;
};

SrsPtr Clone(const OGRSpatialReference* srs) {
    if (!srs) return nullptr;
    SrsPtr copy(srs->Clone());
    copy->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return copy;
}

std::string ToWkt(const OGRSpatialReference& srs) {
    char* text = nullptr;
    const char* options[] = {"FORMAT=WKT2_2019", nullptr};
    srs.exportToWkt(&text, options);
    std::string wkt = text ? text : "";
    CPLFree(text);
    return wkt;
}

std::string Degrees(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

// Calls `visit` with every vertex of a geometry.
template <typename Visit>
void ForEachVertex(const OGRGeometry& g, Visit&& visit) {
    if (const auto* curve = dynamic_cast<const OGRSimpleCurve*>(&g)) {
        for (int i = 0; i < curve->getNumPoints(); ++i) visit(curve->getX(i), curve->getY(i));
    } else if (const auto* point = dynamic_cast<const OGRPoint*>(&g)) {
        if (!point->IsEmpty()) visit(point->getX(), point->getY());
    } else if (const auto* polygon = dynamic_cast<const OGRCurvePolygon*>(&g)) {
        for (const OGRCurve* ring : *polygon) ForEachVertex(*ring, visit);
    } else if (const auto* collection = dynamic_cast<const OGRGeometryCollection*>(&g)) {
        for (const OGRGeometry* part : *collection) ForEachVertex(*part, visit);
    } else if (const auto* compound = dynamic_cast<const OGRCompoundCurve*>(&g)) {
        for (const OGRCurve* part : *compound) ForEachVertex(*part, visit);
    }
}

// The centre of the data: the mean direction of its vertices on the sphere,
// which stays within the data where it crosses the 180th meridian.
bool GeographicCentre(const std::vector<LayerData>& layers, double* lon, double* lat) {
    double sx = 0, sy = 0, sz = 0;
    size_t n = 0;
    constexpr double kRad = M_PI / 180;
    for (const LayerData& layer : layers) {
        if (!layer.srs || !layer.srs->IsGeographic()) continue;
        for (const auto& feature : layer.features)
            if (const OGRGeometry* g = feature->GetGeometryRef())
                ForEachVertex(*g, [&](double x, double y) {
                    sx += std::cos(y * kRad) * std::cos(x * kRad);
                    sy += std::cos(y * kRad) * std::sin(x * kRad);
                    sz += std::sin(y * kRad);
                    ++n;
                });
    }
    const double length = std::sqrt(sx * sx + sy * sy + sz * sz);
    if (n == 0 || length < 1e-9 * double(n)) return false;
    *lon = std::round(std::atan2(sy, sx) / kRad * 100) / 100;
    *lat = std::round(std::asin(sz / length) / kRad * 100) / 100;
    return true;
}

// 1, 2, 2.5 or 5 times a power of ten, at least `minimum`.
double RoundScale(double minimum) {
    if (!(minimum > 1)) return 1;
    double power = std::pow(10, std::floor(std::log10(minimum)));
    for (;; power *= 10)
        for (double step : {1.0, 2.0, 2.5, 5.0, 10.0})
            if (step * power >= minimum * (1 - 1e-12)) return step * power;
}

std::string Thousands(double value) {
    const std::string digits = std::to_string(static_cast<long long>(std::llround(value)));
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0 && digits[i - 1] != '-') out += ',';
        out += digits[i];
    }
    return out;
}

class Reader {
public:
    Reader(const std::string& path, const GisReadOptions& options, std::vector<std::string>* warnings,
           std::vector<std::string>* notes)
        : path_(path), options_(options), warnings_(warnings), notes_(notes) {}

    std::unique_ptr<Document> run(std::string* error) {
        if (options_.scale < 0 || !std::isfinite(options_.scale)) return fail(error, "--scale must be above 0");
        DatasetPtr dataset = OpenGisFile(path_, error);
        if (!dataset) return nullptr;
        for (OGRLayer* layer : dataset->GetLayers())
            if (!readLayer(*layer, error)) return nullptr;
        if (!chooseNames(error) || !chooseCrs(error) || !project(error)) return nullptr;
        return build();
    }

private:
    std::unique_ptr<Document> fail(std::string* error, const std::string& message) {
        *error = path_ + ": " + message;
        return nullptr;
    }
    void warn(const std::string& message) {
        if (warnings_) warnings_->push_back(path_ + ": " + message);
    }
    void note(const std::string& message) {
        if (notes_) notes_->push_back(path_ + ": " + message);
    }
    std::string featureName(const LayerData& layer, const OGRFeature& feature) const {
        return "layer \"" + layer.name + "\", feature " + std::to_string(feature.GetFID());
    }

    bool readLayer(OGRLayer& source, std::string* error) {
        LayerData layer;
        layer.name = source.GetName();
        layer.srs = Clone(source.GetSpatialRef());
        layer.geometryType = source.GetGeomType();
        const OGRFeatureDefn& definition = *source.GetLayerDefn();
        std::vector<std::string> taken;
        for (int i = 0; i < definition.GetFieldCount(); ++i) {
            const OGRFieldDefn& f = *definition.GetFieldDefn(i);
            layer.fields.push_back({f.GetNameRef(), FieldKey(f.GetNameRef(), taken), f.GetType(), f.GetSubType(),
                                    f.GetWidth(), f.GetPrecision()});
        }
        GdalMessages messages;
        source.ResetReading();
        for (;;) {
            std::unique_ptr<OGRFeature> feature(source.GetNextFeature());
            std::vector<std::string> said = messages.take();
            if (!feature) {
                if (!said.empty()) {
                    *error = path_ + ": layer \"" + layer.name + "\": cannot read: " + said.back();
                    return false;
                }
                break;
            }
            if (!said.empty() && !feature->GetGeometryRef()) {
                warn(featureName(layer, *feature) + ": skipped, its geometry cannot be read: " + said.back());
                continue;
            }
            for (const std::string& s : said) warn(featureName(layer, *feature) + ": " + s);
            layer.features.push_back(std::move(feature));
        }
        layers_.push_back(std::move(layer));
        return true;
    }

    bool chooseNames(std::string* error) {
        bool found = options_.nameField.empty();
        for (LayerData& layer : layers_) {
            for (size_t i = 0; i < layer.fields.size(); ++i) {
                const std::string& name = layer.fields[i].name;
                const bool match = options_.nameField.empty() ? EqualFolded(name, "id") : name == options_.nameField;
                if (match) layer.nameField = static_cast<int>(i);
            }
            found = found || layer.nameField >= 0;
        }
        if (!found) {
            std::string fields;
            for (const LayerData& layer : layers_) {
                fields += fields.empty() ? "" : "; ";
                fields += layer.name + ":";
                for (const FieldRecord& f : layer.fields) fields += " " + f.name;
            }
            *error = path_ + ": --name-field " + options_.nameField + ": no layer has that field (" + fields + ")";
            return false;
        }
        return true;
    }

    // Whether every coordinate of the layer lies within longitude and
    // latitude bounds.
    static bool LooksGeographic(const LayerData& layer) {
        bool any = false;
        for (const auto& feature : layer.features) {
            const OGRGeometry* g = feature->GetGeometryRef();
            if (!g || g->IsEmpty()) continue;
            OGREnvelope e;
            g->getEnvelope(&e);
            if (e.MinX < -180 || e.MaxX > 180 || e.MinY < -90 || e.MaxY > 90) return false;
            any = true;
        }
        return any;
    }

    bool chooseCrs(std::string* error) {
        for (LayerData& layer : layers_) {
            if (layer.srs || !LooksGeographic(layer)) continue;
            // As GeoJSON and TopoJSON files are, without saying so.
            layer.srs.reset(new OGRSpatialReference());
            layer.srs->SetWellKnownGeogCS("WGS84");
            layer.srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
            layer.assumedGeographic = true;
            note("layer \"" + layer.name + "\" has no CRS; its coordinates are taken as WGS 84 longitude and latitude");
        }
        const LayerData* first = nullptr;
        for (const LayerData& layer : layers_)
            if (layer.srs && !first) first = &layer;
        if (!options_.crs.empty()) {
            page_.reset(new OGRSpatialReference());
            GdalMessages quiet;
            if (page_->SetFromUserInput(options_.crs.c_str()) != OGRERR_NONE) {
                *error = path_ + ": --crs " + options_.crs + ": unknown CRS";
                return false;
            }
            if (!page_->IsProjected()) {
                *error = path_ + ": --crs " + options_.crs + ": not a projected CRS (" + CrsName(*page_) +
                         "); give one in metres or feet";
                return false;
            }
        } else if (first && first->srs->IsProjected()) {
            page_ = Clone(first->srs.get());
        } else if (first) {
            double lon = 0, lat = 0;
            if (!GeographicCentre(layers_, &lon, &lat)) lon = lat = 0;
            page_.reset(new OGRSpatialReference());
            page_->CopyGeogCSFrom(first->srs.get());
            page_->SetStereographic(lat, lon, 1, 0, 0);
            const std::string name = "Oblique stereographic centred on " + Degrees(lat) + ", " + Degrees(lon);
            page_->SetProjCS(name.c_str());
        }
        if (page_) page_->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        return true;
    }

    bool project(std::string* error) {
        for (LayerData& layer : layers_) {
            if (!page_ || !layer.srs) {
                if (page_) warn("layer \"" + layer.name + "\" has no CRS; its coordinates are drawn as they are");
                continue;
            }
            if (layer.srs->IsSame(page_.get())) continue;
            std::vector<OGRGeometry*> geometries;
            geometries.reserve(layer.features.size());
            for (const auto& feature : layer.features) geometries.push_back(feature->GetGeometryRef());
            std::vector<size_t> failed;
            std::string why;
            if (!TransformAll(geometries, *layer.srs, *page_, &failed, &why)) {
                *error = path_ + ": layer \"" + layer.name + "\": " + why;
                return false;
            }
            for (size_t i : failed) {
                warn(featureName(layer, *layer.features[i]) + ": skipped, it cannot be projected to " +
                     CrsName(*page_));
                layer.features[i].reset();
            }
            auto kept = std::remove(layer.features.begin(), layer.features.end(), nullptr);
            layer.features.erase(kept, layer.features.end());
        }
        return true;
    }

    std::unique_ptr<Document> build() {
        OGREnvelope extent;
        for (const LayerData& layer : layers_)
            for (const auto& feature : layer.features)
                if (const OGRGeometry* g = feature->GetGeometryRef(); g && !g->IsEmpty()) {
                    OGREnvelope e;
                    g->getEnvelope(&e);
                    extent.Merge(e);
                }
        if (!extent.IsInit()) extent.Merge(0, 0);
        const double metresPerUnit = page_ ? page_->GetLinearUnits() : 1;
        const double span = std::max(extent.MaxX - extent.MinX, extent.MaxY - extent.MinY) * metresPerUnit;
        Georeference& g = georeference_;
        g.scale = options_.scale > 0 ? options_.scale : RoundScale(span * 72 / 0.0254 / kFittedSize);
        g.pointsPerUnit = PointsPerMetre(g.scale) * metresPerUnit;
        g.originX = extent.MinX - kMargin / g.pointsPerUnit;
        g.originY = extent.MinY - kMargin / g.pointsPerUnit;
        g.crs = page_ ? ToWkt(*page_) : "";
        g.crsName = page_ ? CrsName(*page_) : "no CRS (coordinates taken as metres)";

        auto document = std::make_unique<Document>();
        document->artboard = {0, (extent.MaxY - extent.MinY) * g.pointsPerUnit + 2 * kMargin,
                              (extent.MaxX - extent.MinX) * g.pointsPerUnit + 2 * kMargin, 0};
        Layer* previous = nullptr;
        bool points = false;
        for (size_t index = 0; index < layers_.size(); ++index) {
            LayerData& data = layers_[index];
            Layer* layer = nullptr;
            if (previous)
                document->insertLayer(previous, kHostPlaceBelow, &layer);
            else
                document->insertLayer(nullptr, kHostPlaceAboveAll, &layer);
            previous = layer;
            layer->title = data.name;
            layer->foreignAttributes.emplace_back(kLayerAttribute, std::to_string(index));
            g.layers.push_back(
                {data.name, data.srs ? ToWkt(*data.srs) : "", static_cast<int>(data.geometryType), data.fields});
            const int fill = FieldIndex(data.fields, kFillField), cmyk = FieldIndex(data.fields, kFillCmykField);
            for (const auto& feature : data.features) {
                const OGRGeometry* geometry = feature->GetGeometryRef();
                points = points || (geometry && FamilyOf(geometry->getGeometryType()) != Family::Polygon &&
                                    FamilyOf(geometry->getGeometryType()) != Family::Line);
                Art* art = AddGeometryArt(*document, layer->group(), geometry, g);
                art->name = data.nameField >= 0 && feature->IsFieldSetAndNotNull(data.nameField)
                                ? FieldText(*feature, data.nameField)
                                : std::to_string(feature->GetFID());
                art->foreignAttributes.reserve(data.fields.size());
                for (size_t i = 0; i < data.fields.size(); ++i)
                    if (feature->IsFieldSetAndNotNull(static_cast<int>(i)))
                        art->foreignAttributes.emplace_back(data.fields[i].key,
                                                            FieldText(*feature, static_cast<int>(i)));
                HostColor color{};
                if ((cmyk >= 0 && feature->IsFieldSetAndNotNull(cmyk) &&
                     ParseCmykText(feature->GetFieldAsString(cmyk), &color)) ||
                    (fill >= 0 && feature->IsFieldSetAndNotNull(fill) &&
                     ParseHexColor(feature->GetFieldAsString(fill), &color)))
                    SetFill(*art, color);
            }
            data.features.clear();
        }
        if (points) DefinePointSymbol(*document);
        document->foreignContent.push_back(EncodeGeoreference(g));
        note("drawn in " + g.crsName + " at 1:" + Thousands(g.scale) + " on a page of " +
             Thousands(document->artboard.right) + " x " + Thousands(document->artboard.top) + " pt");
        return document;
    }

    std::string path_;
    const GisReadOptions& options_;
    std::vector<std::string>* warnings_;
    std::vector<std::string>* notes_;
    std::vector<LayerData> layers_;
    SrsPtr page_;
    Georeference georeference_;
};

}  // namespace

std::unique_ptr<Document> ReadGisDocument(const std::string& path, const GisReadOptions& options,
                                          std::vector<std::string>* warnings, std::vector<std::string>* notes,
                                          std::string* error) {
    return Reader(path, options, warnings, notes).run(error);
}

}  // namespace orbalis::host
