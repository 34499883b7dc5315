// Reading the inspector's JSON reports back, and holding them against the
// tables of the same run.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "support/test_support.h"

struct Json {
    enum class Type { Null, Bool, Number, String, Array, Object };
    Type type = Type::Null;
    bool flag = false;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> members;
    // Returns: the member named key of an object, or nullptr.
    const Json* operator[](const std::string& key) const;
};

// Returns: true with value set when text is one JSON document (and nothing else).
bool parseJson(const std::string& text, Json& value);

// Checks that a --json run printed JSON that says what the tables of the
// same run say: its status, each file's summary or error, the comparison's summary.
void checkJsonAgainstTable(const RunResult& json, const RunResult& table);
