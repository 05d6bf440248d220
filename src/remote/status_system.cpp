// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/status_system.h"

namespace veka {

namespace {

uint8_t classBit(int code) {
    if (code <= -100 && code > -200) return StatusSystem::CommandError;
    if (code <= -200 && code > -300) return StatusSystem::ExecutionError;
    if (code <= -400 && code > -500) return StatusSystem::QueryError;
    return code == scpi::NoError ? 0 : StatusSystem::DeviceError;
}

}  // namespace

void StatusSystem::push(int code, std::string detail) {
    events_ |= classBit(code);
    errors_.push(code, std::move(detail));
}

void StatusSystem::deviceFault(int code, std::string detail) {
    events_ |= DeviceError;
    push(code, std::move(detail));
}

uint8_t StatusSystem::takeEvents() {
    const uint8_t e = events_;
    events_ = 0;
    return e;
}

uint8_t StatusSystem::statusByte() const {
    uint8_t b = 0;
    if (errors_.size() > 0) b |= ErrorAvailable;
    if ((events_ & eventEnable) != 0) b |= EventSummary;
    if ((b & serviceEnable & ~MasterSummary) != 0) b |= MasterSummary;
    return b;
}

void StatusSystem::clear() {
    errors_.clear();
    events_ = 0;
}

}  // namespace veka
