// Names and paths as the reports show them.
#include "inspect/display_text.h"

#include <cstdint>
#include <cstdio>

namespace {

// Decodes the UTF-8 character at text[at]: no overlong forms, surrogates or
// code points past U+10FFFF.
// Returns: its length in bytes with code set, or 0 when the byte starts none.
std::size_t decodeUtf8(const std::string& text, std::size_t at, uint32_t& code) {
    static const uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};  // by length: shorter forms are overlong
    const auto first = static_cast<uint8_t>(text[at]);
    if (first < 0x80) {
        code = first;
        return 1;
    }
    const std::size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 0;
    if (length == 0 || first >= 0xF5 || text.size() - at < length) return 0;
    code = first & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<uint8_t>(text[at + i]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3Fu);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < kSmallest[length] || surrogate || code > 0x10FFFF ? 0 : length;
}

std::string escaped(const char* format, unsigned value) {
    char text[8];
    (void)std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

std::string tableText(const std::string& text) {
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        uint32_t code = 0;
        const std::size_t length = decodeUtf8(text, at, code);
        if (length == 0) {
            shown += escaped("\\x%02x", static_cast<uint8_t>(text[at]));
            ++at;
            continue;
        }
        if (code < 0x20 || code == 0x7F) {
            shown += escaped("\\x%02x", code);
        } else if (code >= 0x80 && code < 0xA0) {
            shown += escaped("\\u%04x", code);
        } else {
            shown.append(text, at, length);
        }
        at += length;
    }
    return shown;
}

std::size_t displayWidth(const std::string& text) {
    std::size_t width = 0;
    for (const char c : text) width += (static_cast<uint8_t>(c) & 0xC0) != 0x80 ? 1 : 0;
    return width;
}

std::string jsonString(const std::string& text) {
    std::string quoted = "\"";
    for (std::size_t at = 0; at < text.size();) {
        uint32_t code = 0;
        const std::size_t length = decodeUtf8(text, at, code);
        if (length == 0) {
            quoted += "\xEF\xBF\xBD";  // U+FFFD REPLACEMENT CHARACTER
            ++at;
            continue;
        }
        if (code == '"' || code == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(code);
        } else if (code < 0x20) {
            quoted += escaped("\\u%04x", code);
        } else {
            quoted.append(text, at, length);
        }
        at += length;
    }
    return quoted + "\"";
}

std::string countText(long long count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

std::string hexText(unsigned value, int digits) {
    char text[16];
    (void)std::snprintf(text, sizeof text, "%0*x", digits, value);
    return text;
}
