// SPDX-License-Identifier: GPL-3.0-or-later
// Configuration files, the start-up file and the frequency marks.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/config_file.h"
#include "files/marks_file.h"
#include "files/text_lines.h"
#include "support/hang_guard.h"
#include "support/odd_files.h"
#include "temp_dir.h"

namespace veka {
namespace {

std::string crlf(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\r\n";
    return out;
}

// The file a fresh start writes, line by line as the file format prescribes.
const std::vector<std::string> kStartFile = {
    "Hardwareversion  = V7.3 ",   "Sprache          =",        "Startfrequenz    =10000000",
    "Endfrequenz      =35000000", "Schrittweite     =10000",   "Taktfrequenz     =100000000",
    "Eichfrequenz     =10000000", "Zwischenfrequenz =9000000", "ZF-Berechnung    =0",
    "Comport          =2",        "Korrfaktor1Dlog  =50",      "Korrfaktor2Dlog  =250",
    "Korrfaktor1Rlog  =50",       "Korrfaktor2Rlog  =250",     "Korrfaktor1Slog  =50",
    "Korrfaktor2Slog  =250",      "Korrfaktor1Dlin  =50",      "Korrfaktor2Dlin  =250",
    "Korrfaktor1Rlin  =50",       "Korrfaktor2Rlin  =250",     "Korrfaktor1Slin  =50",
    "Korrfaktor2Slin  =250",      "Delay            =1",       "Line1            =0",
    "Line2            =0",        "Line3            =0",       "Line4            =0",
    "Line5            =0",        "Line6            =0",       "Line7            =0",
    "Line1 Text       =10",       "Line2 Text       =10",      "Line3 Text       =10",
    "Line4 Text       =10",       "Line5 Text       =10",      "Line6 Text       =10",
    "Line7 Text       =10",       "Messpunkte       =280",     "Hintergrundfarbe =255",
    "Diagrammfarbe    =0",        "Kurvenfarbe      =230",     "Freq. Markenfarbe=150",
    "Cursor           =24",       "Baudrate         =9600",    "Messgenauigkeit  =8",
};

// Every setting by name, so that a mismatch shows which one differs.
std::string describe(const Einstellungen& e) {
    std::string out = "Hardwareversion=" + e.Hardwareversion + "|Sprache=" + e.Sprache;
    const auto add = [&](const char* name, int32_t v) {
        out += std::string("|") + name + "=" + std::to_string(v);
    };
    add("Startfrequenz", e.Startfrequenz);
    add("Endfrequenz", e.Endfrequenz);
    add("Schrittweite", e.Schrittweite);
    add("Taktfrequenz", e.Taktfrequenz);
    add("Eichfrequenz", e.Eichfrequenz);
    add("Zwischenfrequenz", e.Zwischenfrequenz);
    add("ZFBerechnung", e.ZFBerechnung);
    add("Comport", e.Comport);
    for (const Korrfaktorpaar* p : {&e.Dlog, &e.Rlog, &e.Slog, &e.Dlin, &e.Rlin, &e.Slin}) {
        add("k1", p->k1);
        add("k2", p->k2);
    }
    add("Delay", e.Delay);
    for (int32_t v : e.Line) add("Line", v);
    for (int32_t v : e.LineText) add("LineText", v);
    add("Messpunkte", e.Messpunkte);
    add("Hintergrundfarbe", e.Hintergrundfarbe);
    add("Diagrammfarbe", e.Diagrammfarbe);
    add("Kurvenfarbe", e.Kurvenfarbe);
    add("Markenfarbe", e.Markenfarbe);
    add("Cursor", e.Cursor);
    add("Baudrate", e.Baudrate);
    add("Messgenauigkeit", e.Messgenauigkeit);
    return out;
}

// Settings with a distinct value in every field, negative ones included.
Einstellungen distinctSettings() {
    Einstellungen e;
    e.Hardwareversion = "VEKAMX";
    e.Sprache = "English";
    e.Startfrequenz = -1;
    e.Endfrequenz = INT32_MAX;
    e.Schrittweite = INT32_MIN;
    e.Taktfrequenz = 99999999;
    e.Eichfrequenz = 3;
    e.Zwischenfrequenz = -455000;
    e.ZFBerechnung = 3;
    e.Comport = 7;
    int32_t next = -100;
    for (Korrfaktorpaar* p : {&e.Dlog, &e.Rlog, &e.Slog, &e.Dlin, &e.Rlin, &e.Slin}) {
        p->k1 = next++;
        p->k2 = next++;
    }
    e.Delay = 0;
    for (size_t k = 0; k < 7; ++k) {
        e.Line[k] = static_cast<int32_t>(k * 11 + 1);
        e.LineText[k] = -static_cast<int32_t>(k + 1);
    }
    e.Messpunkte = 300;
    e.Hintergrundfarbe = 1;
    e.Diagrammfarbe = 2;
    e.Kurvenfarbe = 0x1234;
    e.Markenfarbe = 4;
    e.Cursor = 5;
    e.Baudrate = 57600;
    e.Messgenauigkeit = 10;
    return e;
}

TEST(ConfigFile, StartValuesWriteTheStartFile) {
    EXPECT_EQ(konfigurationSchreiben(Einstellungen{}), crlf(kStartFile));
}

TEST(ConfigFile, DefaultsFileByteExact) {
    const std::string bytes = konfigurationSchreiben(konfigurationsVorgaben());
    EXPECT_TRUE(
        bytes.starts_with("Hardwareversion  =VEKA\r\nSprache          =-DL\r\n"
                          "Startfrequenz    =10000000\r\n"));
    EXPECT_TRUE(bytes.ends_with("Messgenauigkeit  =8\r\n"));
    EXPECT_NE(bytes.find("\r\nSchrittweite     =1000\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\nLine7            =350\r\nLine1 Text       =12\r\n"),
              std::string::npos);
    EXPECT_NE(bytes.find("\r\nLine7 Text       =40\r\n"), std::string::npos);
}

TEST(ConfigFile, EveryLineHasAnEighteenCharacterKey) {
    const std::string bytes = konfigurationSchreiben(distinctSettings());
    LineReader reader(bytes);
    int lines = 0;
    while (!reader.atEnd()) {
        const std::string_view line = reader.next();
        ASSERT_GE(line.size(), 18u);
        EXPECT_EQ(line[17], '=') << line;
        ++lines;
    }
    EXPECT_EQ(lines, KonfigZeilen);
}

TEST(ConfigFile, RoundTripRestoresEverySetting) {
    const Einstellungen written = distinctSettings();
    Einstellungen read;
    konfigurationLesen(konfigurationSchreiben(written), read);
    EXPECT_EQ(describe(read), describe(written));
}

TEST(ConfigFile, RoundTripKeepsUmlautsAndBlanks) {
    Einstellungen written = distinctSettings();
    written.Sprache = "  Deutsch (Österreich) ";
    const std::string bytes = konfigurationSchreiben(written);
    EXPECT_NE(bytes.find("Sprache          =  Deutsch (\xD6sterreich) \r\n"), std::string::npos);
    Einstellungen read;
    konfigurationLesen(bytes, read);
    EXPECT_EQ(read.Sprache, written.Sprache);
}

TEST(ConfigFile, EmptyStringsReadBackAsDefaults) {
    Einstellungen written = distinctSettings();
    written.Hardwareversion.clear();
    written.Sprache.clear();
    Einstellungen read;
    konfigurationLesen(konfigurationSchreiben(written), read);
    EXPECT_EQ(read.Hardwareversion, "VEKA");
    EXPECT_EQ(read.Sprache, "-DL");
    EXPECT_EQ(read.Startfrequenz, -1);
}

// Reads the start file with one line replaced.
Einstellungen readWithLine(size_t lineIndex, const std::string& line) {
    std::vector<std::string> lines = kStartFile;
    lines[lineIndex] = line;
    Einstellungen e = distinctSettings();
    konfigurationLesen(crlf(lines), e);
    return e;
}

TEST(ConfigFile, IntegerLineEdgeCases) {
    constexpr size_t start = 2, messpunkte = 37;
    struct Case {
        size_t line;
        std::string text;
        int32_t expected;
    };
    const std::vector<Case> cases = {
        {start, "Endfrequenz      =5", 5},  // assigned by position
        {start, "Startfrequenz    =$989680", 10000000},
        {start, "4711", 4711},
        {start, "x=1=2", 10000000},
        {start, "Startfrequenz    =", 10000000},
        {start, "", 10000000},
        {start, "=-2147483648", INT32_MIN},
        {start, "Startfrequenz    =2147483648", 10000000},
        {start, "Startfrequenz    =$FFFFFFFF", -1},
        {messpunkte, "Messpunkte       = 150", 150},
        {messpunkte, "Messpunkte       =150 ", 280},
        {messpunkte, "Messpunkte       =301", 300},
        {messpunkte, "Messpunkte       =2147483647", 300},
        {messpunkte, "Messpunkte       =300", 300},
        {messpunkte, "Messpunkte       =0", 0},
        {messpunkte, "Messpunkte       =-5", -5},
    };
    for (const Case& c : cases) {
        const Einstellungen e = readWithLine(c.line, c.text);
        EXPECT_EQ(c.line == start ? e.Startfrequenz : e.Messpunkte, c.expected) << c.text;
    }
}

TEST(ConfigFile, StringLineEdgeCases) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"x=1=2", "1=2"},
        {"Hardwareversion  =", "VEKA"},
        {"", "VEKA"},
        {"VEKAMX", "VEKAMX"},  // no "=": the whole line
        {"Hardwareversion  = V7.3 ", " V7.3 "},
        {"Hardwareversion  =Gr\xFC\xDF"
         "e",
         "Grüße"},
    };
    for (const Case& c : cases) EXPECT_EQ(readWithLine(0, c.text).Hardwareversion, c.expected);
}

