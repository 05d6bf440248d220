#include "link/exchange.h"

#include <array>
#include <string>

#include "link/device_codec.h"

namespace veka {

uint32_t tickCount() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint32_t>(ms);
}

DeviceLink::DeviceLink(Instrument& inst, UserInterface& ui)
    : inst_(inst), ui_(ui), windowThread_(std::this_thread::get_id()) {}

void DeviceLink::PortSetzen() {
    std::lock_guard lock(exchangeMutex_);
    port_.open(inst_.e.Comport);
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

void DeviceLink::pauseBeforeControlByte() const {
    const int32_t delay = inst_.e.Delay;
    if (delay <= 1) return;
    const uint32_t start = tickCount();
    for (;;) {
        const uint32_t passed = tickCount() - start;  // unsigned: a wrap changes nothing
        if (passed > static_cast<uint32_t>(delay)) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(delay - passed + 1));
    }
}

void DeviceLink::sendFrame(int32_t frequenz) {
    const int32_t f =
        gesendeteFrequenz(frequenz, inst_.ZFAktiv, inst_.e.ZFBerechnung, inst_.e.Zwischenfrequenz);
    const auto bytes = wortBytes(Abstimmwort(f, inst_.e.Taktfrequenz));
    port_.write(bytes.data(), bytes.size());
    const uint8_t steuer = Steuerbyte({inst_.e.Hardwareversion, inst_.Daempfung,
                                       inst_.e.Messgenauigkeit, inst_.Smith, inst_.Linear});
    pauseBeforeControlByte();
    port_.write(&steuer, 1);
}

bool DeviceLink::awaitReply(size_t needed, uint8_t* reply) {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + Zeitlimit;
    size_t got = 0;
    for (;;) {
        // Take what has arrived, never more than the reply, so extra bytes stay queued.
        got += port_.read(reply + got, needed - got);
        if (got >= needed) return true;
        const auto left = deadline - clock::now();
        if (left <= clock::duration::zero()) return false;
        const int ms = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
        if (port_.waitReadable(ms) == SerialPort::Wait::Gone)
            std::this_thread::sleep_until(deadline);  // no line: wait out the time-out
    }
}

void DeviceLink::FrequenzSetzen(int32_t punkt, int32_t frequenz) {
    {
        std::lock_guard lock(exchangeMutex_);
        discardInputLocked();
        sendFrame(frequenz);
        inst_.Zeitueberschreitung = false;
        if (inst_.DemoModus) {
            inst_.Rohwert = Demowert(punkt);
            return;
        }
        const size_t needed = zehnBit(inst_.e.Messgenauigkeit) ? 2 : 1;
        std::array<uint8_t, 2> reply{};
        if (awaitReply(needed, reply.data())) {
            inst_.Rohwert = needed == 2 ? zehnBitWert(reply[0], reply[1]) : reply[0];
            return;
        }
        inst_.Zeitueberschreitung = true;
        inst_.DemoModus = true;
        inst_.Messart = Rohwerte;
    }
    reportTimeout();  // outside the lock: the message box is modal
}

void DeviceLink::reportTimeout() {
    std::string meldung = inst_.meldungen[1];
    std::string titel = "Netzwerktester (Labor) " + inst_.e.Hardwareversion + "  DEMO";
    if (std::this_thread::get_id() == windowThread_) {
        ui_.showMessage(meldung);
        inst_.fenster.setCaption(std::move(titel));
        return;
    }
    ui_.postToWindowThread([this, meldung = std::move(meldung), titel = std::move(titel)] {
        ui_.showMessage(meldung);
        inst_.fenster.setCaption(titel);
    });
}

}  // namespace veka
