#include "host/io/JsonFields.h"

#include <climits>
#include <cmath>
#include <functional>
#include <set>

namespace orbalis::host::json_input {

namespace {

std::string Index(size_t i) { return "[" + std::to_string(i) + "]"; }

// "layers", "[2]", "art", "[5]" becomes "layers[2].art[5]". Very deep
// locations keep their first and last steps: "layers[0].art[0] ... art[0].art".
std::string JoinLocation(const std::vector<std::string>& steps) {
    constexpr size_t kHead = 6;
    constexpr size_t kTail = 8;
    std::string out;
    auto append = [&out](const std::string& step) {
        if (!out.empty() && step.front() != '[' && out.back() != ' ') out += '.';
        out += step;
    };
    if (steps.size() <= kHead + kTail) {
        for (const auto& step : steps) append(step);
    } else {
        size_t tail = steps.size() - kTail;
        if (steps[tail].front() == '[') --tail;  // start the tail at a field name
        for (size_t i = 0; i < kHead; ++i) append(steps[i]);
        out += " ... ";
        for (size_t i = tail; i < steps.size(); ++i) append(steps[i]);
    }
    return out.empty() ? "document" : out;
}

// Watches the parser and notes the first object that repeats a field name.
class DuplicateFieldFinder {
public:
    bool operator()(int, nlohmann::detail::parse_event_t event, Json& parsed) {
        using Event = nlohmann::detail::parse_event_t;
        switch (event) {
        case Event::object_start:
        case Event::array_start:
            beginItem();
            frames_.push_back({event == Event::object_start, {}, {}, 0, false});
            break;
        case Event::object_end:
        case Event::array_end:
            if (!frames_.empty()) frames_.pop_back();
            break;
        case Event::key:
            if (!frames_.empty()) noteKey(parsed.get<std::string>());
            break;
        case Event::value: beginItem(); break;
        }
        return true;
    }

    const std::string& error() const { return error_; }

private:
    struct Frame {
        bool object;
        std::set<std::string> keys;
        std::string key;  // objects: the field being read
        size_t index;     // arrays: the item being read
        bool started;
    };

    void beginItem() {
        if (frames_.empty() || frames_.back().object) return;
        Frame& array = frames_.back();
        array.index = array.started ? array.index + 1 : 0;
        array.started = true;
    }

    void noteKey(const std::string& key) {
        Frame& object = frames_.back();
        object.key = key;
        if (!error_.empty() || object.keys.insert(key).second) return;
        std::vector<std::string> steps;
        for (size_t i = 0; i + 1 < frames_.size(); ++i)
            steps.push_back(frames_[i].object ? frames_[i].key : Index(frames_[i].index));
        error_ = JoinLocation(steps) + ": duplicate field " + Quote(key);
    }

    std::vector<Frame> frames_;
    std::string error_;
};

// The parser quotes the input it stopped at, which may hold control
// characters or broken UTF-8; those become '?' so that the message stays
// one printable line.
std::string Printable(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        if (byte >= 0x20 && byte < 0x7f)
            length = 1;
        else if (byte >= 0xc2 && byte <= 0xdf)
            length = 2;
        else if (byte >= 0xe0 && byte <= 0xef)
            length = 3;
        else if (byte >= 0xf0 && byte <= 0xf4)
            length = 4;
        bool valid = length > 0 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k) valid = (static_cast<unsigned char>(text[i + k]) & 0xc0) == 0x80;
        if (valid) {
            out.append(text, i, length);
            i += length;
        } else {
            out += '?';
            ++i;
        }
    }
    return out;
}

// nlohmann's messages start with an identifier meant for programmers.
std::string ParserMessage(const nlohmann::json::exception& e) {
    std::string message = e.what();
    if (message.rfind("[json.exception.", 0) == 0) {
        const size_t end = message.find("] ");
        if (end != std::string::npos) message.erase(0, end + 2);
    }
    message = Printable(message);
    const std::string parseError = "parse error at ";
    if (message.rfind(parseError, 0) == 0) return "invalid JSON at " + message.substr(parseError.size());
    return "invalid JSON: " + message;
}

}  // namespace

std::string Where::describe() const {
    std::vector<std::string> steps;
    for (const Where* w = this; w && w->parent; w = w->parent)
        steps.push_back(w->key ? std::string(w->key) : Index(w->index));
    return JoinLocation({steps.rbegin(), steps.rend()});
}

void Fail(const Where& where, const std::string& what) { throw ReadError{where.describe() + ": " + what}; }

const char* KindOf(const Json& value) {
    switch (value.type()) {
    case Json::value_t::null: return "null";
    case Json::value_t::boolean: return "a boolean";
    case Json::value_t::string: return "a string";
    case Json::value_t::array: return "an array";
    case Json::value_t::object: return "an object";
    case Json::value_t::binary: return "binary data";
    case Json::value_t::discarded: return "nothing";
    default: return "a number";
    }
}

void Expected(const Where& where, const char* what, const Json& found) {
    Fail(where, std::string("expected ") + what + ", found " + KindOf(found));
}

std::string Quote(const std::string& text) {
    return Json(text).dump(-1, ' ', false, nlohmann::detail::error_handler_t::replace);
}

