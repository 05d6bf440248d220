// SPDX-License-Identifier: GPL-3.0-or-later
// The SCPI parser, the command tree, the argument checks, the answers' formats, the sweep's
// edges and the status system, in tables.
#include <gtest/gtest.h>

#include <cstring>

#include "remote/command_tree.h"
#include "remote/scpi_arguments.h"
#include "remote/scpi_format.h"
#include "remote/scpi_parser.h"
#include "remote/status_system.h"
#include "remote/sweep_edges.h"

namespace veka {
namespace {

// One parsed command written back as text: "k1:k2?|N5,N107e-1MHZ,S'x',Wy" or "!code".
std::string describe(const ScpiParsed& p) {
    if (p.error != 0) return std::string("!") += std::to_string(p.error);
    const ScpiCommand& c = p.command;
    std::string s = c.common ? "*" : c.absolute ? ":" : "";
    for (size_t i = 0; i < c.keywords.size(); ++i) {
        if (i) s += ":";
        s += c.keywords[i];
    }
    if (c.query) s += "?";
    if (!c.arguments.empty()) s += "|";
    for (size_t i = 0; i < c.arguments.size(); ++i) {
        const ScpiArgument& a = c.arguments[i];
        if (i) s += ",";
        if (a.kind == ScpiArgument::Kind::Number) {
            s += "N";
            s += std::to_string(a.mantissa);
            if (a.exponent != 0) {
                s += "e";
                s += std::to_string(a.exponent);
            }
            s += a.text;
        } else {
            s += a.kind == ScpiArgument::Kind::String ? "S'" : "W";
            s += a.text;
            if (a.kind == ScpiArgument::Kind::String) s += "'";
        }
    }
    return s;
}

std::string describe(std::string_view line) {
    std::string s;
    for (const ScpiParsed& p : parseScpiLine(line)) {
        if (!s.empty()) s += " ; ";
        s += describe(p);
    }
    return s;
}

TEST(ScpiParser, LinesIntoTypedCommands) {
    const struct {
        std::string_view line;
        std::string_view expected;
    } cases[] = {
        {"*IDN?", "*IDN?"},
        {"*idn?\r", "*idn?"},
        {"SENS:FREQ:STAR 7000000", "SENS:FREQ:STAR|N7000000"},
        {":sense:frequency:start +10", ":sense:frequency:start|N10"},
        {"  FREQ:STEP?  ", "FREQ:STEP?"},
        {"SOUR:ATT -10", "SOUR:ATT|N-10"},
        {"SENS:MODE tran", "SENS:MODE|Wtran"},
        {"INIT:CONT ON", "INIT:CONT|WON"},
        {"MMEM:STOR:CONF \"a b.cfg\"", "MMEM:STOR:CONF|S'a b.cfg'"},
        {"MMEM:STOR:CONF 'it''s;x'", "MMEM:STOR:CONF|S'it's;x'"},
        {"A 1, 2 ,\"x\",WORD", "A|N1,N2,S'x',WWORD"},
        {"SENS:FREQ:STAR 1;STEP 2", "SENS:FREQ:STAR|N1 ; STEP|N2"},
        {"*CLS;;*OPC?;", "*CLS ; *OPC?"},
        {"", ""},
        // Decimals, exponents and units, as test engineers type them.
        {"FREQ 10.7MHZ", "FREQ|N107e-1MHZ"},
        {"FREQ 9500 kHz", "FREQ|N9500kHz"},
        {"FREQ 1.07E7", "FREQ|N107e5"},
        {"FREQ -.5e-3", "FREQ|N-5e-4"},
        {"FREQ 5.", "FREQ|N5"},
        {"FREQ 0.000", "FREQ|N0e-3"},
        {"FREQ 12abc", "FREQ|N12abc"},
        {"FORM REAL,32", "FORM|WREAL,N32"},
        {"X 123456789012345678901234", "X|N123456789012345678e6"},
        // Errors end the line: nothing after them is parsed.
        {"SENS:FREQ:STAR -", "!-121"},
        {"SENS:FREQ:STAR .", "!-121"},
        {"SENS:FREQ:STAR 1.5.2", "!-121"},
        {"SENS:FREQ:STAR 5MHZ2", "!-121"},
        {"SENS::STAR", "!-102"},
        {"SENS:", "!-102"},
        {"1SENS", "!-102"},
        {"A 1,", "!-102"},
        {"A 1,,2", "!-102"},
        {"A 1 2", "!-102"},
        {"A(1)", "!-102"},
        {"MMEM:STOR:CONF \"offen", "!-151"},
        {"MMEM:STOR:CONF \"a\x01\"", "!-151"},
        {"\x01\x02\xff", "!-101"},
        {"*IDN?\x80", "!-101"},
        {"*RST;\xfe\xfe", "*RST ; !-101"},
    };
    for (const auto& c : cases) EXPECT_EQ(describe(c.line), c.expected) << c.line;
}

TEST(ScpiParser, ShortAndLongFormsInAnyCase) {
    const struct {
        std::string_view typed, mnemonic;
        bool matches;
    } cases[] = {
        {"FREQ", "FREQuency", true}, {"frequency", "FREQuency", true},
        {"FrEq", "FREQuency", true}, {"FREQU", "FREQuency", false},
        {"FRE", "FREQuency", false}, {"IDN", "IDN", true},
        {"SUBT", "SUBTract", true},  {"SUB", "SUBTract", false},
        {"", "FREQuency", false},    {"FREQUENCYX", "FREQuency", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(keywordMatches(c.typed, c.mnemonic), c.matches) << c.typed << " " << c.mnemonic;
}

// A tree whose handlers answer with their own path, to see which one a command reaches.
struct TreeProbe {
    TreeProbe() {
        for (std::string_view path :
             {"*IDN", "[SENSe]:FREQuency:STARt", "[SENSe]:FREQuency:STEP", "INITiate[:IMMediate]",
              "INITiate:CONTinuous", "SOURce:FREQuency", "CALCulate:CURSor",
              "CALCulate:CURSor:FREQuency"}) {
            const std::string name(path);
            tree.add(
                path, [name](const ScpiCommand&) { return ScpiReply::answer(name); },
                [name](const ScpiCommand&) { return ScpiReply::answer(name + "?"); });
        }
    }
    // The paths a line's commands reach, compound rules included; "-" for none.
    std::string reached(std::string_view line) {
        std::string s;
        const ScpiTree::Node* previous = nullptr;
        for (const ScpiParsed& p : parseScpiLine(line)) {
            const ScpiTree::Node* n = tree.find(p.command, previous);
            const ScpiHandler* h = n ? (p.command.query ? &n->query : &n->set) : nullptr;
            if (!s.empty()) s += " ";
            s += h && *h ? *(*h)(p.command).text : std::string("-");
            if (n && !p.command.common) previous = n->parent;
        }
        return s;
    }
    ScpiTree tree;
};

TEST(ScpiTree, FindsLeavesThroughOptionalAndRelativeKeywords) {
    TreeProbe probe;
    const struct {
        std::string_view line, reached;
    } cases[] = {
        {"*IDN?", "*IDN?"},
        {"*idn", "*IDN"},
        {"SENS:FREQ:STAR 1", "[SENSe]:FREQuency:STARt"},
        {"FREQ:STAR?", "[SENSe]:FREQuency:STARt?"},
        {"sense:frequency:step?", "[SENSe]:FREQuency:STEP?"},
        {"INIT", "INITiate[:IMMediate]"},
        {"INIT:IMM", "INITiate[:IMMediate]"},
        {"INIT:CONT ON", "INITiate:CONTinuous"},
        {"SOUR:FREQ 5", "SOURce:FREQuency"},
        {"CALC:CURS?", "CALCulate:CURSor?"},
        {"CALC:CURS:FREQ?", "CALCulate:CURSor:FREQuency?"},
        // Compound lines continue below the previous command's parent.
        {"SENS:FREQ:STAR 1;STEP 2", "[SENSe]:FREQuency:STARt [SENSe]:FREQuency:STEP"},
        {"SOUR:FREQ 1;:FREQ:STEP 2", "SOURce:FREQuency [SENSe]:FREQuency:STEP"},
        {"SENS:FREQ:STAR 1;*IDN?;STEP?", "[SENSe]:FREQuency:STARt *IDN? [SENSe]:FREQuency:STEP?"},
        // Unknown headers.
        {"SENS:FREQ", "-"},
        {"FREQ:BOGUS 1", "-"},
        {"SOUR", "-"},
        {"*XYZ?", "-"},
        {"SENS:SENS:FREQ:STAR 1", "-"},
    };
    for (const auto& c : cases) EXPECT_EQ(probe.reached(c.line), c.reached) << c.line;
}

ScpiCommand first(std::string_view line) {
    return parseScpiLine(line).front().command;
}

TEST(ScpiArguments, NumbersInTheirUnitsAndRangeWords) {
    const Range range{100, 5000, 1000};
    const struct {
        std::string_view line;
        Unit unit;
        int error;
        int32_t value;
    } cases[] = {
        {"X 5", Unit::None, 0, 5},
        {"X 10.7MHZ", Unit::Hertz, 0, 10700000},
        {"X 10.7 mhz", Unit::Hertz, 0, 10700000},
        {"X 9500 kHz", Unit::Hertz, 0, 9500000},
        {"X 1.07E7", Unit::Hertz, 0, 10700000},
        {"X 1.07E7HZ", Unit::Hertz, 0, 10700000},
        {"X 2GHZ", Unit::Hertz, 0, 2000000000},
        {"X 1.5", Unit::None, 0, 2},
        {"X -1.5", Unit::None, 0, -2},
        {"X 0.4999", Unit::None, 0, 0},
        {"X 20DB", Unit::Decibel, 0, 20},
        {"X MIN", Unit::Hertz, 0, 100},
        {"X maximum", Unit::Hertz, 0, 5000},
        {"X DEF", Unit::None, 0, 1000},
        {"X 2147483647", Unit::None, 0, INT32_MAX},
        {"X 2147483648", Unit::None, -222, 0},
        {"X 3GHZ", Unit::Hertz, -222, 0},
        {"X 1E30", Unit::None, -222, 0},
        {"X 5MV", Unit::Hertz, -131, 0},
        {"X 5DB", Unit::Hertz, -131, 0},
        {"X 5HZ", Unit::None, -138, 0},
        {"X UP", Unit::None, -224, 0},
        {"X", Unit::None, -109, 0},
        {"X 1,2", Unit::None, -108, 0},
        {"X \"5\"", Unit::None, -104, 0},
    };
    for (const auto& c : cases) {
        int32_t n = 0;
        EXPECT_EQ(numberArgument(first(c.line), c.unit, range, n), c.error) << c.line;
        EXPECT_EQ(n, c.value) << c.line;
    }
    std::optional<int64_t> which;
    EXPECT_EQ(rangeQuery(first("X? MAX"), range, which), 0);
    EXPECT_EQ(which, 5000);
    EXPECT_EQ(rangeQuery(first("X?"), range, which), 0);
    EXPECT_FALSE(which);
    EXPECT_EQ(rangeQuery(first("X? 5"), range, which), -104);
}

TEST(ScpiArguments, WordsAndBooleans) {
    size_t i = 9;
    EXPECT_EQ(choiceArgument(first("X refl"), {"TRANsmission", "REFLection"}, i), 0);
    EXPECT_EQ(i, 1u);
    EXPECT_EQ(choiceArgument(first("X REF"), {"TRANsmission", "REFLection"}, i), -224);
    EXPECT_EQ(choiceArgument(first("X 1"), {"TRANsmission"}, i), -104);
    bool on = false;
    EXPECT_EQ(booleanArgument(first("X on"), on), 0);
    EXPECT_TRUE(on);
    EXPECT_EQ(booleanArgument(first("X 0"), on), 0);
    EXPECT_FALSE(on);
    EXPECT_EQ(booleanArgument(first("X 2"), on), -222);
    EXPECT_EQ(booleanArgument(first("X MAYBE"), on), -224);
    EXPECT_EQ(noArguments(first("X 1")), -108);
}

TEST(ScpiArguments, FileNamesAClientMayUse) {
    const struct {
        std::string name;
        const char* extension;
        const char* why;  // "" when allowed
    } cases[] = {
        {"messung.csv", "", ""},
        {"sub/messung.cfg", ".cfg", ""},
        {"./a.CFG", ".cfg", ""},
        {"a..b.cfg", ".cfg", ""},
        {"", "", "outside the working folder"},
        {"/tmp/a.cfg", ".cfg", "outside the working folder"},
        {".ssh/authorized_keys", "", "hidden name"},
        {"sub/.x.cfg", ".cfg", "hidden name"},
        {"../a.cfg", ".cfg", "hidden name"},
        {"LANG.INI", ".cfg", "not a .cfg name"},
        {".cfg", ".cfg", "hidden name"},
        {"a.csv", ".cfg", "not a .cfg name"},
        {"Frequenz.cfg", ".cfg", "the frequency marks"},
        {"ref.CSV", ".csv", ""},
        {"vekami.cfg", ".csv", "not a .csv name"},
        {"csv", ".csv", "not a .csv name"},
    };
    for (const auto& c : cases) {
        std::string why;
        EXPECT_EQ(remoteFileName(c.name, c.extension, why), *c.why ? -257 : 0) << c.name;
        EXPECT_EQ(why, c.why) << c.name;
    }
}

TEST(ScpiFormat, LevelsListsAndBlocks) {
    EXPECT_EQ(levelText(-10.2, false), "-10.2");
    EXPECT_EQ(levelText(0, false), "0.0");
    EXPECT_EQ(levelText(-0.0, false), "0.0");
    EXPECT_EQ(levelText(1.0 / 400, true), "0.0025");
    EXPECT_EQ(secondsText(1.75), "1.75");
    EXPECT_EQ(definiteBlock("abc"), "#13abc");
    EXPECT_EQ(definiteBlock(std::string(1234, 'x')).substr(0, 6), "#41234");
    EXPECT_EQ(listAnswer({1, -2.5}, {}, dbText), "1.0,-2.5");
    EXPECT_EQ(listAnswer({10040000}, {}, wholeText), "10040000");
    // 1.0f is 3F800000; -2.0 as a double is C000000000000000.
    EXPECT_EQ(listAnswer({1}, {DataFormat::Kind::Real32, false}, dbText),
              std::string("#14\x3f\x80\x00\x00", 7));
    EXPECT_EQ(listAnswer({1}, {DataFormat::Kind::Real32, true}, dbText),
              std::string("#14\x00\x00\x80\x3f", 7));
    EXPECT_EQ(listAnswer({-2}, {DataFormat::Kind::Real64, false}, dbText),
              std::string("#18\xc0\0\0\0\0\0\0\0", 11));
    EXPECT_EQ(idnField(" V7,3\xc3\xa4;\"x\"  y "), "V7 3 x y");
}

TEST(SweepEdges, StopCentreAndSpanOverStartStepAndPoints) {
    const SweepPlan p{10000000, 10000, 281};  // 10 to 12.8 MHz
    const SweepEdges e = edgesOf(p);
    EXPECT_EQ(e.stop, 12800000);
    EXPECT_EQ(e.centre, 11400000);
    EXPECT_EQ(e.span, 2800000);
    const auto same = [](const std::optional<SweepPlan>& a, SweepPlan b) {
        return a && a->startHz == b.startHz && a->stepHz == b.stepHz && a->points == b.points;
    };
    EXPECT_TRUE(same(withStop(p, 13800000), {10000000, 13571, 281}));  // nearest whole step
    EXPECT_TRUE(same(withSpan(p, 280000), {11260000, 1000, 281}));     // the centre kept
    EXPECT_TRUE(same(withCentre(p, 5000000), {3600000, 10000, 281}));  // the span kept
    EXPECT_TRUE(same(withStop({7, 3, 1}, 9), {9, 3, 1}));              // one point: moves it
    EXPECT_FALSE(withStop(p, 1LL << 40));
    const EdgeRanges r = edgeRanges(p, {0, 97200000, 10000000}, {1, 300000, 10000}, {1, 300, 280});
    EXPECT_EQ(r.stop.min, 10000280);
    EXPECT_EQ(r.span.def, 2790000);
    EXPECT_EQ(r.centre.max, 98600000);
}

TEST(StatusSystem, ErrorsEventsAndTheStatusByte) {
    StatusSystem s;
    EXPECT_EQ(s.takeEvents(), StatusSystem::PowerOn);
    EXPECT_EQ(s.statusByte(), 0);
    s.push(scpi::UndefinedHeader);
    s.push(scpi::NoError);  // not an error: not queued
    s.push(scpi::SettingsConflict, "window dialog open");
    s.deviceFault(scpi::HardwareError);
    EXPECT_EQ(s.statusByte(), StatusSystem::ErrorAvailable);
    s.eventEnable = StatusSystem::OperationComplete;
    EXPECT_EQ(s.statusByte(), StatusSystem::ErrorAvailable);
    s.setEvents(StatusSystem::OperationComplete);
    s.serviceEnable = StatusSystem::EventSummary;
    EXPECT_EQ(s.statusByte(), 0x04 | 0x20 | 0x40);
    EXPECT_EQ(s.takeEvents(), 0x20 | 0x10 | 0x08 | 0x01);
    EXPECT_EQ(s.errors().size(), 3u);
    EXPECT_EQ(s.errors().pop(), "-113,\"Undefined header\"");
    EXPECT_EQ(s.errors().popAll(),
              "-221,\"Settings conflict;window dialog open\",-240,\"Hardware error\"");
    EXPECT_EQ(s.errors().popAll(), "0,\"No error\"");
    for (size_t k = 0; k < ErrorQueue::Capacity + 5; ++k) s.push(scpi::QueueOverflow + 1);
    EXPECT_EQ(s.errors().size(), ErrorQueue::Capacity);
    s.push(-410);
    EXPECT_EQ(s.takeEvents(), StatusSystem::QueryError | StatusSystem::DeviceError);
    for (size_t k = 0; k + 1 < ErrorQueue::Capacity; ++k) s.errors().pop();
    EXPECT_EQ(s.errors().pop(), "-350,\"Queue overflow\"");
    s.push(scpi::DataStale);
    s.clear();
    EXPECT_EQ(s.statusByte(), 0);
    EXPECT_EQ(s.errors().pop(), "0,\"No error\"");
    EXPECT_EQ(scpiErrorText(-9999), "Unknown error");
}

}  // namespace
}  // namespace veka
