// SPDX-License-Identifier: GPL-3.0-or-later
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string_view>

#include "simulator.h"

namespace vekasim {
namespace {

struct Names {
    Dut dut;
    const char* name;
};

constexpr Names kDutNames[] = {
    {Dut::Through, "through"}, {Dut::Open, "open"},       {Dut::Bandpass, "bandpass"},
    {Dut::Lowpass, "lowpass"}, {Dut::Antenna, "antenna"}, {Dut::Short, "short"},
    {Dut::Matched, "matched"}, {Dut::Source, "source"},   {Dut::CalSignal, "calsignal"},
};

bool toDouble(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v)) return false;
    out = v;
    return true;
}

bool toInt(const std::string& text, long lo, long hi, int& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    out = static_cast<int>(v);
    return true;
}

bool toHexByte(std::string_view text, uint8_t& out) {
    if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
    if (text.empty() || text.size() > 2) return false;
    unsigned v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 16);
    if (ec != std::errc{} || end != text.data() + text.size()) return false;
    out = static_cast<uint8_t>(v);
    return true;
}

bool toHexBytes(const std::string& text, std::vector<uint8_t>& out) {
    std::vector<uint8_t> bytes;
    std::string_view rest = text;
    while (true) {
        const size_t comma = rest.find(',');
        uint8_t b = 0;
        if (!toHexByte(rest.substr(0, comma), b)) return false;
        bytes.push_back(b);
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    out = std::move(bytes);
    return true;
}

bool toDut(const std::string& text, Dut& out) {
    for (const auto& n : kDutNames) {
        if (text == n.name) {
            out = n.dut;
            return true;
        }
    }
    return false;
}

using Apply = std::function<bool(Options&, const std::string&)>;

Apply number(double Options::*field, double lo, bool loInclusive) {
    return [=](Options& o, const std::string& v) {
        double d = 0;
        if (!toDouble(v, d) || d < lo || (!loInclusive && d == lo)) return false;
        o.*field = d;
        return true;
    };
}

Apply anyNumber(double Options::*field) {
    return [=](Options& o, const std::string& v) { return toDouble(v, o.*field); };
}

Apply integer(int Options::*field, long lo, long hi) {
    return [=](Options& o, const std::string& v) { return toInt(v, lo, hi, o.*field); };
}

struct ValueOption {
    const char* name;
    Apply apply;
};

const std::vector<ValueOption>& valueOptions() {
    static const std::vector<ValueOption> table = {
        {"dir", [](Options& o, const std::string& v) { return !(o.dir = v).empty(); }},
        {"port", integer(&Options::port, 1, 255)},
        {"clock", number(&Options::nominalClockHz, 0, false)},
        {"clock-offset", anyNumber(&Options::clockOffsetHz)},
        {"dut", [](Options& o, const std::string& v) { return toDut(v, o.dut); }},
        {"centre", number(&Options::centreHz, 0, false)},
        {"center", number(&Options::centreHz, 0, false)},
        {"bandwidth", number(&Options::bandwidthHz, 0, false)},
        {"cutoff", number(&Options::cutoffHz, 0, false)},
        {"q", number(&Options::q, 0, false)},
        {"load",
         [](Options& o, const std::string& v) {
             double r = 0;
             if (!toDouble(v, r) || r < 0) return false;
             o.loadOhm = r;
             return true;
         }},
        {"source-freq", number(&Options::sourceFreqHz, 0, true)},
        {"source-level", anyNumber(&Options::sourceLevelDbm)},
        {"rbw", number(&Options::rbwHz, 0, false)},
        {"level",
         [](Options& o, const std::string& v) {
             double d = 0;
             if (!toDouble(v, d)) return false;
             o.levelDb = d;
             return true;
         }},
        {"noise", number(&Options::noiseDb, 0, true)},
        {"seed", integer(&Options::noiseSeed, 0, INT_MAX)},
        {"reply-bytes",
         [](Options& o, const std::string& v) { return toHexBytes(v, o.replyBytes); }},
        {"stale", integer(&Options::staleBytes, 0, 4000)},
        {"stray", integer(&Options::strayBytes, 0, 1000)},
        {"reply-delay", integer(&Options::replyDelayMs, 0, 60000)},
        {"vanish-after", integer(&Options::vanishAfter, 0, INT_MAX)},
        {"log", [](Options& o, const std::string& v) { return !(o.logFile = v).empty(); }},
        {"hide-round-trip",
         [](Options& o, const std::string& v) {
             int us = 0;
             if (!toInt(v, 0, 1'000'000, us)) return false;
             o.hiddenRoundTrip = std::chrono::microseconds(us);
             return true;
         }},
    };
    return table;
}

bool applyFlag(Options& o, std::string_view name) {
    if (name == "silent") return o.silent = true;
    if (name == "short-reply") return o.shortReply = true;
    if (name == "quiet") return o.quiet = true;
    if (name == "line-timing") return o.lineTiming = true;
    if (name == "hide-round-trip") {
        o.hiddenRoundTrip = std::chrono::microseconds(-1);  // measured at start
        return true;
    }
    return false;
}

struct Parser {
    int argc;
    char** argv;
    Options o;
    bool dutGiven = false;

    bool fail(std::string* error, const std::string& message) {
        if (error) *error = message;
        return false;
    }
    bool parseOne(int& i, std::string* error);
    bool check(std::string* error);
};

bool Parser::parseOne(int& i, std::string* error) {
    std::string arg = argv[i];
    if (!arg.starts_with("--") || arg.size() == 2)
        return fail(error, "unexpected argument '" + arg + "'");
    std::string name = arg.substr(2), value;
    const size_t eq = name.find('=');
    const bool inlineValue = eq != std::string::npos;
    if (inlineValue) {
        value = name.substr(eq + 1);
        name.resize(eq);
    }
    if (!inlineValue && applyFlag(o, name)) return true;
    for (const auto& opt : valueOptions()) {
        if (name != opt.name) continue;
        if (!inlineValue) {
            if (i + 1 >= argc) return fail(error, "--" + name + " needs a value");
            value = argv[++i];
        }
        if (!opt.apply(o, value)) return fail(error, "invalid value '" + value + "' for --" + name);
        dutGiven = dutGiven || name == "dut";
        return true;
    }
    return fail(error, "unknown option '" + arg + "'");
}

bool Parser::check(std::string* error) {
    if (o.nominalClockHz + o.clockOffsetHz <= 0) {
        return fail(error, "the clock offset leaves no positive clock");
    }
    if (o.loadOhm && dutGiven && o.dut != Dut::Antenna) {
        return fail(error, "--load describes a reflection load; use it with --dut antenna");
    }
    if (o.loadOhm) o.dut = Dut::Antenna;
    if (o.hiddenRoundTrip != std::chrono::microseconds(0) && !o.lineTiming) {
        return fail(error, "--hide-round-trip needs --line-timing");
    }
    return true;
}

}  // namespace

std::string dutName(Dut d) {
    for (const auto& n : kDutNames) {
        if (n.dut == d) return n.name;
    }
    return "?";
}

Options parseCommandLine(int argc, char** argv, std::string* error, bool* helpRequested,
                         bool* versionRequested) {
    if (error) error->clear();
    if (helpRequested) *helpRequested = false;
    if (versionRequested) *versionRequested = false;
    Parser p{argc, argv, Options{}};
    for (int i = 1; i < argc && std::string_view(argv[i]) != "--"; ++i) {
        const std::string_view arg = argv[i];
        const bool help = arg == "--help" || arg == "-h";
        if (help || arg == "--version") {
            if (help && helpRequested) *helpRequested = true;
            if (!help && versionRequested) *versionRequested = true;
            return Options{};
        }
    }
    for (int i = 1; i < argc; ++i) {
        // "--" ends the options, and the simulator takes no other arguments.
        if (std::string_view(argv[i]) == "--") {
            if (i + 1 == argc) break;
            p.fail(error, "unexpected argument '" + std::string(argv[i + 1]) + "'");
            return Options{};
        }
        if (!p.parseOne(i, error)) return Options{};
    }
    if (!p.check(error)) return Options{};
    return p.o;
}

}  // namespace vekasim
