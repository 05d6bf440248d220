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
    {scpi::InvalidStringData, "Invalid string data"},
    {scpi::ExecutionError, "Execution error"},
    {scpi::SettingsConflict, "Settings conflict"},
    {scpi::DataOutOfRange, "Data out of range"},
    {scpi::TooMuchData, "Too much data"},
    {scpi::DataStale, "Data corrupt or stale"},
    {scpi::HardwareError, "Hardware error"},
    {scpi::MassStorageError, "Mass storage error"},
    {scpi::FileNameNotFound, "File name not found"},
    {scpi::QueueOverflow, "Queue overflow"},
};

}  // namespace

std::string scpiErrorText(int code) {
    for (const auto& [c, text] : kTexts)
        if (c == code) return text;
    return "Unknown error";
}

void ErrorQueue::push(int code) {
    if (code == scpi::NoError) return;
    if (entries_.size() < Capacity) {
        entries_.push_back(code);
        return;
    }
    entries_.back() = scpi::QueueOverflow;
}

std::string ErrorQueue::pop() {
    int code = scpi::NoError;
    if (!entries_.empty()) {
        code = entries_.front();
        entries_.pop_front();
    }
    return std::to_string(code) + ",\"" + scpiErrorText(code) + "\"";
}

}  // namespace veka
