// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The SCPI error queue of the instrument: oldest first, bounded; a full queue keeps its
// entries and turns the newest into "Queue overflow", as instruments do. An entry may carry a
// detail after the standard text: -221,"Settings conflict;window dialog open".

#include <deque>
#include <string>

namespace veka {

namespace scpi {
inline constexpr int NoError = 0;
inline constexpr int InvalidCharacter = -101;
inline constexpr int SyntaxError = -102;
inline constexpr int DataTypeError = -104;
inline constexpr int ParameterNotAllowed = -108;
inline constexpr int MissingParameter = -109;
inline constexpr int UndefinedHeader = -113;
inline constexpr int InvalidCharacterInNumber = -121;
inline constexpr int InvalidSuffix = -131;
inline constexpr int SuffixNotAllowed = -138;
inline constexpr int InvalidStringData = -151;
inline constexpr int ExecutionError = -200;
inline constexpr int SettingsConflict = -221;
inline constexpr int DataOutOfRange = -222;
inline constexpr int TooMuchData = -223;
inline constexpr int IllegalParameterValue = -224;
inline constexpr int DataStale = -230;
inline constexpr int HardwareError = -240;
inline constexpr int HardwareMissing = -241;
inline constexpr int MassStorageError = -250;
inline constexpr int FileNameNotFound = -256;
inline constexpr int FileNameError = -257;
inline constexpr int QueueOverflow = -350;
}  // namespace scpi

// The standard text of a code ("Undefined header"); "Unknown error" for codes not listed.
std::string scpiErrorText(int code);

class ErrorQueue {
  public:
    static constexpr size_t Capacity = 16;

    void push(int code, std::string detail = {});
    // `0,"No error"` when empty, else the oldest entry as `-113,"Undefined header"`.
    std::string pop();
    // Every entry, oldest first, separated by ','; `0,"No error"` when empty. Empties it.
    std::string popAll();
    void clear() { entries_.clear(); }
    size_t size() const { return entries_.size(); }

  private:
    struct Entry {
        int code;
        std::string detail;
    };
    std::deque<Entry> entries_;
};

}  // namespace veka
