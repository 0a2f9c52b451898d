// A small JSON reader for the map generator: enough for TopoJSON and GeoJSON files.
// Numbers are doubles; strings are UTF-8 (escapes decoded). Bad input is refused with a message
// that names the byte offset; nesting deeper than kMaxDepth is refused too.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rymd::mapgen {

struct JsonMember;

class JsonValue {
public:
    enum class Type { kNull, kBool, kNumber, kString, kArray, kObject };

    Type type = Type::kNull;
    bool boolean = false;
    double number = 0.0;
    std::string text;
    std::vector<JsonValue> items;                            // array elements
    std::vector<JsonMember> members;                         // object members in file order

    bool IsNull() const { return type == Type::kNull; }
    bool IsNumber() const { return type == Type::kNumber; }
    bool IsString() const { return type == Type::kString; }
    bool IsArray() const { return type == Type::kArray; }
    bool IsObject() const { return type == Type::kObject; }

    // The member of an object with this key (the first one), or null when there is none or
    // this is not an object.
    const JsonValue* Find(std::string_view key) const;
};

struct JsonMember {
    std::string first;  // the key
    JsonValue second;   // the value
};

inline constexpr int kMaxJsonDepth = 64;

// Parses the whole text (surrounding white space allowed). False with *error set when the
// text is not one well-formed JSON value.
bool ParseJson(std::string_view text, JsonValue& out, std::string* error);

}  // namespace rymd::mapgen
