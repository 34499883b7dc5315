// Names and paths as the reports show them: in tables never a raw control
// character, in JSON a valid string of valid UTF-8.
#pragma once

#include <cstddef>
#include <string>

// Returns: text with control characters and bytes that are no UTF-8 shown
// as escapes (\x01, \u009b, \xff); valid UTF-8 kept as it is.
std::string tableText(const std::string& text);

// Returns: the columns text takes on a terminal (its characters, for valid UTF-8).
std::size_t displayWidth(const std::string& text);

// Returns: text as a quoted JSON string: valid UTF-8 kept as it is, quotes,
// backslashes and control characters escaped, U+FFFD for bytes that are no UTF-8.
std::string jsonString(const std::string& text);

// Returns: "1 byte", "2 bytes": count with its word, in the plural but for one.
std::string countText(long long count, const char* word);

// Returns: value in lower-case hexadecimal with at least digits digits, as every report shows banks and CRCs.
std::string hexText(unsigned value, int digits);
