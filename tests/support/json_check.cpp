// Every JSON report of the suite is read as JSON and held against the
// tables of the same run: the same status, the same summaries, the same
// errors. A JSON text built by hand cannot go wrong unseen.
#include "support/json_check.h"

#include <cctype>
#include <gtest/gtest.h>

namespace {

struct Parser {
    const std::string& text;
    std::size_t at = 0;

    void blanks() {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) != 0) ++at;
    }
    bool take(char c) {
        blanks();
        if (at >= text.size() || text[at] != c) return false;
        ++at;
        return true;
    }
    bool word(const char* w, Json& value, Json::Type type, bool flag) {
        const std::string expected(w);
        if (text.compare(at, expected.size(), expected) != 0) return false;
        at += expected.size();
        value.type = type;
        value.flag = flag;
        return true;
    }
    bool string(std::string& out) {
        if (!take('"')) return false;
        for (; at < text.size() && text[at] != '"'; ++at) {
            if (static_cast<unsigned char>(text[at]) < 0x20) return false;  // a control character unescaped
            if (text[at] != '\\') {
                out += text[at];
                continue;
            }
            const char escaped = text[++at];
            if (escaped == 'u') {
                if (at + 4 >= text.size()) return false;
                const unsigned code = static_cast<unsigned>(std::stoul(text.substr(at + 1, 4), nullptr, 16));
                out += code < 0x80 ? static_cast<char>(code) : '?';  // enough to compare with the tables
                at += 4;
            } else if (std::string("\"\\/bfnrt").find(escaped) != std::string::npos) {
                out += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
            } else {
                return false;
            }
        }
        return take('"');
    }
    bool value(Json& out) {
        blanks();
        if (at >= text.size()) return false;
        const char c = text[at];
        if (c == '{') {
            out.type = Json::Type::Object;
            ++at;
            if (take('}')) return true;
            do {
                std::pair<std::string, Json> member;
                if (!string(member.first) || !take(':') || !value(member.second)) return false;
                out.members.push_back(std::move(member));
            } while (take(','));
            return take('}');
        }
        if (c == '[') {
            out.type = Json::Type::Array;
            ++at;
            if (take(']')) return true;
            do {
                out.items.emplace_back();
                if (!value(out.items.back())) return false;
            } while (take(','));
            return take(']');
        }
        if (c == '"') {
            out.type = Json::Type::String;
            return string(out.text);
        }
        if (c == 't') return word("true", out, Json::Type::Bool, true);
        if (c == 'f') return word("false", out, Json::Type::Bool, false);
        if (c == 'n') return word("null", out, Json::Type::Null, false);
        std::size_t used = 0;
        out.type = Json::Type::Number;
        out.number = std::stod(text.substr(at, 32), &used);
        at += used;
        return used > 0;
    }
};

std::string numberText(const Json* value) {
    return value ? std::to_string(static_cast<long long>(value->number)) : "?";
}

// Holds one file's entry against the table: its summary in the table's words, or its error there.
void checkFile(const Json& file, const RunResult& table) {
    const Json* kind = file["kind"];
    const Json* summary = file["summary"];
    const std::string name = file["file"] ? file["file"]->text : "?";
    if (const Json* error = file["error"]) {
        EXPECT_PRED2(contains, table.err, error->text) << name;
        return;
    }
    if (kind == nullptr || summary == nullptr) return;
    const Json& s = *summary;
    if (kind->text == "flash image") {
        EXPECT_PRED2(contains, table.out,
            "banks used: " + numberText(s["used"]) + ", blank: " + numberText(s["blank"]) +
                ", unknown: " + numberText(s["unknown"]) + ", misplaced: " + numberText(s["misplaced"]) + "\n");
    } else if (kind->text == "ROM file" && s["blocks"]->number > 0) {
        EXPECT_PRED2(contains, table.out,
            "blocks: " + numberText(s["blocks"]) + ", known: " + numberText(s["known"]) +
                ", blank: " + numberText(s["blank"]) + ", unknown: " + numberText(s["unknown"]) + "\n");
    } else if (kind->text == "catalogue") {
        EXPECT_PRED2(contains, table.out,
            "lines: " + numberText(s["lines"]) + ", entries: " + numberText(s["entries"]) +
                ", refused: " + numberText(s["refused"]) + ", listed again: " + numberText(s["listedAgain"]) + "\n");
    }
}

}  // namespace

const Json* Json::operator[](const std::string& key) const {
    for (const auto& [name, value] : members) {
        if (name == key) return &value;
    }
    return nullptr;
}

bool parseJson(const std::string& text, Json& value) {
    Parser parser{text};
    if (!parser.value(value)) return false;
    parser.blanks();
    return parser.at == text.size();
}

void checkJsonAgainstTable(const RunResult& json, const RunResult& table) {
    EXPECT_EQ(json.status, table.status) << "the same verdict both ways";
    if (json.out.empty()) return;  // nothing printed (usage, a report that could not be written)
    Json report;
    ASSERT_TRUE(parseJson(json.out, report)) << "not JSON:\n" << json.out;
    if (const Json* error = report["error"]) {
        EXPECT_PRED2(contains, table.err, error->text);
    }
    if (const Json* files = report["files"]) {
        for (const Json& file : files->items) checkFile(file, table);
    }
    const Json* compare = report["compare"];
    if (compare != nullptr && (*compare)["summary"] != nullptr) {
        const Json& s = *(*compare)["summary"];
        EXPECT_PRED2(contains, table.out,
            "banks: " + numberText(s["banks"]) + ", same: " + numberText(s["same"]) +
                ", differ: " + numberText(s["differ"]) + "\n");
    }
}
