// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The instrument's IEEE 488.2 status: the error queue, the standard event status register
// (*ESR?) with its enable mask (*ESE), and the status byte (*STB?) with its service request
// enable mask (*SRE). One for the instrument, shared by every client. Errors set their class's
// event bit as they are queued.

#include <cstdint>
#include <string>

#include "remote/error_queue.h"

namespace veka {

class StatusSystem {
  public:
    // Standard event status register bits.
    static constexpr uint8_t OperationComplete = 0x01;
    static constexpr uint8_t QueryError = 0x04;
    static constexpr uint8_t DeviceError = 0x08;
    static constexpr uint8_t ExecutionError = 0x10;
    static constexpr uint8_t CommandError = 0x20;
    static constexpr uint8_t PowerOn = 0x80;
    // Status byte bits.
    static constexpr uint8_t ErrorAvailable = 0x04;
    static constexpr uint8_t EventSummary = 0x20;
    static constexpr uint8_t MasterSummary = 0x40;

    // Queues an error and sets its class's event bit (-1xx command, -2xx execution, -3xx
    // device, -4xx query).
    void push(int code, std::string detail = {});
    // A device fault: the device error bit, and the error queued.
    void deviceFault(int code, std::string detail = {});
    void setEvents(uint8_t bits) { events_ |= bits; }
    // *ESR?: the register, which reading clears.
    uint8_t takeEvents();
    // *STB?: computed from the queue and the registers; reading clears nothing.
    uint8_t statusByte() const;
    // *CLS: the queue and the event register; the masks stay.
    void clear();

    uint8_t eventEnable = 0;    // *ESE
    uint8_t serviceEnable = 0;  // *SRE
    ErrorQueue& errors() { return errors_; }

  private:
    ErrorQueue errors_;
    uint8_t events_ = PowerOn;
};

}  // namespace veka