TEST(ConfigFile, JunkHoldsNoSettings) {
    const struct {
        std::string bytes;
        bool holds;
    } cases[] = {
        {konfigurationSchreiben(Einstellungen{}), true},
        {"VEKA\r\n-DL\r\nStartfrequenz    =abc\r\nEndfrequenz=7\r\n", true},
        {"ssh-rsa AAAAB3NzaC1yc2E= user@host\n", false},
        {"[-EN]\nSprache=-EN\nText=Hallo\n", false},
        {"12\n34\n", false},  // the first two lines are texts
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(holdsSettings(c.bytes), c.holds) << c.bytes;
}

TEST(ConfigFile, ShortFileGivesDefaultsForMissingLines) {
    const std::vector<std::string> ten(kStartFile.begin(), kStartFile.begin() + 10);
    Einstellungen e = distinctSettings();
    konfigurationLesen(crlf(ten), e);
    Einstellungen expected = konfigurationsVorgaben();
    expected.Hardwareversion = " V7.3 ";
    expected.Schrittweite = 10000;  // line 5, present
    EXPECT_EQ(describe(e), describe(expected));
    EXPECT_EQ(e.Dlog.k1, 50);
    EXPECT_EQ(e.Line[0], 50);
    EXPECT_EQ(e.LineText[0], 12);
}

TEST(ConfigFile, LinesAfterTheLastKeyAreIgnored) {
    std::vector<std::string> lines = kStartFile;
    lines.push_back("Messpunkte       =17");
    Einstellungen e;
    konfigurationLesen(crlf(lines), e);
    Einstellungen expected;
    expected.Sprache = "-DL";
    EXPECT_EQ(describe(e), describe(expected));
}

TEST(ConfigFile, LoneLineFeedsDoNotEndLines) {
    // Unix line ends make the whole file one line: the first setting takes it all.
    std::string unix;
    for (const std::string& line : kStartFile) unix += line + "\n";
    Einstellungen e;
    konfigurationLesen(unix, e);
    EXPECT_EQ(e.Hardwareversion.substr(0, 7), " V7.3 \n");
    EXPECT_EQ(e.Startfrequenz, 10000000);  // a default: the line is missing
    EXPECT_EQ(e.Schrittweite, 1000);
}

TEST(StartupConfig, CreatesTheMissingFileThenReadsIt) {
    test::TempDir dir;
    const std::string path = dir.file("vekami.cfg");
    Einstellungen first;
    EXPECT_EQ(startupLoadOrCreate(first, path), "");
    EXPECT_EQ(describe(first), describe(Einstellungen{}));
    EXPECT_EQ(readFileBytes(path), crlf(kStartFile));

    Einstellungen second;
    EXPECT_EQ(startupLoadOrCreate(second, path), "");
    EXPECT_EQ(second.Hardwareversion, " V7.3 ");
    EXPECT_EQ(second.Sprache, "-DL");
    EXPECT_EQ(second.Schrittweite, 10000);
}

TEST(StartupConfig, LoadsAnExistingFileWithoutWriting) {
    test::TempDir dir;
    const std::string path = dir.file("mine.cfg");
    test::writeBytes(path, "Hardwareversion  =VEKAMX\r\n");
    Einstellungen e;
    EXPECT_EQ(startupLoadOrCreate(e, path), "");
    EXPECT_EQ(e.Hardwareversion, "VEKAMX");
    EXPECT_EQ(e.Schrittweite, 1000);
    EXPECT_EQ(readFileBytes(path), "Hardwareversion  =VEKAMX\r\n");
}

TEST(StartupConfig, NeitherReadableNorCreatable) {
    test::TempDir dir;
    test::writeBytes(dir.file("plain"), "x");
    for (const std::string& path : {dir.file("plain") + "/vekami.cfg", dir.path().string()}) {
        Einstellungen e = distinctSettings();
        const std::string error = startupLoadOrCreate(e, path);
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_EQ(describe(e), describe(distinctSettings()));
    }
}

// Too large, a pipe, a device: reported, never read, never replaced, nothing blocks.
TEST(StartupConfig, OddFilesAreReportedAndKept) {
    for (const test::OddFile kind : test::kOddFiles) {
        test::TempDir dir;
        const std::string path = dir.file("vekami.cfg");
        test::makeOddFile(kind, path, MaxKonfigBytes, "Hardwareversion  =VEKAMX\r\n");
        const auto before = std::filesystem::symlink_status(path).type();
        Einstellungen e = distinctSettings();
        std::string error;
        {
            const test::HangGuard guard(std::string("start-up file ") + describe(kind));
            error = startupLoadOrCreate(e, path);
        }
        const bool oversized = kind == test::OddFile::Oversized;
        EXPECT_EQ(error, oversized ? tooLargeMessage(path, MaxKonfigBytes)
                                   : "Die Datei \"" + path + "\" konnte nicht gelesen werden.")
            << describe(kind);
        EXPECT_EQ(describe(e), describe(distinctSettings())) << describe(kind);
        EXPECT_EQ(std::filesystem::symlink_status(path).type(), before) << describe(kind);
        if (oversized) {
            EXPECT_EQ(std::filesystem::file_size(path), MaxKonfigBytes + 1);
        }
    }
}

TEST(StartupConfig, FileAtTheBoundIsRead) {
    test::TempDir dir;
    const std::string path = dir.file("vekami.cfg");
    test::sparseFile(path, static_cast<off_t>(MaxKonfigBytes), "Hardwareversion  =VEKAMX\r\n");
    Einstellungen e;
    EXPECT_EQ(startupLoadOrCreate(e, path), "");
    EXPECT_EQ(e.Hardwareversion, "VEKAMX");
    EXPECT_EQ(e.Sprache.size(), MaxKonfigBytes - 26);  // the zeros after the first line
}

// ---- Frequency marks ----

TEST(MarksFile, Lines) {
    std::string many;
    for (int k = 1; k <= 25; ++k) many += std::to_string(k * 1000) + "\r\n";
    Frequenzmarkenfeld first20{};
    for (int k = 1; k <= 20; ++k) first20[static_cast<size_t>(k)] = k * 1000;

    struct Case {
        std::string bytes;
        Frequenzmarkenfeld marks;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"1000000\r\nabc\r\n3000000\r\n", {0, 1000000, 0, 3000000}},
        {" 5\r\n5 \r\n$10\r\n\r\n-7", {0, 5, 0, 16, 0, -7}},
        {"x=5\r\n", {}},  // no "=" rule here
        {many, first20},
    };
    for (const Case& c : cases) EXPECT_EQ(frequenzmarkenLesen(c.bytes), c.marks) << c.bytes;
}

