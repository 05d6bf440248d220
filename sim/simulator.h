// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vekasim {

enum class Dut { Through, Open, Bandpass, Lowpass, Antenna, Short, Matched, Source, CalSignal };

struct Options {
    std::string dir = ".";
    int port = 2;
    double nominalClockHz = 100e6;
    double clockOffsetHz = 0;
    Dut dut = Dut::Bandpass;
    double centreHz = 10140000, bandwidthHz = 100000, cutoffHz = 10100000, q = 20;
    std::optional<double> loadOhm;
    double sourceFreqHz = 10140000, sourceLevelDbm = -20, rbwHz = 10000;
    std::optional<double> levelDb;
    // Gaussian noise on the level, this many dB standard deviation, from a seeded generator so
    // that a run repeats.
    double noiseDb = 0;
    int noiseSeed = 1;
    std::vector<uint8_t> replyBytes;  // empty = answer from the model
    bool silent = false, shortReply = false;
    int staleBytes = 0, strayBytes = 0, replyDelayMs = 0, vanishAfter = -1;
    std::string logFile;
    // Bytes take their time on the line at the speed the host set: the host's bytes reach the
    // device one character time apart, and the reply bytes reach the host likewise.
    bool lineTiming = false;
    // With line timing: this much of the pseudo-terminal's own round trip is no line time.
    // A request then counts as sent up to this much before it was seen, but never before the
    // reply to the previous one was due, so no host gets ahead of the line. Negative: measured
    // for each speed the host sets, when its first bytes at that speed arrive, as the median
    // of a quick exchange over a pseudo-terminal with six character times between tries; the
    // log records it.
    std::chrono::microseconds hiddenRoundTrip{0};
    bool quiet = false;  // only the tool looks at this
};

struct Exchange {
    uint32_t word;
    uint8_t control;
    double frequencyHz;  // as a frequency counter shows it: rounded to 1 Hz
    int64_t gapMicros;   // between the 4th and the 5th byte
    std::vector<uint8_t> reply = {};  // what the device answered
};

class Simulator {
  public:
    explicit Simulator(Options o);
    ~Simulator();  // stops and removes the link
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    bool start(std::string* error = nullptr);  // creates pty + link, starts the thread
    void stop();

    std::string linkPath() const;
    std::string slavePath() const;

    std::vector<Exchange> exchanges() const;
    size_t exchangeCount() const;
    bool waitForExchanges(size_t n, std::chrono::milliseconds timeout) const;

    // True once the loop has ended: stop() or the device vanished.
    bool finished() const;
    bool waitUntilFinished(std::chrono::milliseconds timeout) const;

    void sendRaw(const std::vector<uint8_t>& bytes);  // pushed to the host right away
    void setLevelDb(std::optional<double> dB);
    void setNoiseDb(double dB);
    void setDut(Dut d);

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// DUT response before attenuation, floored at -80 dB.
double levelDb(const Options& o, double frequencyHz);
// Detector law; levels below the -80 dB noise floor read as the floor.
uint16_t rawReading(double levelDb, bool linear, bool tenBit);
// Exact DDS output; a counter would show it rounded.
double outputFrequency(uint32_t word, const Options& o);

// "--help" or "--version" before any "--" win over everything else and set their flag.
Options parseCommandLine(int argc, char** argv, std::string* error, bool* helpRequested,
                         bool* versionRequested = nullptr);
std::string usageText();
std::string versionText();  // "veka-sim <version>" and a newline
std::string dutName(Dut d);

}  // namespace vekasim
