// Names as the reports show them: control characters escaped in tables, and
// only well-formed UTF-8 passed on (no overlong forms, surrogates, code
// points past U+10FFFF or cut sequences).
#include "inspect/display_text.h"

#include <gtest/gtest.h>
#include <tuple>

TEST(DisplayText, ControlsEscapedAndOnlyWellFormedUtf8PassedOn) {
    const std::string bad = "\xEF\xBF\xBD";  // U+FFFD in JSON, one a byte that is no UTF-8
    // U+10000, U+E000, U+D7FF and U+0800: valid, at the edges of overlong forms and surrogates
    const std::string edges = "\xF0\x90\x80\x80\xEE\x80\x80\xED\x9F\xBF\xE0\xA0\x80";
    // a name, as a table shows it, as JSON holds it
    const std::vector<std::tuple<std::string, std::string, std::string>> cases{
        {"a\x7f\"\\", "a\\x7f\"\\", "a\x7f\\\"\\\\"},
        {"\xC2\x80\xC2\xA0\x1B", "\\u0080\xC2\xA0\\x1b", "\xC2\x80\xC2\xA0\\u001b"}, {edges, edges, edges},
        {"\xC0\xAF\xED\xA0\x80\xED\xBF\xBF", "\\xc0\\xaf\\xed\\xa0\\x80\\xed\\xbf\\xbf",
            bad + bad + bad + bad + bad + bad + bad + bad},
        {"\xF4\x90\x80\x80\xF0\x8F\xBF\xBF", "\\xf4\\x90\\x80\\x80\\xf0\\x8f\\xbf\\xbf",
            bad + bad + bad + bad + bad + bad + bad + bad},
        {"\xF4\x8F\xBF\xBF\xF5\x80\xE2\x82", "\xF4\x8F\xBF\xBF\\xf5\\x80\\xe2\\x82",
            "\xF4\x8F\xBF\xBF" + bad + bad + bad + bad}};
    for (const auto& [name, table, json] : cases) {
        EXPECT_EQ(tableText(name), table);
        EXPECT_EQ(jsonString(name), "\"" + json + "\"");
    }
    EXPECT_EQ(displayWidth("M\xC3\xBCller \xF0\x9F\x98\x80"), 8u);
}
