// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's command line: veka [OPTIONS] [CONFIG-FILE], GNU style.
//
// Parsing is pure: it reads an argument list and says what to do next - run with the options,
// or end at once with an exit code and the text for standard output or standard error. It
// needs no QCoreApplication. Only the syntax is checked here; whether a device or an output
// file is usable is the business of the front that runs.

#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veka {

// Exit codes shared by every front.
inline constexpr int kExitUsage = 2;

// --remote [ADDRESS:]PORT, --remote ADDRESS or a bare --remote (port 5025); --remote-allow.
struct RemoteEndpoint {
    static constexpr uint16_t DefaultPort = 5025;  // the usual raw-socket SCPI port
    std::string address = "127.0.0.1";
    bool addressGiven = false;  // the address was written out, not the default
    uint16_t port = DefaultPort;
    std::vector<std::string> allowed;  // NET/PREFIX of other computers that may connect
};

struct ProgramOptions {
    // The first positional argument: the start-up configuration.
    std::optional<std::string> configFile;
    // Device used for the configured port number in this run only.
    std::optional<std::string> port;
    bool listPorts = false;
    // Language section applied for this run.
    std::optional<std::string> lang;

    // Batch mode.
    bool sweep = false;
    int32_t count = 1;
    bool countGiven = false;  // else --average N makes it N
    std::vector<std::string> outFiles;  // "-": the CSV table to standard output
    bool toStdout = false;
    std::optional<std::string> summaryFile;
    std::optional<int32_t> start;  // Hz
    std::optional<int32_t> stop;   // Hz
    std::optional<int32_t> center;
    std::optional<int32_t> span;
    std::optional<int32_t> step;  // Hz, 1 or more
    std::optional<int32_t> points;
    std::optional<int32_t> messart;  // 1 transmission, 2 reflection, 3 spectrum
    bool linear = false;
    std::optional<int32_t> average;  // sweeps, 1 to 64
    std::optional<bool> holdMax;     // true: max hold, false: min hold
    std::optional<std::string> referenceFile;
    std::optional<std::string> limitsFile;

    // Remote control.
    std::optional<RemoteEndpoint> remote;
    bool noWindow = false;
};

struct CommandLine {
    enum class Next { Run, Exit };
    Next next = Next::Run;
    int exitCode = 0;
    std::string out;  // for standard output
    std::string err;  // for standard error
    ProgramOptions options;
};

// arguments[0] is the program name, as in argv.
CommandLine parseCommandLine(const QStringList& arguments);
// The same from main's argv; names keep their bytes even when they are not valid UTF-8.
CommandLine parseCommandLine(int argc, const char* const* argv);

// "1.0", from the build.
std::string programVersion();
std::string usageText();

}  // namespace veka
