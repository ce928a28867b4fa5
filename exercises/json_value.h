// A small JSON reader for exercise files: every value keeps the line and
// column where it starts, so that a file can be faulted at the right place
// long after it was read. Portable C++, no exceptions: the page builds it too.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    std::string text;                                        // a string's value (UTF-8), or a number as written
    std::vector<JsonValue> items;                            // Array
    std::vector<std::pair<std::string, JsonValue>> members;  // Object, in file order
    int line = 1;
    int column = 1;

    // The member named name of an object, or null.
    const JsonValue* Member(const std::string& name) const;
};

// Reads one JSON document (RFC 8259; a UTF-8 byte order mark is passed over).
// Duplicate names in an object and nesting deeper than 64 are refused. On
// false, error is "LINE:COLUMN: why".
bool ParseJson(const std::string& text, JsonValue& value, std::string& error);
