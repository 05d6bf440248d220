// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <thread>

#include "frame_assembler.h"
#include "line_clock.h"
#include "pty_link.h"
#include "reply.h"

namespace vekasim {

using Clock = std::chrono::steady_clock;

struct Simulator::Impl {
    explicit Impl(Options o) : opts(std::move(o)), wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~Impl() {
        if (wakeFd >= 0) close(wakeFd);
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    struct Delayed {
        Clock::time_point due;
        std::vector<uint8_t> bytes;
    };

    // dut, levelDb and noiseDb change while running; everything else is fixed after start().
    Options opts;
    std::mt19937 random{static_cast<std::mt19937::result_type>(opts.noiseSeed)};
    std::normal_distribution<double> gauss{0.0, 1.0};
    mutable std::mutex modelMutex;

    mutable std::mutex stateMutex;
    mutable std::condition_variable stateChanged;
    std::vector<Exchange> exchanges;
    std::string linkPath, slavePath;
    bool finished = false;

    std::mutex injectMutex;
    std::vector<uint8_t> injected;

    std::mutex lifecycleMutex;
    bool started = false;
    std::atomic<bool> stopRequested{false};
    const int wakeFd;  // lives as long as we do, so sendRaw() can always poke the loop
    std::thread thread;
    PtyLink pty;

    // Owned by the loop thread while it runs.
    std::ofstream log;
    FrameAssembler assembler;
    std::deque<Delayed> delayed;
    std::vector<uint8_t> out;
    // Line timing only. The pty's own hand-over is no line time: host bytes count as sent
    // that much before we see them, and reply bytes go to the pty that much before they are
    // due. The shortest hand-over measured keeps both on the safe side: never early. A hidden
    // round trip lets host bytes count as sent earlier still (see Options::hiddenRoundTrip).
    LineClock toDevice, toHost;
    std::chrono::nanoseconds handOver{0};
    Clock::duration frameShift{0};                           // of the request being received
    std::map<int64_t, std::chrono::nanoseconds> roundTrips;  // by character time
    int completed = 0;
    bool draining = false, drainSawQueued = false;
    Clock::time_point drainSince{};

    bool start(std::string* error);
    void stop();
    void wake() const;
    void markFinished();

    void run();
    bool flush();
    bool waitAndRead();
    void feedLineTimed(const uint8_t* data, size_t size);
    Clock::duration startShift(std::chrono::nanoseconds zeichen, long baud);
    std::chrono::nanoseconds sentBefore(std::chrono::nanoseconds zeichen, long baud);
    std::optional<Clock::duration> pollTimeout() const;
    void releaseDueReplies();
    void takeInjected();
    bool vanishDue() const;
    bool hostHasReadEverything();
    void onFrame(const Frame& f);
    void writeLog(const Exchange& e, int number);
    Options modelSnapshot() const;
};

bool Simulator::Impl::start(std::string* error) {
    std::lock_guard lifecycle(lifecycleMutex);
    if (started) {
        if (error) *error = "the simulator was already started";
        return false;
    }
    const std::string link = comLinkPath(opts.dir, opts.port);
    if (!opts.logFile.empty()) {
        log.open(opts.logFile, std::ios::app);
        if (!log) {
            if (error) *error = "cannot open log file " + opts.logFile;
            return false;
        }
    }
    if (wakeFd < 0) {
        if (error) *error = "cannot create the wake-up event";
        return false;
    }
    if (opts.lineTiming) handOver = handOverTime(50);
    if (!pty.open(error)) {
        pty.close();
        return false;
    }
    // Stale bytes sit in the line before anybody opens it.
    out.assign(static_cast<size_t>(std::max(opts.staleBytes, 0)), kStrayByte);
    if (!flush() || !pty.createLink(link, error)) {
        pty.close();
        return false;
    }
    {
        std::lock_guard lock(stateMutex);
        linkPath = link;
        slavePath = pty.slavePath();
    }
    started = true;
    thread = std::thread([this] { run(); });
    return true;
}

void Simulator::Impl::stop() {
    std::lock_guard lifecycle(lifecycleMutex);
    stopRequested = true;
    wake();
    if (thread.joinable()) thread.join();
    pty.close();
    markFinished();
}

void Simulator::Impl::wake() const {
    if (wakeFd < 0) return;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(wakeFd, &one, sizeof one);
}

void Simulator::Impl::markFinished() {
    std::lock_guard lock(stateMutex);
    finished = true;
    stateChanged.notify_all();
}

void Simulator::Impl::run() {
    // Reply bytes are due to the microsecond; the default slack would make them 50 us late.
    if (opts.lineTiming) prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    while (!stopRequested) {
        releaseDueReplies();
        takeInjected();
        if (!flush()) break;
        if (vanishDue() && hostHasReadEverything()) {
            // Like pulling the cable: the name goes first, then the line drops.
            pty.close();
            break;
        }
        if (!waitAndRead()) break;
    }
    markFinished();
}

bool Simulator::Impl::flush() {
    while (!out.empty()) {
        const ssize_t n = write(pty.master(), out.data(), out.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno == EAGAIN;  // host not reading: wait for POLLOUT
        out.erase(out.begin(), out.begin() + n);
    }
    return true;
}

std::optional<Clock::duration> Simulator::Impl::pollTimeout() const {
    if (draining) return std::chrono::milliseconds(5);  // the tty has no "the host has read it"
    if (delayed.empty()) return std::nullopt;
    auto left = delayed.front().due - Clock::now();
    // A timed wake-up comes late by tens of microseconds: wait for the last stretch actively.
    if (opts.lineTiming) left -= std::chrono::microseconds(60);
    return std::max(left, Clock::duration::zero());
}

bool Simulator::Impl::waitAndRead() {
    pollfd fds[2] = {{pty.master(), static_cast<short>(POLLIN | (out.empty() ? 0 : POLLOUT)), 0},
                     {wakeFd, POLLIN, 0}};
    const std::optional<Clock::duration> timeout = pollTimeout();
    timespec ts{};
    if (timeout) {
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(*timeout).count();
        ts.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
        ts.tv_nsec = static_cast<long>(ns % 1'000'000'000);
    }
    const int r = ppoll(fds, 2, timeout ? &ts : nullptr, nullptr);
    if (r < 0) return errno == EINTR;
    if (fds[1].revents & POLLIN) {
        uint64_t count;
        [[maybe_unused]] const ssize_t n = read(wakeFd, &count, sizeof count);
    }
    if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
        uint8_t buf[256];
        const ssize_t n = read(pty.master(), buf, sizeof buf);
        if (n < 0) return errno == EAGAIN || errno == EINTR;
        if (n == 0) return false;
        if (opts.lineTiming) {
            feedLineTimed(buf, static_cast<size_t>(n));
        } else {
            assembler.feed(buf, static_cast<size_t>(n), Clock::now(),
                           [this](const Frame& f) { onFrame(f); });
        }
    }
    return !(fds[0].revents & POLLNVAL);
}

// Bytes that the host wrote at once still reach the device one after the other. The speed
// is the host's latest setting, read where the host set it: on the terminal itself.
void Simulator::Impl::feedLineTimed(const uint8_t* data, size_t size) {
    termios t{};
    const bool line = pty.settings(t);
    const auto zeichen = line ? characterTime(t) : std::chrono::nanoseconds(0);
    // A request's start may count from before it was seen; the rest of it is shifted alike,
    // so a pause before the control byte keeps its length.
    if (assembler.pending() == 0)
        frameShift = startShift(zeichen, line ? baudOf(cfgetospeed(&t)) : 0);
    const auto gesendet = Clock::now() - frameShift;
    for (size_t i = 0; i < size; ++i) {
        assembler.feed(data + i, 1, toDevice.send(gesendet, zeichen),
                       [this](const Frame& f) { onFrame(f); });
    }
}

// How long before we see them now the bytes of a request starting now count as sent.
Clock::duration Simulator::Impl::startShift(std::chrono::nanoseconds zeichen, long baud) {
    if (opts.hiddenRoundTrip == std::chrono::microseconds(0)) return handOver;
    const auto vorher = sentBefore(zeichen, baud);  // may measure first; the host waits meanwhile
    const auto now = Clock::now();
    // A host answers a reply no earlier than it was due.
    return now - std::max(now - vorher, toHost.free());
}

// How long before we saw it the start of a request counts as sent. The reply's hand-over is
// already taken off where it is written, so only the rest of a round trip counts here.
std::chrono::nanoseconds Simulator::Impl::sentBefore(std::chrono::nanoseconds zeichen, long baud) {
    using namespace std::chrono;
    nanoseconds hidden = opts.hiddenRoundTrip;
    if (hidden < nanoseconds(0) && zeichen > nanoseconds(0)) {
        auto it = roundTrips.find(zeichen.count());
        if (it == roundTrips.end()) {
            // The pause of a sweep at this speed: five bytes out and one back. About half a
            // second of tries (1.25 s at 1200 bit/s), during which the host waits for its reply.
            const auto pause = std::clamp(ceil<microseconds>(6 * zeichen), 100us, 50'000us);
            const int tries = std::clamp(static_cast<int>(500ms / (pause + 100us)), 25, 200);
            it = roundTrips.emplace(zeichen.count(), roundTripTime(tries, pause)).first;
            if (log.is_open()) {
                log << "round_trip baud=" << baud
                    << " us=" << duration_cast<microseconds>(it->second).count() << std::endl;
            }
        }
        hidden = it->second;
    }
    return std::max(handOver, hidden - handOver);
}

void Simulator::Impl::releaseDueReplies() {
    const auto now = Clock::now();
    while (!delayed.empty() && delayed.front().due <= now) {
        out.insert(out.end(), delayed.front().bytes.begin(), delayed.front().bytes.end());
        delayed.pop_front();
    }
}

void Simulator::Impl::takeInjected() {
    std::lock_guard lock(injectMutex);
    out.insert(out.end(), injected.begin(), injected.end());
    injected.clear();
}

bool Simulator::Impl::vanishDue() const {
    return opts.vanishAfter >= 0 && completed >= opts.vanishAfter && delayed.empty() && out.empty();
}

// Closing the master throws away whatever the host has not read yet, and the last reply
// belongs to a complete exchange. Written bytes show up in the queue only after the kernel
// has moved them, hence the grace time; a host that never reads does not keep us forever.
bool Simulator::Impl::hostHasReadEverything() {
    const auto now = Clock::now();
    if (!draining) {
        draining = true;
        drainSince = now;
    }
    const int queued = pty.queuedForHost();
    drainSawQueued = drainSawQueued || queued > 0;
    const auto waited = now - drainSince;
    if (queued == 0 && (drainSawQueued || waited >= std::chrono::milliseconds(50))) return true;
    return waited >= std::chrono::seconds(2);
}

Options Simulator::Impl::modelSnapshot() const {
    std::lock_guard lock(modelMutex);
    return opts;
}

void Simulator::Impl::onFrame(const Frame& f) {
    if (opts.vanishAfter >= 0 && completed >= opts.vanishAfter) return;  // already unplugged
    const Options model = modelSnapshot();
    const double noise = model.noiseDb > 0 ? model.noiseDb * gauss(random) : 0.0;
    std::vector<uint8_t> reply = frameReply(model, f.word, f.control, noise);
    // Queue the reply before anyone can see the exchange, so sendRaw() bytes come after it.
    if (model.lineTiming) {
        termios t{};
        const auto zeichen = pty.settings(t) ? characterTime(t) : std::chrono::nanoseconds(0);
        const auto ab = f.arrival + std::chrono::milliseconds(model.replyDelayMs);
        for (uint8_t b : reply) delayed.push_back({toHost.send(ab, zeichen) - handOver, {b}});
    } else if (model.replyDelayMs > 0 && !reply.empty()) {
        delayed.push_back({Clock::now() + std::chrono::milliseconds(model.replyDelayMs), reply});
    } else {
        out.insert(out.end(), reply.begin(), reply.end());
    }
    ++completed;
    const Exchange e{f.word, f.control, std::round(outputFrequency(f.word, model)), f.gapMicros,
                     reply};
    writeLog(e, completed);
    std::lock_guard lock(stateMutex);
    exchanges.push_back(e);
    stateChanged.notify_all();
}

void Simulator::Impl::writeLog(const Exchange& e, int number) {
    if (!log.is_open()) return;
    char line[160];
    std::snprintf(line, sizeof line, "exchange=%d word=%08X control=%02X freq=%.0f gap_us=%lld\n",
                  number, static_cast<unsigned>(e.word), static_cast<unsigned>(e.control),
                  e.frequencyHz, static_cast<long long>(e.gapMicros));
    log << line << std::flush;  // readable while we run
}

Simulator::Simulator(Options o) : m_impl(std::make_unique<Impl>(std::move(o))) {}

Simulator::~Simulator() {
    stop();
}

bool Simulator::start(std::string* error) {
    return m_impl->start(error);
}

void Simulator::stop() {
    m_impl->stop();
}

std::string Simulator::linkPath() const {
    std::lock_guard lock(m_impl->stateMutex);
    return m_impl->linkPath;
}

std::string Simulator::slavePath() const {
    std::lock_guard lock(m_impl->stateMutex);
    return m_impl->slavePath;
}

std::vector<Exchange> Simulator::exchanges() const {
    std::lock_guard lock(m_impl->stateMutex);
    return m_impl->exchanges;
}

size_t Simulator::exchangeCount() const {
    std::lock_guard lock(m_impl->stateMutex);
    return m_impl->exchanges.size();
}

bool Simulator::waitForExchanges(size_t n, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_impl->stateMutex);
    return m_impl->stateChanged.wait_for(lock, timeout,
                                         [&] { return m_impl->exchanges.size() >= n; });
}

bool Simulator::finished() const {
    std::lock_guard lock(m_impl->stateMutex);
    return m_impl->finished;
}

bool Simulator::waitUntilFinished(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_impl->stateMutex);
    return m_impl->stateChanged.wait_for(lock, timeout, [&] { return m_impl->finished; });
}

void Simulator::sendRaw(const std::vector<uint8_t>& bytes) {
    {
        std::lock_guard lock(m_impl->injectMutex);
        m_impl->injected.insert(m_impl->injected.end(), bytes.begin(), bytes.end());
    }
    m_impl->wake();
}

void Simulator::setLevelDb(std::optional<double> dB) {
    std::lock_guard lock(m_impl->modelMutex);
    m_impl->opts.levelDb = dB;
}

void Simulator::setNoiseDb(double dB) {
    std::lock_guard lock(m_impl->modelMutex);
    m_impl->opts.noiseDb = dB;
}

void Simulator::setDut(Dut d) {
    std::lock_guard lock(m_impl->modelMutex);
    m_impl->opts.dut = d;
}

}  // namespace vekasim
