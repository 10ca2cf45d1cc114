// Script lines: whole lines of any length, fields split at tabs, carriage
// returns and line feeds, and the decimal numbers of index and cell columns.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "fixtures/tool_state.h"
#include "teams/script_line.h"

namespace rostrix {

namespace {

// Every line a reader gives for `input`, each as far as its first NUL.
std::vector<std::string> readAllLines(const std::string& input) {
    ScriptStream script(input);
    LineReader reader = openLineReader(script.stream());
    std::vector<std::string> lines;
    while (readScriptLine(reader)) lines.emplace_back(reader.text);
    EXPECT_EQ(reader.readError, 0);
    EXPECT_FALSE(reader.outOfMemory);
    closeLineReader(reader);
    return lines;
}

struct LineCase {
    const char* name;
    std::string input;
    std::vector<std::string> lines;
};

std::vector<LineCase> lineCases() {
    using namespace std::string_literals;
    std::vector<LineCase> cases = {
        {"Empty", "", {}},
        {"BlankLines", "\n\n", {"\n", "\n"}},
        {"NoFinalNewline", "a\tb\nlast", {"a\tb\n", "last"}},
        {"CrLf", "a\r\n\r\nb\r\n", {"a\r\n", "\r\n", "b\r\n"}},
        {"LoneCarriageReturnIsNoLineEnd", "a\rb\n", {"a\rb\n"}},
        // The text of a line ends at its first NUL, and what follows the NUL
        // up to the newline is no line of its own.
        {"NulInsideLine", "ab\0cd\nef\n"s, {"ab", "ef\n"}},
        {"NulFirst", "\0x\ty\nz\n"s, {"", "z\n"}},
    };
    // Around the sizes where the reader's buffer grows, and far beyond: a long
    // line is one line, never several pieces.
    for (const std::size_t length : {2046u, 2047u, 2048u, 2049u, 4095u, 4096u, 100000u}) {
        const std::string longLine = std::string(length - 1, 'x') + "\n";
        cases.push_back({"LongLine", longLine + "next\n", {longLine, "next\n"}});
        cases.push_back({"LongLastLine", "first\n" + std::string(length, 'y'), {"first\n", std::string(length, 'y')}});
    }
    return cases;
}

}  // namespace

TEST(ScriptLineTest, ReadsWholeLines) {
    for (const LineCase& c : lineCases()) {
        SCOPED_TRACE(std::string(c.name) + " of " + std::to_string(c.input.size()) + " bytes");
        EXPECT_EQ(readAllLines(c.input), c.lines);
    }
}

TEST(ScriptLineTest, StaysAtEndOfInput) {
    ScriptStream script("one\n");
    LineReader reader = openLineReader(script.stream());
    ASSERT_TRUE(readScriptLine(reader));
    EXPECT_FALSE(readScriptLine(reader));
    EXPECT_FALSE(readScriptLine(reader));
    closeLineReader(reader);
}

// What follows a NUL is never text, so it must not be kept: a line of a few
// bytes and then a mebibyte of anything costs no more than a short line.
TEST(ScriptLineTest, KeepsNothingAfterANul) {
    using namespace std::string_literals;
    ScriptStream script("ab\0"s + std::string(1 << 20, '\0') + std::string(1 << 20, 'z') + "\nnext\n");
    LineReader reader = openLineReader(script.stream());
    ASSERT_TRUE(readScriptLine(reader));
    EXPECT_STREQ(reader.text, "ab");
    ASSERT_TRUE(readScriptLine(reader));
    EXPECT_STREQ(reader.text, "next\n");
    EXPECT_EQ(reader.capacity, 2048u);
    closeLineReader(reader);
}

TEST(ScriptLineTest, SplitsFields) {
    struct Case {
        std::string line;
        std::vector<std::string> fields;
    } const cases[] = {
        {"a.sqd\t3\n", {"a.sqd", "3"}},
        {"\t\ta.sqd\t3\r\n", {"a.sqd", "3"}},
        {"a\t\t\r\tb\n", {"a", "b"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {" a b\t c ", {" a b", " c "}},
        {"-\t-\tx\t0\t4", {"-", "-", "x", "0", "4"}},
        {"", {}},
        {"\n", {}},
        {"\t\r\n", {}},
        {"\t \t", {" "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::string text = c.line;
        FieldCursor cursor{text.data()};
        std::vector<std::string> fields;
        while (const char* field = nextField(cursor)) fields.emplace_back(field);
        EXPECT_EQ(fields, c.fields);
        // Once the line is used up it stays used up.
        EXPECT_EQ(nextField(cursor), nullptr);
    }
}

TEST(ScriptLineTest, ConvertsNumbersWithDefinedOverflow) {
    struct Case {
        const char* text;
        std::int32_t value;
    } const cases[] = {
        {"0", 0},
        {"15", 15},
        {"word", 0},
        {"", 0},
        {"5abc", 5},
        {"+3", 3},
        {"-1", -1},
        {"-0", 0},
        {"  7", 7},
        {" \v\f\r\t7", 7},
        {"+-3", 0},
        {"- 3", 0},
        {"--3", 0},
        {"3 4", 3},
        {"007", 7},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MIN},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MAX},
        {"4294967295", -1},
        {"4294967296", 0},
        {"4294967297", 1},
        {"-4294967297", -1},
        // 10^26 - 1 modulo 2^32 is 3825205247.
        {"99999999999999999999999999", -469762049},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(scriptNumber(c.text), c.value);
    }
}

}  // namespace rostrix
