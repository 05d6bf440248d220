// SPDX-License-Identifier: GPL-3.0-or-later
// Text conventions: the code page, the line reader and writer, the integer rule.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "files/integer_rule.h"
#include "files/text_codec.h"
#include "files/text_lines.h"
#include "support/child_process.h"
#include "support/hang_guard.h"
#include "support/odd_files.h"
#include "temp_dir.h"

namespace veka {
namespace {

// ---- Windows-1252 ----

TEST(TextCodec, EveryByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string utf8 = cp1252ToUtf8(all);
    EXPECT_TRUE(isValidUtf8(utf8));
    EXPECT_EQ(utf8ToCp1252(utf8), all);
}

TEST(TextCodec, KnownCharacters) {
    struct Case {
        std::string cp1252;
        std::string utf8;
    };
    const std::vector<Case> cases = {
        {"\xE4", "ä"},        {"\xDF", "ß"},        {"\x80", "€"},
        {"\x9F", "Ÿ"},        {"\x81", "\xC2\x81"}, {"\x9D", "\xC2\x9D"},
        {"\xA0", "\xC2\xA0"}, {"A", "A"},           {"Kurzschlu\xDF", "Kurzschluß"},
        {"\x96", "–"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cp1252ToUtf8(c.cp1252), c.utf8) << c.utf8;
        EXPECT_EQ(utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
    }
}

TEST(TextCodec, UnrepresentableBecomesQuestionMark) {
    struct Case {
        std::string utf8;
        std::string cp1252;
    };
    const std::vector<Case> cases = {
        {"Ω", "?"},         // not in the code page
        {"\xC2\x80", "?"},  // U+0080: the byte 0x80 is the euro sign
        {"😀", "?"},         // four-byte sequence
        {"a\xFF"
         "b",
         "a?b"},             // invalid byte
        {"\xE2\x82", "??"},  // truncated sequence
        {"\xC0\xAF", "??"},  // overlong form
    };
    for (const Case& c : cases) EXPECT_EQ(utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
}

TEST(TextCodec, Utf8Validity) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"", true},
        {"plain", true},
        {"Grüße", true},
        {"\xE4", false},
        {"\xC0\x80", false},
        {"\xED\xA0\x80", false},
        {"\xF4\x90\x80\x80", false},
        {"\xF0\x9F\x98\x80", true},
        {"\xE2\x82\xAC", true},
        {"\x80", false},
    };
    for (const auto& [bytes, valid] : cases) EXPECT_EQ(isValidUtf8(bytes), valid) << bytes;
}

TEST(TextCodec, TextFileGuessesEncoding) {
    EXPECT_EQ(textFileToUtf8("Gr\xFC\xDF"
                             "e"),
              "Grüße");                                       // Windows-1252
    EXPECT_EQ(textFileToUtf8("Grüße"), "Grüße");              // UTF-8
    EXPECT_EQ(textFileToUtf8("\xEF\xBB\xBFGrüße"), "Grüße");  // UTF-8 with mark
    EXPECT_EQ(textFileToUtf8("abc"), "abc");
}

// ---- Lines ----

std::vector<std::string> readLines(std::string_view bytes, int count) {
    LineReader reader(bytes);
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) lines.emplace_back(reader.next());
    return lines;
}

