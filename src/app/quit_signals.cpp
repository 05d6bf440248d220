// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/quit_signals.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>

namespace veka {

namespace {

constexpr std::array<int, 3> kQuitSignals = {SIGTERM, SIGINT, SIGHUP};

// A signal handler can reach nothing but globals: the switch it raises and the descriptor
// that wakes the window thread.
std::atomic<const AbortEvent*> handlerAbort = nullptr;
std::atomic<int> handlerWakeFd = -1;
std::atomic<int> lastSignal = 0;

extern "C" void signalArrived(int signal) {
    const int bisher = errno;  // the interrupted code may be about to read it
    lastSignal = signal;
    if (const AbortEvent* abort = handlerAbort.load()) abort->raise();
    const int f = handlerWakeFd.load();
    const uint64_t one = 1;
    if (f >= 0) [[maybe_unused]]
        const ssize_t n = ::write(f, &one, sizeof one);
    errno = bisher;
}

void installHandler(void (*handler)(int)) {
    struct sigaction sa {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : kQuitSignals) ::sigaction(s, &sa, nullptr);
}

}  // namespace

QuitSignals::QuitSignals(const AbortEvent& abort, std::function<void()> close)
    : wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      notifier_(wakeFd_, QSocketNotifier::Read),
      close_(std::move(close)) {
    static_assert(std::atomic<int>::is_always_lock_free, "the handler needs lock-free atomics");
    static_assert(std::atomic<const AbortEvent*>::is_always_lock_free);
    handlerWakeFd = wakeFd_;
    handlerAbort = &abort;
    connect(&notifier_, &QSocketNotifier::activated, this, &QuitSignals::arrived);
    installHandler(&signalArrived);
}

QuitSignals::QuitSignals(DeviceLink& link, std::function<void()> close)
    : QuitSignals(link.abortEvent(), std::move(close)) {
    link_ = &link;
}

int QuitSignals::received() {
    return lastSignal.load();
}

QuitSignals::~QuitSignals() {
    installHandler(SIG_DFL);
    handlerWakeFd = -1;
    handlerAbort = nullptr;
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

void QuitSignals::arrived() {
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(wakeFd_, &count, sizeof count);
    if (close_) close_();
    if (link_ != nullptr) link_->closePort();
}

}  // namespace veka
