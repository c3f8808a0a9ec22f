// Writing a document's GIS layers back through GDAL, each in its own CRS,
// with the attributes and colours its objects have.
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "host/io/ReplaceFile.h"
#include "host/io/gis/GdalSupport.h"
#include "host/io/gis/Georeference.h"
#include "host/io/gis/GisDocument.h"
#include "host/io/gis/GisGeometry.h"
#include "host/io/gis/GisValues.h"

namespace orbalis::host {
namespace {

namespace fs = std::filesystem;
using namespace gis;

struct Output {
    const char* extension;
    const char* driver;
    bool oneLayer;
    const char* layerOptions[2];
};

constexpr Output kOutputs[] = {
    {".gpkg", "GPKG", false, {nullptr, nullptr}},
    {".shp", "ESRI Shapefile", true, {"ENCODING=UTF-8", nullptr}},
    {".geojson", "GeoJSON", true, {nullptr, nullptr}},
    {".fgb", "FlatGeobuf", true, {nullptr, nullptr}},
};

SrsPtr FromWkt(const std::string& wkt) {
    if (wkt.empty()) return nullptr;
    SrsPtr srs(new OGRSpatialReference());
    if (srs->importFromWkt(wkt.c_str()) != OGRERR_NONE) return nullptr;
    srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

// A folder beside the output that the files are made in, removed again
// whatever happens.
class ScratchFolder {
public:
    bool make(const fs::path& beside, std::string* why) {
        std::string pattern = (beside / ".orbalis-gis-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            *why = std::strerror(errno);
            return false;
        }
        path_ = pattern;
        return true;
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!path_.empty()) fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// One GIS layer of the document and the host layer that holds it.
struct Target {
    const LayerRecord* record;
    const Layer* layer;
};

OGRwkbGeometryType Multi(OGRwkbGeometryType type) {
    switch (type) {
    case wkbPolygon: return wkbMultiPolygon;
    case wkbLineString: return wkbMultiLineString;
    case wkbPoint: return wkbMultiPoint;
    default: return type;
    }
}

// The layer's geometry type for these geometries: its own when they all
// have it, the multi-part type when some have more than one part, and any
// type when they are of different kinds.
OGRwkbGeometryType LayerType(OGRwkbGeometryType wanted, std::vector<std::unique_ptr<OGRGeometry>>& geometries) {
    wanted = wkbFlatten(wanted);
    if (wanted == wkbUnknown || wanted == wkbNone) {
        for (const auto& g : geometries)
            if (g) return wkbUnknown;
        return wanted;
    }
    bool promote = false;
    for (const auto& g : geometries) {
        if (!g) continue;
        const OGRwkbGeometryType type = wkbFlatten(g->getGeometryType());
        if (type == wanted || Multi(type) == wanted) continue;
        if (type == Multi(wanted))
            promote = true;
        else
            return wkbUnknown;
    }
    const OGRwkbGeometryType type = promote ? Multi(wanted) : wanted;
    for (auto& g : geometries)
        if (g && wkbFlatten(g->getGeometryType()) != type && Multi(wkbFlatten(g->getGeometryType())) == type)
            g.reset(OGRGeometryFactory::forceTo(g.release(), type));
    return type;
}

class Writer {
public:
    Writer(const Document& document, const std::string& path, std::vector<std::string>* warnings)
        : document_(document), path_(path), warnings_(warnings) {}

    bool run(std::string* error) {
        StartGdal();
        const std::string ext = LowerExtension(path_);
        for (const Output& o : kOutputs)
            if (ext == o.extension) output_ = &o;
        if (!output_) return fail(error, "unknown GIS format (expected .geojson, .gpkg, .shp or .fgb)");
        std::string why;
        if (!FindGeoreference(document_, &georeference_, &why))
            return fail(
                error, why.empty() ? "the document holds no GIS data to write (it was not read from a GIS file)" : why);
        std::vector<Target> targets = findTargets();
        if (targets.empty()) return fail(error, "the document's GIS layers are all gone; nothing to write");
        if (output_->oneLayer && targets.size() > 1) {
            std::string names;
            for (const Target& t : targets) names += (names.empty() ? "" : ", ") + t.record->name;
            return fail(error, "a " + std::string(output_->extension) + " file holds one layer and the document has " +
                                   std::to_string(targets.size()) + " (" + names + "); write a .gpkg");
        }
        page_ = FromWkt(georeference_.crs);

        std::string target;
        if (int failure = FollowLinks(path_, &target))
            return fail(error, std::string("cannot write: ") + std::strerror(failure));
        const fs::path final(target);
        const fs::path folder = final.has_parent_path() ? final.parent_path() : fs::path(".");
        ScratchFolder scratch;
        if (!scratch.make(folder, &why)) return fail(error, "cannot write: " + why);
        const fs::path made = scratch.path() / final.filename();
        if (!writeDataset(made.string(), targets, error)) return false;
        // Every file the driver made (a Shapefile's .shp, .shx, .dbf, .prj and
        // .cpg), renamed into place.
        std::error_code ec;
        for (const fs::directory_entry& entry : fs::directory_iterator(scratch.path(), ec)) {
            const fs::path to = entry.path().filename() == final.filename() ? final : folder / entry.path().filename();
            fs::rename(entry.path(), to, ec);
            if (ec) return fail(error, "cannot write: " + ec.message());
        }
        if (ec) return fail(error, "cannot write: " + ec.message());
        return true;
    }

private:
    bool fail(std::string* error, const std::string& message) {
        *error = path_ + ": " + message;
        return false;
    }
    void warn(const std::string& message) {
        if (warnings_) warnings_->push_back(path_ + ": " + message);
    }

    std::vector<Target> findTargets() {
        std::vector<const Layer*> byIndex(georeference_.layers.size(), nullptr);
        for (const Layer* layer : document_.allLayers()) {
            const std::string* index = nullptr;
            for (const auto& [name, value] : layer->foreignAttributes)
                if (name == kLayerAttribute) index = &value;
            size_t i = byIndex.size();
            if (index) i = static_cast<size_t>(std::strtoul(index->c_str(), nullptr, 10));
            if (i < byIndex.size() && !byIndex[i])
                byIndex[i] = layer;
            else if (!document_.parentLayer(layer))
                warn("layer \"" + layer->title + "\" does not hold GIS data; not written");
        }
        std::vector<Target> targets;
        for (size_t i = 0; i < byIndex.size(); ++i)
            if (byIndex[i]) targets.push_back({&georeference_.layers[i], byIndex[i]});
        return targets;
    }

    bool writeDataset(const std::string& file, const std::vector<Target>& targets, std::string* error) {
        GdalMessages messages;
        GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(output_->driver);
        if (!driver) return fail(error, std::string("cannot write: GDAL has no ") + output_->driver + " driver");
        DatasetPtr dataset(driver->Create(file.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
        if (!dataset) return fail(error, "cannot write: " + messages.last("the file cannot be made"));
        const bool transactions = dataset->TestCapability(ODsCTransactions);
        if (transactions && dataset->StartTransaction() != OGRERR_NONE)
            return fail(error, "cannot write: " + messages.last("no transaction"));
        for (const Target& target : targets)
            if (!writeLayer(*dataset, target, messages, error)) return false;
        if (transactions && dataset->CommitTransaction() != OGRERR_NONE)
            return fail(error, "cannot write: " + messages.last("the data cannot be committed"));
        for (const std::string& said : messages.take()) warn(said);
        // Closing writes what the driver still holds.
        GdalMessages closing;
        dataset.reset();
        if (closing.failed()) return fail(error, "cannot write: " + closing.last(""));
        return true;
    }

    bool writeLayer(GDALDataset& dataset, const Target& target, GdalMessages& messages, std::string* error) {
        const LayerRecord& record = *target.record;
        SrsPtr srs = FromWkt(record.crs);
        // The features, back to front as the file had them.
        std::vector<const Art*> objects;
        for (const Art* art = target.layer->group()->lastChild(); art; art = art->prev())
            if (!art->ownerLayer()) objects.push_back(art);
        const Family family = FamilyOf(record.geometryType);
        std::vector<std::unique_ptr<OGRGeometry>> geometries;
        std::vector<const Art*> written;
        for (const Art* art : objects) {
            std::string why;
            std::unique_ptr<OGRGeometry> geometry = ArtGeometry(*art, family, georeference_, &why);
            if (!why.empty()) {
                warn("layer \"" + record.name + "\", object \"" + art->name + "\": not written: " + why);
                continue;
            }
            geometries.push_back(std::move(geometry));
            written.push_back(art);
        }
        if (srs && page_ && !srs->IsSame(page_.get())) {
            std::vector<OGRGeometry*> raw;
            for (const auto& g : geometries) raw.push_back(g.get());
            std::vector<size_t> failed;
            std::string why;
            if (!TransformAll(raw, *page_, *srs, &failed, &why))
                return fail(error, "layer \"" + record.name + "\": " + why);
            if (!failed.empty())
                return fail(error, "layer \"" + record.name + "\", object \"" + written[failed[0]]->name +
                                       "\": cannot transform back to its CRS");
        }
        const OGRwkbGeometryType type = LayerType(static_cast<OGRwkbGeometryType>(record.geometryType), geometries);
        CPLStringList layerOptions;
        for (const char* option : output_->layerOptions)
            if (option) layerOptions.AddString(option);
        if (std::string(output_->driver) == "GPKG") {
            // The GeoPackage's own id column is "fid" unless told otherwise; an
            // attribute of that name keeps its name and the id column takes another.
            std::string fid = "fid";
            while (FieldIndex(record.fields, fid.c_str()) >= 0) fid = "gpkg_" + fid;
            layerOptions.SetNameValue("FID", fid.c_str());
        }
        OGRLayer* layer = dataset.CreateLayer(record.name.c_str(), srs.get(), type, layerOptions.List());
        if (!layer) return fail(error, "layer \"" + record.name + "\": cannot write: " + messages.last("refused"));

        std::vector<int> columns;  // the output field of each record field, or -1
        for (const FieldRecord& f : record.fields) {
            if (EqualFolded(f.name, kFillField) || EqualFolded(f.name, kFillCmykField) ||
                EqualFolded(f.name, kStrokeField)) {
                columns.push_back(-1);
                continue;
            }
            OGRFieldDefn definition(f.name.c_str(), static_cast<OGRFieldType>(f.type));
            definition.SetSubType(static_cast<OGRFieldSubType>(f.subType));
            definition.SetWidth(f.width);
            definition.SetPrecision(f.precision);
            if (layer->CreateField(&definition) != OGRERR_NONE)
                return fail(error, "layer \"" + record.name + "\": cannot make the field \"" + f.name +
                                       "\": " + messages.last("refused"));
            columns.push_back(layer->GetLayerDefn()->GetFieldCount() - 1);
        }
        int colourColumns[3] = {};
        const char* colourNames[3] = {kFillField, kFillCmykField, kStrokeField};
        for (int i = 0; i < 3; ++i) {
            OGRFieldDefn definition(colourNames[i], OFTString);
            definition.SetWidth(i == 1 ? 32 : 7);
            if (layer->CreateField(&definition) != OGRERR_NONE)
                return fail(error, "layer \"" + record.name + "\": cannot make the field \"" + colourNames[i] +
                                       "\": " + messages.last("refused"));
            colourColumns[i] = layer->GetLayerDefn()->GetFieldCount() - 1;
        }

        for (size_t n = 0; n < written.size(); ++n) {
            const Art& art = *written[n];
            OGRFeature feature(layer->GetLayerDefn());
            for (size_t i = 0; i < record.fields.size(); ++i) {
                if (columns[i] < 0) continue;
                const std::string* value = nullptr;
                for (const auto& [name, text] : art.foreignAttributes)
                    if (name == record.fields[i].key) value = &text;
                if (value)
                    feature.SetField(columns[i], value->c_str());
                else
                    feature.SetFieldNull(columns[i]);
            }
            HostPathStyle style{};
            if (FindStyle(art, &style)) {
                if (style.fillPaint) {
                    feature.SetField(colourColumns[0], HexText(style.fill.color).c_str());
                    feature.SetField(colourColumns[1], CmykText(style.fill.color).c_str());
                }
                if (style.strokePaint) feature.SetField(colourColumns[2], HexText(style.stroke.color).c_str());
            }
            if (geometries[n]) feature.SetGeometryDirectly(geometries[n].release());
            if (layer->CreateFeature(&feature) != OGRERR_NONE)
                return fail(error, "layer \"" + record.name + "\", object \"" + art.name +
                                       "\": cannot write: " + messages.last("refused"));
        }
        return true;
    }

    const Document& document_;
    std::string path_;
    std::vector<std::string>* warnings_;
    const Output* output_ = nullptr;
    Georeference georeference_;
    SrsPtr page_;
};

}  // namespace

bool HoldsGisData(const Document& document) {
    Georeference georeference;
    std::string error;
    return FindGeoreference(document, &georeference, &error);
}

bool WriteGisDocument(const Document& document, const std::string& path, std::vector<std::string>* warnings,
                      std::string* error) {
    return Writer(document, path, warnings).run(error);
}

}  // namespace orbalis::host