TEST(LineReader, LineEndRules) {
    using Lines = std::vector<std::string>;
    struct Case {
        std::string bytes;
        Lines lines;  // the first lines read, then one more past the end
    };
    const std::vector<Case> cases = {
        {"a\r\nb\r\n", {"a", "b", ""}},
        {"a\nb\r\n", {"a\nb", "", ""}},  // a lone LF is a character
        {"a\rb\r", {"a", "b", ""}},      // CR alone ends a line
        {"a\r\n\nb", {"a", "\nb", ""}},  // only one LF belongs to the CR
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\r\nb\x1A"
         "c\r\nd",
         {"a", "b", ""}},  // Ctrl-Z ends the file
        {"\x1A"
         "a\r\n",
         {"", "", ""}},
        {"", {"", "", ""}},
        {"last", {"last", "", ""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readLines(c.bytes, static_cast<int>(c.lines.size())), c.lines) << c.bytes;
}

TEST(LineReader, AtEndAfterTheLastLine) {
    struct Case {
        std::string bytes;
        int lines;  // lines read before atEnd()
    };
    const std::vector<Case> cases = {
        {"", 0},    {"a", 1},      {"a\r\n", 1},     {"a\r\n\r\n", 2},
        {"a\r", 1}, {"a\r\nb", 2}, {"a\x1A\r\n", 1}, {"\r\n", 1},
    };
    for (const Case& c : cases) {
        LineReader reader(c.bytes);
        int n = 0;
        while (!reader.atEnd()) {
            reader.next();
            ++n;
        }
        EXPECT_EQ(n, c.lines) << c.bytes;
        EXPECT_EQ(reader.next(), "");
        EXPECT_TRUE(reader.atEnd());
    }
}

TEST(LineWriter, EveryLineEndsWithCrLf) {
    LineWriter writer;
    writer.line("eins");
    writer.line("");
    writer.line("drei\n");
    EXPECT_EQ(writer.take(), "eins\r\n\r\ndrei\n\r\n");
}

TEST(ReadFileBytes, FilesAndNonFiles) {
    test::TempDir dir;
    const std::string bytes("a\0b\r\n\xFF", 6);
    test::writeBytes(dir.file("x.cfg"), bytes);
    EXPECT_EQ(readFileBytes(dir.file("x.cfg")), bytes);
    EXPECT_EQ(readFileBytes(dir.file("missing.cfg")), std::nullopt);
    EXPECT_EQ(readFileBytes(dir.path().string()), std::nullopt);  // a directory
    EXPECT_EQ(readFileBytes(""), std::nullopt);
}

TEST(ReadFileBytes, BoundsPipesAndDevices) {
    test::TempDir dir;
    constexpr size_t bound = 4096;
    test::writeBytes(dir.file("exact"), std::string(bound, 'x'));
    test::writeBytes(dir.file("over"), std::string(bound + 1, 'x'));
    test::writeBytes(dir.file("empty"), "");
    test::sparseFile(dir.file("sparse-exact"), bound, "head");
    test::sparseFile(dir.file("sparse-2g"), off_t{2} << 30, "head");
    test::makeOddFile(test::OddFile::Fifo, dir.file("fifo"), bound);
    test::makeOddFile(test::OddFile::DevZero, dir.file("zero"), bound);
    std::filesystem::create_symlink("exact", dir.file("link"));
    std::filesystem::create_symlink("/dev/null", dir.file("null"));
    struct Case {
        std::string name;
        ReadStatus status;
        size_t size;
    };
    const std::vector<Case> cases = {
        {"exact", ReadStatus::Ok, bound},       {"over", ReadStatus::TooLarge, 0},
        {"empty", ReadStatus::Ok, 0},           {"sparse-exact", ReadStatus::Ok, bound},
        {"sparse-2g", ReadStatus::TooLarge, 0}, {"fifo", ReadStatus::Unreadable, 0},
        {"zero", ReadStatus::Unreadable, 0},    {"link", ReadStatus::Ok, bound},
        {"null", ReadStatus::Unreadable, 0},    {"missing", ReadStatus::Unreadable, 0},
    };
    for (const Case& c : cases) {
        const test::HangGuard guard("reading " + c.name);
        ReadStatus status = ReadStatus::Ok;
        const auto bytes = readFileBytes(dir.file(c.name), bound, &status);
        EXPECT_EQ(status, c.status) << c.name;
        EXPECT_EQ(bytes.has_value(), c.status == ReadStatus::Ok) << c.name;
        if (bytes) {
            EXPECT_EQ(bytes->size(), c.size) << c.name;
        }
    }
    EXPECT_EQ(readFileBytes(dir.file("sparse-exact"), bound)->substr(0, 5),
              std::string("head\0", 5));
}

TEST(ReadFileBytes, UnreadableForTheUser) {
    test::TempDir dir;
    test::giveToChild(dir.path());
    test::writeBytes(dir.file("secret"), "x");
    ::chmod(dir.file("secret").c_str(), 0200);
    const std::string report = test::inChild({}, [&]() -> std::string {
        ReadStatus status = ReadStatus::Ok;
        if (readFileBytes(dir.file("secret"), 10, &status) || status != ReadStatus::Unreadable)
            return "a file without read permission was read";
        return {};
    });
    EXPECT_EQ(report, "");
}

long maxResidentKilobytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A huge file is refused before anything is read, so memory does not follow its size.
TEST(ReadFileBytes, HugeSparseFileCostsNoMemory) {
    test::TempDir dir;
    test::sparseFile(dir.file("huge.dat"), off_t{2} << 30);
    const long before = maxResidentKilobytes();
    ReadStatus status = ReadStatus::Ok;
    EXPECT_EQ(readFileBytes(dir.file("huge.dat"), MaxFileBytes, &status), std::nullopt);
    EXPECT_EQ(status, ReadStatus::TooLarge);
    EXPECT_LT(maxResidentKilobytes() - before, 64 * 1024);
}

TEST(ReadFileBytes, TooLargeMessageNamesFileAndBound) {
    EXPECT_EQ(tooLargeMessage("a.cfg", size_t{1} << 20),
              "Die Datei \"a.cfg\" ist zu groß (mehr als 1 MiB) und wurde nicht gelesen.");
    EXPECT_EQ(tooLargeMessage("b", 1000),
              "Die Datei \"b\" ist zu groß (mehr als 1000 Bytes) und wurde nicht gelesen.");
}

// ---- The integer rule ----

TEST(IntegerRule, ParseInteger) {
    struct Case {
        std::string text;
        std::optional<int32_t> value;
    };
    const std::vector<Case> cases = {
        {"0", 0},
        {"150", 150},
        {" 150", 150},
        {"   -7", -7},
        {"+5", 5},
        {"-0", 0},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"000000000002147483647", 2147483647},
        {"$989680", 10000000},
        {"x10", 16},
        {"X10", 16},
        {"0x10", 16},
        {"0XfF", 255},
        {"$FFFFFFFF", -1},
        {"$80000000", INT32_MIN},
        {"$7fffffff", INT32_MAX},
        {" $10", 16},
        {"$00000001", 1},
        {"150 ", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"$1FFFFFFFF", std::nullopt},
        {"$000000001", std::nullopt},
        {"-$10", std::nullopt},
        {"+$10", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"$G", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"1.5", std::nullopt},
        {"1,5", std::nullopt},
        {"1e3", std::nullopt},
        {"\t5", std::nullopt},
        {"5\r", std::nullopt},
        {"- 5", std::nullopt},
        {"1=2", std::nullopt},
        {"abc", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(parseInteger(c.text), c.value) << '"' << c.text << '"';
}

TEST(IntegerRule, FallbackForInvalidText) {
    EXPECT_EQ(integerOr("12", 99), 12);
    EXPECT_EQ(integerOr("12x", 99), 99);
    EXPECT_EQ(integerOr("", -1), -1);
}

TEST(IntegerRule, LeadingInteger) {
    struct Case {
        std::string field;
        int32_t value;
    };
    const std::vector<Case> cases = {
        {"", 0},
        {"abc", 0},
        {"300", 300},
        {"  -5", -5},
        {"+12", 12},
        {"12abc", 12},
        {"12 34", 12},
        {"1.5", 1},
        {"-", 0},
        {"- 5", 0},
        {"$ff;", 255},
        {"0x10zz", 16},
        {"x1F", 31},
        {"$FFFFFFFF", -1},
        {"-$10", 0},  // hexadecimal takes no sign
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"2147483648", INT32_MAX},  // saturates
        {"99999999999999999999", INT32_MAX},
        {"-99999999999999999999", INT32_MIN},
        {"$123456789", -1},  // saturates at all bits set
        {"0", 0},
        {"0012", 12},
    };
    for (const Case& c : cases) EXPECT_EQ(leadingInteger(c.field), c.value) << c.field;
}

}  // namespace
}  // namespace veka
