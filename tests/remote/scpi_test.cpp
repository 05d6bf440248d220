// The SCPI parser, the command tree, the argument checks and the error queue, in tables.
#include <gtest/gtest.h>

#include "remote/command_tree.h"
#include "remote/error_queue.h"
#include "remote/scpi_arguments.h"
#include "remote/scpi_parser.h"

namespace veka {
namespace {

// One parsed command written back as text: "k1:k2?|I5,S'x',Wy" or "!code".
std::string beschreiben(const ScpiParsed& p) {
    if (p.error != 0) return "!" + std::to_string(p.error);
    const ScpiCommand& c = p.command;
    std::string s = c.common ? "*" : c.absolute ? ":" : "";
    for (size_t i = 0; i < c.keywords.size(); ++i) s += (i ? ":" : "") + c.keywords[i];
    if (c.query) s += "?";
    if (!c.arguments.empty()) s += "|";
    for (size_t i = 0; i < c.arguments.size(); ++i) {
        const ScpiArgument& a = c.arguments[i];
        if (i) s += ",";
        if (a.kind == ScpiArgument::Kind::Integer)
            s += a.outOfRange ? "I!" : "I" + std::to_string(a.integer);
        else if (a.kind == ScpiArgument::Kind::String)
            s += "S'" + a.text + "'";
        else
            s += "W" + a.text;
    }
    return s;
}

std::string beschreiben(std::string_view zeile) {
    std::string s;
    for (const ScpiParsed& p : parseScpiLine(zeile)) s += (s.empty() ? "" : " ; ") + beschreiben(p);
    return s;
}

TEST(ScpiParser, LinesIntoTypedCommands) {
    const struct {
        std::string_view zeile;
        std::string_view erwartet;
    } faelle[] = {
        {"*IDN?", "*IDN?"},
        {"*idn?\r", "*idn?"},
        {"SENS:FREQ:STAR 7000000", "SENS:FREQ:STAR|I7000000"},
        {":sense:frequency:start +10", ":sense:frequency:start|I10"},
        {"  FREQ:STEP?  ", "FREQ:STEP?"},
        {"SOUR:ATT -10", "SOUR:ATT|I-10"},
        {"SENS:MODE tran", "SENS:MODE|Wtran"},
        {"INIT:CONT ON", "INIT:CONT|WON"},
        {"MMEM:STOR:CONF \"a b.cfg\"", "MMEM:STOR:CONF|S'a b.cfg'"},
        {"MMEM:STOR:CONF 'it''s;x'", "MMEM:STOR:CONF|S'it's;x'"},
        {"A 1, 2 ,\"x\",WORD", "A|I1,I2,S'x',WWORD"},
        {"SENS:FREQ:STAR 1;STEP 2", "SENS:FREQ:STAR|I1 ; STEP|I2"},
        {"*CLS;;*OPC?;", "*CLS ; *OPC?"},
        {"", ""},
        {"X 99999999999999999999", "X|I!"},
        // Errors end the line: nothing after them is parsed.
        {"SENS:FREQ:STAR 1.5", "!-121"},
        {"SENS:FREQ:STAR 1e6;*RST", "!-121"},
        {"SENS:FREQ:STAR 12abc", "!-121"},
        {"SENS:FREQ:STAR -", "!-121"},
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
    for (const auto& f : faelle) EXPECT_EQ(beschreiben(f.zeile), f.erwartet) << f.zeile;
}

TEST(ScpiParser, ShortAndLongFormsInAnyCase) {
    const struct {
        std::string_view getippt, mnemonic;
        bool passt;
    } faelle[] = {
        {"FREQ", "FREQuency", true}, {"frequency", "FREQuency", true},
        {"FrEq", "FREQuency", true}, {"FREQU", "FREQuency", false},
        {"FRE", "FREQuency", false}, {"IDN", "IDN", true},
        {"SUBT", "SUBTract", true},  {"SUB", "SUBTract", false},
        {"", "FREQuency", false},    {"FREQUENCYX", "FREQuency", false},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(keywordMatches(f.getippt, f.mnemonic), f.passt) << f.getippt << " " << f.mnemonic;
}

// A tree whose handlers answer with their own path, to see which one a command reaches.
struct Baum {
    Baum() {
        for (std::string_view pfad :
             {"*IDN", "[SENSe]:FREQuency:STARt", "[SENSe]:FREQuency:STEP", "INITiate[:IMMediate]",
              "INITiate:CONTinuous", "SOURce:FREQuency", "CALCulate:CURSor",
              "CALCulate:CURSor:FREQuency"}) {
            const std::string name(pfad);
            t.add(
                pfad, [name](const ScpiCommand&) { return ScpiReply::answer(name); },
                [name](const ScpiCommand&) { return ScpiReply::answer(name + "?"); });
        }
    }
    // The paths a line's commands reach, compound rules included; "-" for none.
    std::string wege(std::string_view zeile) {
        std::string s;
        const ScpiTree::Node* vorher = nullptr;
        for (const ScpiParsed& p : parseScpiLine(zeile)) {
            const ScpiTree::Node* n = t.find(p.command, vorher);
            const ScpiHandler* h = n ? (p.command.query ? &n->query : &n->set) : nullptr;
            s += (s.empty() ? "" : " ") + (h && *h ? *(*h)(p.command).text : std::string("-"));
            if (n && !p.command.common) vorher = n->parent;
        }
        return s;
    }
    ScpiTree t;
};

TEST(ScpiTree, FindsLeavesThroughOptionalAndRelativeKeywords) {
    Baum b;
    const struct {
        std::string_view zeile, wege;
    } faelle[] = {
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
        {"FREQ:STOP 1", "-"},
        {"SOUR", "-"},
        {"*XYZ?", "-"},
        {"SENS:SENS:FREQ:STAR 1", "-"},
    };
    for (const auto& f : faelle) EXPECT_EQ(b.wege(f.zeile), f.wege) << f.zeile;
}

TEST(ScpiArguments, ChecksAgainstWhatAHandlerTakes) {
    const auto eins = [](std::string_view zeile) { return parseScpiLine(zeile).front().command; };
    int32_t n = 0;
    const struct {
        std::string_view zeile;
        int64_t von, bis;
        int fehler;
        int32_t wert;
    } zahlen[] = {
        {"X 5", 1, 300, 0, 5},
        {"X 300", 1, 300, 0, 300},
        {"X 301", 1, 300, -222, 0},
        {"X 0", 1, 300, -222, 0},
        {"X -1", 0, INT32_MAX, -222, 0},
        {"X 2147483648", 0, INT32_MAX, -222, 0},
        {"X 99999999999999999999", 0, INT32_MAX, -222, 0},
        {"X", 1, 300, -109, 0},
        {"X 1,2", 1, 300, -108, 0},
        {"X ON", 1, 300, -104, 0},
        {"X \"5\"", 1, 300, -104, 0},
    };
    for (const auto& f : zahlen) {
        n = 0;
        EXPECT_EQ(integerArgument(eins(f.zeile), f.von, f.bis, n), f.fehler) << f.zeile;
        EXPECT_EQ(n, f.wert) << f.zeile;
    }
    size_t i = 9;
    EXPECT_EQ(choiceArgument(eins("X refl"), {"TRANsmission", "REFLection"}, i), 0);
    EXPECT_EQ(i, 1u);
    EXPECT_EQ(choiceArgument(eins("X REF"), {"TRANsmission", "REFLection"}, i), -222);
    EXPECT_EQ(choiceArgument(eins("X 1"), {"TRANsmission"}, i), -104);
    bool an = false;
    EXPECT_EQ(booleanArgument(eins("X on"), an), 0);
    EXPECT_TRUE(an);
    EXPECT_EQ(booleanArgument(eins("X 0"), an), 0);
    EXPECT_FALSE(an);
    EXPECT_EQ(booleanArgument(eins("X 2"), an), -222);
    EXPECT_EQ(booleanArgument(eins("X MAYBE"), an), -222);
    EXPECT_EQ(noArguments(eins("X 1")), -108);
}

TEST(ScpiArguments, FileNamesStayInTheWorkingFolder) {
    const struct {
        std::string name;
        bool erlaubt;
    } faelle[] = {
        {"messung.csv", true}, {"unter/messung.cfg", true},
        {"./a.cfg", true},     {"a..b.cfg", true},
        {"", false},           {"/tmp/a.cfg", false},
        {"../a.cfg", false},   {"unter/../../a", false},
        {"unter/..", false},   {"..", false},
        {"unter/", false},     {std::string("a\0b", 3), false},
    };
    for (const auto& f : faelle) EXPECT_EQ(isSafeRelativeName(f.name), f.erlaubt) << f.name;
}

TEST(ErrorQueue, OldestFirstAndBounded) {
    ErrorQueue q;
    EXPECT_EQ(q.pop(), "0,\"No error\"");
    q.push(scpi::UndefinedHeader);
    q.push(scpi::NoError);  // not an error: not queued
    q.push(scpi::DataOutOfRange);
    EXPECT_EQ(q.size(), 2u);
    EXPECT_EQ(q.pop(), "-113,\"Undefined header\"");
    EXPECT_EQ(q.pop(), "-222,\"Data out of range\"");
    EXPECT_EQ(q.pop(), "0,\"No error\"");
    for (size_t k = 0; k < ErrorQueue::Capacity + 5; ++k) q.push(scpi::SettingsConflict);
    EXPECT_EQ(q.size(), ErrorQueue::Capacity);
    for (size_t k = 0; k + 1 < ErrorQueue::Capacity; ++k)
        EXPECT_EQ(q.pop(), "-221,\"Settings conflict\"");
    EXPECT_EQ(q.pop(), "-350,\"Queue overflow\"");
    q.push(scpi::HardwareError);
    q.clear();
    EXPECT_EQ(q.pop(), "0,\"No error\"");
    EXPECT_EQ(scpiErrorText(-240), "Hardware error");
    EXPECT_EQ(scpiErrorText(-9999), "Unknown error");
}

}  // namespace
}  // namespace veka
