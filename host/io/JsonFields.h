// Checked access to parsed JSON for the host's file readers: every value is
// read through a `Where` that names its place in the file, and anything of
// the wrong shape throws a ReadError whose message is one line,
// "layers[2].art[5].segments[3]: what is wrong".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/model/Art.h"

namespace orbalis::host::json_input {

using Json = nlohmann::ordered_json;

struct ReadError {
    std::string message;
};

// Where a value sits in the file. Each one lives on the stack of the code
// reading the value, above its parent's; the root has no parent.
struct Where {
    const Where* parent = nullptr;
    const char* key = nullptr;  // a field name; null for an array item
    size_t index = 0;

    Where field(const char* name) const { return {this, name, 0}; }
    Where item(size_t i) const { return {this, nullptr, i}; }
    // "layers[2].art[5]"; "document" for the root.
    std::string describe() const;
};

[[noreturn]] void Fail(const Where& where, const std::string& what);
// "expected <what>, found <the kind of value found>".
[[noreturn]] void Expected(const Where& where, const char* what, const Json& found);
const char* KindOf(const Json& value);
// A string as JSON writes it, so that odd characters stay visible and on one line.
std::string Quote(const std::string& text);

// Parses JSON text, refusing objects that repeat a field name (which a
// parser would otherwise settle silently by keeping one of them).
Json ParseJson(const std::string& text);

double ReadNumber(const Json& value, const Where& where);  // finite
int64_t ReadInteger(const Json& value, const Where& where, int64_t lowest, int64_t highest);
int32_t ReadInt32(const Json& value, const Where& where);
uint32_t ReadUInt32(const Json& value, const Where& where);
bool ReadBool(const Json& value, const Where& where);
std::string ReadString(const Json& value, const Where& where);
const Json& ReadArray(const Json& value, const Where& where);
// An array of exactly `count` numbers; `what` describes it in errors.
std::vector<double> ReadNumbers(const Json& value, const Where& where, size_t count, const char* what);
HostPoint ReadPoint(const Json& value, const Where& where);    // [x, y]
HostMatrix ReadMatrix(const Json& value, const Where& where);  // [a, b, c, d, tx, ty]
HostRect ReadRect(const Json& value, const Where& where);      // [left, top, right, bottom]
NameValues ReadPairs(const Json& value, const Where& where);   // [[name, value], ...]

// The fields of one JSON object. Every field asked for is ticked off, and
// finish() refuses any that nobody asked for: a misspelt field is an
// error, never silently dropped.
class Fields {
public:
    Fields(const Json& value, const Where& where);

    Where at(const char* key) const { return where_.field(key); }
    const Where& where() const { return where_; }

    const Json* find(const char* key);  // null when absent
    const Json& require(const char* key);
    double number(const char* key, double byDefault);
    bool flag(const char* key, bool byDefault);
    std::string text(const char* key);               // empty by default
    HostMatrix matrix(const HostMatrix& byDefault);  // the field "matrix"
    NameValues pairs(const char* key);
    void finish() const;

private:
    const Json& object_;
    const Where& where_;
    std::vector<const char*> asked_;
};

}  // namespace orbalis::host::json_input