TEST(MarksFile, MissingFileGivesNoMarks) {
    test::TempDir dir;
    EXPECT_EQ(frequenzmarkenLaden(dir.file("frequenz.cfg")), Frequenzmarkenfeld{});
    test::writeBytes(dir.file("frequenz.cfg"), "7\r\n");
    EXPECT_EQ(frequenzmarkenLaden(dir.file("frequenz.cfg"))[1], 7);
}

TEST(MarksFile, OddFilesGiveNoMarks) {
    for (const test::OddFile kind : test::kOddFiles) {
        test::TempDir dir;
        test::makeOddFile(kind, dir.file("frequenz.cfg"), MaxMarkenBytes, "7\r\n8\r\n");
        const test::HangGuard guard(std::string("frequenz.cfg ") + describe(kind));
        EXPECT_EQ(frequenzmarkenLaden(dir.file("frequenz.cfg")), Frequenzmarkenfeld{})
            << describe(kind);
    }
    test::TempDir dir;
    test::sparseFile(dir.file("frequenz.cfg"), static_cast<off_t>(MaxMarkenBytes), "7\r\n8\r\n");
    EXPECT_EQ(frequenzmarkenLaden(dir.file("frequenz.cfg")), (Frequenzmarkenfeld{0, 7, 8}));
}

}  // namespace
}  // namespace veka
