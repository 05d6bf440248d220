// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/integer_rule.h"

#include <limits>

namespace veka {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

void skipBlanks(std::string_view& text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
}

// Removes a hexadecimal prefix ("$", "x", "X", "0x", "0X") when one leads.
bool takeHexPrefix(std::string_view& text) {
    if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) {
        text.remove_prefix(1);
        return true;
    }
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        return true;
    }
    return false;
}

// Removes an optional sign and tells whether it was "-".
bool takeSign(std::string_view& text) {
    if (text.starts_with('+') || text.starts_with('-')) {
        const bool negative = text.front() == '-';
        text.remove_prefix(1);
        return negative;
    }
    return false;
}

// Eight hex digits are the 32 bits of the value, so "$FFFFFFFF" is -1.
int32_t fromBits(uint64_t bits) {
    return static_cast<int32_t>(static_cast<uint32_t>(bits));
}

}  // namespace

std::optional<int32_t> parseInteger(std::string_view text) {
    skipBlanks(text);
    if (takeHexPrefix(text)) {
        if (text.empty() || text.size() > 8) return std::nullopt;
        uint64_t bits = 0;
        for (char c : text) {
            const int d = hexDigit(c);
            if (d < 0) return std::nullopt;
            bits = bits * 16 + static_cast<uint64_t>(d);
        }
        return fromBits(bits);
    }
    const bool negative = takeSign(text);
    if (text.empty()) return std::nullopt;
    // The magnitude is kept in int64 and bounded, so leading zeros may be any in number.
    constexpr int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (char c : text) {
        if (!isDigit(c)) return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit) return std::nullopt;
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) return std::nullopt;
    return static_cast<int32_t>(value);
}

int32_t leadingInteger(std::string_view field) {
    skipBlanks(field);
    if (takeHexPrefix(field)) {
        // More than eight significant digits saturate at all 32 bits set.
        uint64_t bits = 0;
        for (char c : field) {
            const int d = hexDigit(c);
            if (d < 0) break;
            bits = bits * 16 + static_cast<uint64_t>(d);
            if (bits > 0xFFFFFFFFu) bits = 0xFFFFFFFFu;
        }
        return fromBits(bits);
    }
    const bool negative = takeSign(field);
    // Too many digits saturate at the end of the int32 range instead of wrapping.
    constexpr int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (char c : field) {
        if (!isDigit(c)) break;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit) magnitude = limit;
    }
    if (!negative && magnitude == limit) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace veka
