// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/exchange.h"

#include <algorithm>
#include <array>
#include <string>

#include "link/device_codec.h"

namespace veka {

uint32_t tickCount() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint32_t>(ms);
}

int32_t pausenDauer(int32_t delay) {
    return delay <= 1 ? 0 : std::min(delay, DeviceLink::MaxPauseMs);
}

std::chrono::microseconds leitungszeit(size_t replyBytes, int32_t baudrate) {
    const int64_t bits = static_cast<int64_t>(5 + replyBytes) * 10;
    return std::chrono::microseconds(bits * 1000000 / wirksameBaudrate(baudrate));
}

DeviceLink::DeviceLink(Instrument& inst, UserInterface& ui)
    : inst_(inst), ui_(ui), windowThread_(std::this_thread::get_id()) {}

void DeviceLink::PortSetzen() {
    if (aborted()) return;
    std::lock_guard lock(exchangeMutex_);
    const std::string path = portPaths_.resolve(inst_.e.Comport);
    if (!port_.open(path)) reportOpenFailure(inst_.e.Comport, path, port_.failure());
    inst_.fenster.setCaption("Netzwerktester (Labor) " + inst_.e.Hardwareversion + "    COM " +
                             std::to_string(inst_.e.Comport));
    port_.configure(inst_.e.Baudrate);
}

void DeviceLink::closePort() {
    std::lock_guard lock(exchangeMutex_);
    port_.close();
}

bool DeviceLink::portOpen() const {
    std::lock_guard lock(exchangeMutex_);
    return port_.isOpen();
}

void DeviceLink::setPortPaths(PortPaths paths) {
    std::lock_guard lock(exchangeMutex_);
    portPaths_ = std::move(paths);
}

PortPaths DeviceLink::portPaths() const {
    std::lock_guard lock(exchangeMutex_);
    return portPaths_;
}

void DeviceLink::discardInput() {
    std::lock_guard lock(exchangeMutex_);
    discardInputLocked();
}

void DeviceLink::discardInputLocked() {
    std::array<uint8_t, 64> sink{};
    // Only what is waiting now: a device that keeps sending must not keep us here.
    size_t left = port_.pending();
    while (left > 0) {
        const size_t got = port_.read(sink.data(), std::min(left, sink.size()));
        if (got == 0) break;
        left -= got;
    }
}

bool DeviceLink::pauseBeforeControlByte() const {
    const int32_t pause = pausenDauer(inst_.e.Delay);
    if (pause == 0) return true;
    const uint32_t start = tickCount();
    for (;;) {
        const uint32_t passed = tickCount() - start;  // unsigned: a wrap changes nothing
        if (passed > static_cast<uint32_t>(pause)) return true;
        if (!abort_.sleepFor(std::chrono::milliseconds(pause - passed + 1))) return false;
    }
}

bool DeviceLink::sendFrame(int32_t frequenz) {
    const int32_t f =
        gesendeteFrequenz(frequenz, inst_.ZFAktiv, inst_.e.ZFBerechnung, inst_.e.Zwischenfrequenz);
    const auto bytes = wortBytes(Abstimmwort(f, inst_.e.Taktfrequenz));
    const uint8_t steuer = Steuerbyte({inst_.e.Hardwareversion, inst_.Daempfung,
                                       inst_.e.Messgenauigkeit, inst_.Smith, inst_.Linear});
    if (pausenDauer(inst_.e.Delay) == 0) {
        // Nothing between word and control byte: one write, one hand-over to the line.
        const std::array<uint8_t, 5> rahmen{bytes[0], bytes[1], bytes[2], bytes[3], steuer};
        port_.write(rahmen.data(), rahmen.size());
        return true;
    }
    port_.write(bytes.data(), bytes.size());
    if (!pauseBeforeControlByte()) return false;
    port_.write(&steuer, 1);
    return true;
}

DeviceLink::Reply DeviceLink::awaitReply(size_t needed, uint8_t* reply) {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + Zeitlimit;
    size_t got = 0;
    for (;;) {
        // The frame has just gone out, so wait first: the wait returns at once for bytes that
        // arrived meanwhile.
        const auto left = std::max(deadline - clock::now(), clock::duration::zero());
        const int ms = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
        const SerialPort::Wait w = port_.waitReadable(ms, abort_.fd());
        // No line: wait out the time-out, unless the program ends first.
        if (w == SerialPort::Wait::Woken ||
            (w == SerialPort::Wait::Gone && !abort_.sleepUntil(deadline)))
            return Reply::Aborted;
        // Take what has arrived, never more than the reply, so extra bytes stay queued.
        got += port_.read(reply + got, needed - got);
        if (got >= needed) return Reply::Arrived;
        if (clock::now() >= deadline) return Reply::TimedOut;
    }
}

std::optional<uint16_t> DeviceLink::exchangeLocked(int32_t punkt, int32_t frequenz,
                                                   const std::function<void()>& unterwegs) {
    const uint16_t bisher = inst_.Rohwert;
    if (aborted()) return bisher;
    const auto beginn = std::chrono::steady_clock::now();
    discardInputLocked();
    if (!sendFrame(frequenz)) return bisher;
    if (unterwegs) unterwegs();
    inst_.Zeitueberschreitung = false;
    const size_t needed = zehnBit(inst_.e.Messgenauigkeit) ? 2 : 1;
    if (inst_.DemoModus) {
        const uint16_t wert = Demowert(punkt);
        inst_.Rohwert = wert;
        // As long as the line would be busy: a demonstration sweep must not spin.
        abort_.sleepUntil(beginn + std::chrono::milliseconds(pausenDauer(inst_.e.Delay)) +
                          leitungszeit(needed, inst_.e.Baudrate));
        return wert;
    }
    std::array<uint8_t, 2> reply{};
    switch (awaitReply(needed, reply.data())) {
        case Reply::Arrived: {
            const uint16_t wert = needed == 2 ? zehnBitWert(reply[0], reply[1]) : reply[0];
            inst_.Rohwert = wert;
            return wert;
        }
        case Reply::Aborted:
            return bisher;
        case Reply::TimedOut:
            break;
    }
    inst_.Zeitueberschreitung = true;
    inst_.DemoModus = true;
    port_.close();  // a dead line is let go; trying the device again opens it anew
    inst_.Messart = Rohwerte;
    return std::nullopt;
}

uint16_t DeviceLink::FrequenzSetzen(int32_t punkt, int32_t frequenz,
                                    const std::function<void()>& unterwegs) {
    uint16_t bisher = 0;
    {
        std::lock_guard lock(exchangeMutex_);
        if (const auto wert = exchangeLocked(punkt, frequenz, unterwegs)) return *wert;
        bisher = inst_.Rohwert;
    }
    reportTimeout();  // outside the lock: the message box is modal
    return bisher;
}

void DeviceLink::reportTimeout() {
    std::string meldung = inst_.meldungen[1];
    std::string titel = "Netzwerktester (Labor) " + inst_.e.Hardwareversion + "  DEMO";
    if (std::this_thread::get_id() == windowThread_) {
        if (aborted()) return;
        ui_.showMessage(meldung);
        inst_.fenster.setCaption(std::move(titel));
        return;
    }
    // Dropped when the program has ended before the window thread gets to it.
    ui_.postToWindowThread([this, meldung = std::move(meldung), titel = std::move(titel)] {
        if (aborted()) return;
        ui_.showMessage(meldung);
        inst_.fenster.setCaption(titel);
    });
}

}  // namespace veka