Json ParseJson(const std::string& text) {
    DuplicateFieldFinder duplicates;
    Json root;
    try {
        root = Json::parse(text, std::ref(duplicates));
    } catch (const nlohmann::json::exception& e) {
        throw ReadError{ParserMessage(e)};
    }
    if (!duplicates.error().empty()) throw ReadError{duplicates.error()};
    return root;
}

// ---------------------------------------------------------------- values

double ReadNumber(const Json& value, const Where& where) {
    if (!value.is_number()) Expected(where, "a number", value);
    const double number = value.get<double>();
    if (!std::isfinite(number)) Fail(where, "number out of range");
    return number;
}

int64_t ReadInteger(const Json& value, const Where& where, int64_t lowest, int64_t highest) {
    if (!value.is_number_integer()) {
        if (value.is_number()) Fail(where, "expected a whole number");
        Expected(where, "a whole number", value);
    }
    if (value.is_number_unsigned()) {
        const uint64_t u = value.get<uint64_t>();
        if (u > static_cast<uint64_t>(highest)) Fail(where, "number out of range");
        return static_cast<int64_t>(u);
    }
    const int64_t i = value.get<int64_t>();
    if (i < lowest || i > highest) Fail(where, "number out of range");
    return i;
}

int32_t ReadInt32(const Json& value, const Where& where) {
    return static_cast<int32_t>(ReadInteger(value, where, INT32_MIN, INT32_MAX));
}

uint32_t ReadUInt32(const Json& value, const Where& where) {
    return static_cast<uint32_t>(ReadInteger(value, where, 0, UINT32_MAX));
}

bool ReadBool(const Json& value, const Where& where) {
    if (!value.is_boolean()) Expected(where, "true or false", value);
    return value.get<bool>();
}

std::string ReadString(const Json& value, const Where& where) {
    if (!value.is_string()) Expected(where, "a string", value);
    return value.get<std::string>();
}

const Json& ReadArray(const Json& value, const Where& where) {
    if (!value.is_array()) Expected(where, "an array", value);
    return value;
}

std::vector<double> ReadNumbers(const Json& value, const Where& where, size_t count, const char* what) {
    if (!value.is_array() || value.size() != count)
        Fail(where, "expected " + std::string(what) + ": " + std::to_string(count) + " numbers");
    std::vector<double> out;
    for (size_t i = 0; i < count; ++i) out.push_back(ReadNumber(value[i], where.item(i)));
    return out;
}

HostPoint ReadPoint(const Json& value, const Where& where) {
    auto n = ReadNumbers(value, where, 2, "a point [x, y]");
    return {n[0], n[1]};
}

HostMatrix ReadMatrix(const Json& value, const Where& where) {
    auto n = ReadNumbers(value, where, 6, "a matrix [a, b, c, d, tx, ty]");
    return {n[0], n[1], n[2], n[3], n[4], n[5]};
}

HostRect ReadRect(const Json& value, const Where& where) {
    auto n = ReadNumbers(value, where, 4, "a rectangle [left, top, right, bottom]");
    return {n[0], n[1], n[2], n[3]};
}

NameValues ReadPairs(const Json& value, const Where& where) {
    ReadArray(value, where);
    NameValues out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        const Json& pair = value[i];
        if (!pair.is_array() || pair.size() != 2 || !pair[0].is_string() || !pair[1].is_string())
            Fail(where.item(i), "expected a [name, value] pair of strings");
        out.emplace_back(pair[0].get<std::string>(), pair[1].get<std::string>());
    }
    return out;
}

// ---------------------------------------------------------------- objects

Fields::Fields(const Json& value, const Where& where) : object_(value), where_(where) {
    if (!value.is_object()) Expected(where, "an object", value);
}

const Json* Fields::find(const char* key) {
    asked_.push_back(key);
    auto it = object_.find(key);
    return it == object_.end() ? nullptr : &*it;
}

const Json& Fields::require(const char* key) {
    if (const Json* value = find(key)) return *value;
    Fail(where_, "missing field " + Quote(key));
}

double Fields::number(const char* key, double byDefault) {
    const Json* value = find(key);
    return value ? ReadNumber(*value, at(key)) : byDefault;
}

bool Fields::flag(const char* key, bool byDefault) {
    const Json* value = find(key);
    return value ? ReadBool(*value, at(key)) : byDefault;
}

std::string Fields::text(const char* key) {
    const Json* value = find(key);
    return value ? ReadString(*value, at(key)) : std::string();
}

HostMatrix Fields::matrix(const HostMatrix& byDefault) {
    const Json* value = find("matrix");
    return value ? ReadMatrix(*value, at("matrix")) : byDefault;
}

NameValues Fields::pairs(const char* key) {
    const Json* value = find(key);
    return value ? ReadPairs(*value, at(key)) : NameValues{};
}

void Fields::finish() const {
    for (auto it = object_.begin(); it != object_.end(); ++it) {
        bool known = false;
        for (const char* key : asked_) known = known || it.key() == key;
        if (!known) Fail(where_, "unknown field " + Quote(it.key()));
    }
}

}  // namespace orbalis::host::json_input
