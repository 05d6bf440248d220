// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "sim/simulator.h"

namespace vekasim {
namespace {

using namespace std::chrono_literals;

struct Parsed {
    Options options;
    std::string error;
    bool help = false;
};

Parsed parse(std::vector<std::string> args) {
    args.insert(args.begin(), "veka-sim");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    Parsed p;
    p.options = parseCommandLine(static_cast<int>(argv.size()), argv.data(), &p.error, &p.help);
    return p;
}

struct GoodCase {
    std::vector<std::string> args;
    std::function<bool(const Options&)> holds;
};

TEST(CommandLine, AcceptsValidOptions) {
    const GoodCase cases[] = {
        {{},
         [](const Options& o) {
             return o.dir == "." && o.port == 2 && o.dut == Dut::Bandpass &&
                    o.nominalClockHz == 100e6 && o.vanishAfter == -1 && !o.levelDb &&
                    o.replyBytes.empty() && !o.silent && !o.quiet && !o.lineTiming;
         }},
        {{"--dir", "/tmp/x", "--port", "3"},
         [](const Options& o) { return o.dir == "/tmp/x" && o.port == 3; }},
        {{"--dut=lowpass", "--cutoff=7e6"},
         [](const Options& o) { return o.dut == Dut::Lowpass && o.cutoffHz == 7e6; }},
        {{"--clock", "125000000", "--clock-offset", "-123.5"},
         [](const Options& o) { return o.nominalClockHz == 125e6 && o.clockOffsetHz == -123.5; }},
        {{"--centre", "7050000", "--bandwidth", "50000", "--q", "35"},
         [](const Options& o) {
             return o.centreHz == 7050000 && o.bandwidthHz == 50000 && o.q == 35;
         }},
        {{"--center", "3.5e6"}, [](const Options& o) { return o.centreHz == 3.5e6; }},
        {{"--load", "0"},
         [](const Options& o) { return o.loadOhm == 0.0 && o.dut == Dut::Antenna; }},
        {{"--dut", "antenna", "--load", "75"}, [](const Options& o) { return o.loadOhm == 75.0; }},
        {{"--dut", "source", "--source-freq", "14e6", "--source-level", "-33", "--rbw", "3000"},
         [](const Options& o) {
             return o.dut == Dut::Source && o.sourceFreqHz == 14e6 && o.sourceLevelDbm == -33 &&
                    o.rbwHz == 3000;
         }},
        {{"--level", "-12.5"}, [](const Options& o) { return o.levelDb == -12.5; }},
        {{"--reply-bytes", "34,C0"},
         [](const Options& o) {
             return o.replyBytes == std::vector<uint8_t>{0x34, 0xC0};
         }},
        {{"--reply-bytes", "0xd2"},
         [](const Options& o) { return o.replyBytes == std::vector<uint8_t>{0xD2}; }},
        {{"--silent", "--short-reply", "--stale", "3", "--stray", "2", "--reply-delay", "15",
          "--vanish-after", "0", "--log", "x.log", "--quiet"},
         [](const Options& o) {
             return o.silent && o.shortReply && o.staleBytes == 3 && o.strayBytes == 2 &&
                    o.replyDelayMs == 15 && o.vanishAfter == 0 && o.logFile == "x.log" && o.quiet;
         }},
        {{"--line-timing"},
         [](const Options& o) { return o.lineTiming && !o.silent && o.hiddenRoundTrip == 0us; }},
        {{"--line-timing", "--hide-round-trip"},
         [](const Options& o) { return o.lineTiming && o.hiddenRoundTrip == -1us; }},
        {{"--hide-round-trip=250", "--line-timing"},
         [](const Options& o) { return o.hiddenRoundTrip == 250us; }},
    };
    for (const auto& c : cases) {
        const Parsed p = parse(c.args);
        const std::string line = c.args.empty() ? "(none)" : c.args.front();
        EXPECT_EQ(p.error, "") << line;
        EXPECT_FALSE(p.help) << line;
        EXPECT_TRUE(c.holds(p.options)) << line;
    }
}

TEST(CommandLine, KnowsEveryDevice) {
    const Dut all[] = {Dut::Through, Dut::Open,    Dut::Bandpass, Dut::Lowpass,  Dut::Antenna,
                       Dut::Short,   Dut::Matched, Dut::Source,   Dut::CalSignal};
    for (Dut d : all) {
        const Parsed p = parse({"--dut", dutName(d)});
        EXPECT_EQ(p.error, "") << dutName(d);
        EXPECT_EQ(p.options.dut, d) << dutName(d);
    }
}

TEST(CommandLine, RejectsBadInput) {
    const std::vector<std::string> cases[] = {
        {"--bogus"},
        {"stray"},
        {"--", "stray"},
        {"--dut"},
        {"--dut", "nonsense"},
        {"--port", "0"},
        {"--port", "x"},
        {"--port", "2x"},
        {"--stale", "-1"},
        {"--stray", "1.5"},
        {"--bandwidth", "0"},
        {"--centre", "nan"},
        {"--centre", "inf"},
        {"--clock", "-1"},
        {"--clock-offset", "-2e8"},
        {"--load", "-5"},
        {"--dut", "short", "--load", "50"},
        {"--reply-bytes", "G1"},
        {"--reply-bytes", "123"},
        {"--reply-bytes", ""},
        {"--reply-bytes", "34,"},
        {"--reply-bytes", "-1"},
        {"--level", ""},
        {"--silent=yes"},
        {"--line-timing=1"},
        {"--hide-round-trip"},
        {"--line-timing", "--hide-round-trip=-5"},
        {"--line-timing", "--hide-round-trip=x"},
        {"--line-timing", "--hide-round-trip", "300"},
    };
    for (const auto& args : cases) {
        const Parsed p = parse(args);
        EXPECT_NE(p.error, "") << args.front() << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_FALSE(p.help);
    }
}

TEST(CommandLine, HelpWinsOverEverythingElse) {
    for (const auto& args : {std::vector<std::string>{"--help"}, {"-h"}, {"--bogus", "--help"}}) {
        const Parsed p = parse(args);
        EXPECT_TRUE(p.help);
        EXPECT_EQ(p.error, "");
    }
    EXPECT_NE(usageText().find("COM2"), std::string::npos);
    EXPECT_NE(usageText().find("veka"), std::string::npos);
}

TEST(CommandLine, VersionAndTheEndOfOptions) {
    const struct {
        std::vector<std::string> args;
        bool help, version, error;
    } cases[] = {
        {{"--version"}, false, true, false},
        {{"--port", "3", "--version"}, false, true, false},
        {{"--version", "--help"}, false, true, false},  // the first one asked wins
        {{"--help", "--version"}, true, false, false},
        {{"--port", "3", "--"}, false, false, false},
        {{"--", "--version"}, false, false, true},  // after "--" nothing is an option
        {{"--", "extra"}, false, false, true},
        {{"-v"}, false, false, true},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), "veka-sim");
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        std::string error;
        bool help = false, version = false;
        parseCommandLine(static_cast<int>(argv.size()), argv.data(), &error, &help, &version);
        EXPECT_EQ(help, c.help) << c.args.front();
        EXPECT_EQ(version, c.version) << c.args.front();
        EXPECT_EQ(!error.empty(), c.error) << c.args.front() << ": " << error;
    }
    const std::string v = versionText();
    EXPECT_TRUE(v.starts_with("veka-sim ") && v.ends_with("\n") && v.size() > 11) << v;
}

}  // namespace
}  // namespace vekasim
