#include "host/io/gis/Georeference.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>

namespace orbalis::host::gis {
namespace {

using Json = nlohmann::json;

constexpr const char* kElementStart = "<metadata id=\"orbalis-georeference\">";

std::string EscapeText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

}  // namespace

std::string EncodeGeoreference(const Georeference& g) {
    Json layers = Json::array();
    for (const LayerRecord& layer : g.layers) {
        Json fields = Json::array();
        for (const FieldRecord& f : layer.fields)
            fields.push_back({{"name", f.name},
                              {"key", f.key},
                              {"type", f.type},
                              {"subType", f.subType},
                              {"width", f.width},
                              {"precision", f.precision}});
        layers.push_back({{"name", layer.name},
                          {"crs", layer.crs},
                          {"geometryType", layer.geometryType},
                          {"fields", std::move(fields)}});
    }
    const Json record = {{"crs", g.crs},
                         {"crsName", g.crsName},
                         {"scale", g.scale},
                         {"pointsPerUnit", g.pointsPerUnit},
                         {"origin", {g.originX, g.originY}},
                         {"layers", std::move(layers)}};
    return kElementStart + EscapeText(record.dump(-1, ' ', false, Json::error_handler_t::replace)) + "</metadata>";
}

bool FindGeoreference(const Document& document, Georeference* g, std::string* error) {
    error->clear();
    for (const std::string& content : document.foreignContent) {
        if (!content.starts_with(kElementStart)) continue;
        pugi::xml_document xml;
        if (!xml.load_buffer(content.data(), content.size(), pugi::parse_default, pugi::encoding_utf8)) {
            *error = "the georeference metadata is not well-formed XML";
            return false;
        }
        try {
            const Json record = Json::parse(xml.document_element().text().as_string());
            *g = Georeference{};
            g->crs = record.at("crs").get<std::string>();
            g->crsName = record.value("crsName", std::string());
            g->scale = record.at("scale").get<double>();
            g->pointsPerUnit = record.at("pointsPerUnit").get<double>();
            g->originX = record.at("origin").at(0).get<double>();
            g->originY = record.at("origin").at(1).get<double>();
            if (!(g->pointsPerUnit > 0) || !std::isfinite(g->pointsPerUnit) || !std::isfinite(g->originX) ||
                !std::isfinite(g->originY)) {
                *error = "the georeference metadata holds no usable placement";
                return false;
            }
            for (const Json& l : record.at("layers")) {
                LayerRecord layer;
                layer.name = l.at("name").get<std::string>();
                layer.crs = l.at("crs").get<std::string>();
                layer.geometryType = l.at("geometryType").get<int>();
                for (const Json& f : l.at("fields"))
                    layer.fields.push_back({f.at("name").get<std::string>(), f.at("key").get<std::string>(),
                                            f.at("type").get<int>(), f.at("subType").get<int>(),
                                            f.at("width").get<int>(), f.at("precision").get<int>()});
                g->layers.push_back(std::move(layer));
            }
        } catch (const Json::exception& e) {
            *error = std::string("the georeference metadata cannot be read: ") + e.what();
            return false;
        }
        return true;
    }
    return false;
}

std::string FieldKey(const std::string& name, std::vector<std::string>& taken) {
    static const char* hex = "0123456789ABCDEF";
    std::string key = "data-";
    for (unsigned char c : name) {
        if (std::isalnum(c) && c < 0x80)
            key += static_cast<char>(c);
        else if (c == '.' || c == '-' || (c == '_'))
            key += static_cast<char>(c);
        else {
            key += '_';
            key += hex[c >> 4];
            key += hex[c & 15];
        }
    }
    if (name.empty()) key += "_";
    std::string unique = key;
    for (int n = 2; std::find(taken.begin(), taken.end(), unique) != taken.end(); ++n)
        unique = key + "-" + std::to_string(n);
    taken.push_back(unique);
    return unique;
}

}  // namespace orbalis::host::gis
