// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/error_queue.h"

#include <utility>

namespace veka {

namespace {

constexpr std::pair<int, const char*> kTexts[] = {
    {scpi::NoError, "No error"},
    {scpi::InvalidCharacter, "Invalid character"},
    {scpi::SyntaxError, "Syntax error"},
    {scpi::DataTypeError, "Data type error"},
    {scpi::ParameterNotAllowed, "Parameter not allowed"},
    {scpi::MissingParameter, "Missing parameter"},
    {scpi::UndefinedHeader, "Undefined header"},
    {scpi::InvalidCharacterInNumber, "Invalid character in number"},
    {scpi::InvalidSuffix, "Invalid suffix"},
    {scpi::SuffixNotAllowed, "Suffix not allowed"},
    {scpi::InvalidStringData, "Invalid string data"},
    {scpi::ExecutionError, "Execution error"},
    {scpi::SettingsConflict, "Settings conflict"},
    {scpi::DataOutOfRange, "Data out of range"},
    {scpi::TooMuchData, "Too much data"},
    {scpi::IllegalParameterValue, "Illegal parameter value"},
    {scpi::DataStale, "Data corrupt or stale"},
    {scpi::HardwareError, "Hardware error"},
    {scpi::HardwareMissing, "Hardware missing"},
    {scpi::MassStorageError, "Mass storage error"},
    {scpi::FileNameNotFound, "File name not found"},
    {scpi::FileNameError, "File name error"},
    {scpi::QueueOverflow, "Queue overflow"},
};

}  // namespace

std::string scpiErrorText(int code) {
    for (const auto& [c, text] : kTexts)
        if (c == code) return text;
    return "Unknown error";
}

void ErrorQueue::push(int code, std::string detail) {
    if (code == scpi::NoError) return;
    if (entries_.size() < Capacity) {
        entries_.push_back({code, std::move(detail)});
        return;
    }
    entries_.back() = {scpi::QueueOverflow, {}};
}

std::string ErrorQueue::pop() {
    Entry e{scpi::NoError, {}};
    if (!entries_.empty()) {
        e = std::move(entries_.front());
        entries_.pop_front();
    }
    std::string out = std::to_string(e.code);
    out += ",\"";
    out += scpiErrorText(e.code);
    if (!e.detail.empty()) {
        out += ';';
        out += e.detail;
    }
    out += '"';
    return out;
}

std::string ErrorQueue::popAll() {
    std::string out = pop();
    while (!entries_.empty()) {
        out += ',';
        out += pop();
    }
    return out;
}

}  // namespace veka
