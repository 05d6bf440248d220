// SPDX-License-Identifier: GPL-3.0-or-later
#include "remote/scpi_format.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace veka {

namespace {

std::string fixed(double v, int decimals) {
    if (v == 0) v = 0;  // no "-0.0"
    char buffer[64];
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
    return std::string(buffer, r.ptr);
}

template <typename Float, typename Bits>
void appendBinary(std::string& out, Float value, bool swapped) {
    Bits bits = std::bit_cast<Bits>(value);
    char bytes[sizeof bits];
    for (size_t i = 0; i < sizeof bits; ++i) {
        const size_t shift = 8 * (swapped ? i : sizeof bits - 1 - i);
        bytes[i] = static_cast<char>((bits >> shift) & 0xff);
    }
    out.append(bytes, sizeof bytes);
}

}  // namespace

std::string levelText(double level, bool linear) {
    return fixed(level, linear ? 4 : 1);
}

std::string secondsText(double seconds) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, seconds);
    return std::string(buffer, r.ptr);
}

std::string definiteBlock(const std::string& bytes) {
    const std::string length = std::to_string(bytes.size());
    std::string out = "#";
    out += std::to_string(length.size());
    out += length;
    out += bytes;
    return out;
}

std::string listAnswer(const std::vector<double>& values, const DataFormat& format,
                       std::string (*ascii)(double)) {
    std::string out;
    if (format.kind == DataFormat::Kind::Ascii) {
        for (double v : values) {
            if (!out.empty()) out += ',';
            out += ascii(v);
        }
        return out;
    }
    for (double v : values) {
        if (format.kind == DataFormat::Kind::Real32)
            appendBinary<float, uint32_t>(out, static_cast<float>(v), format.swapped);
        else
            appendBinary<double, uint64_t>(out, v, format.swapped);
    }
    return definiteBlock(out);
}

std::string wholeText(double v) {
    return std::to_string(std::llround(v));
}

std::string dbText(double v) {
    return levelText(v, false);
}

std::string linearText(double v) {
    return levelText(v, true);
}

std::string idnField(const std::string& text) {
    std::string out;
    bool blank = false;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        const bool keep = u > 0x20 && u < 0x7f && c != ',' && c != ';' && c != '"' && c != '\'';
        if (!keep) {
            blank = !out.empty();
            continue;
        }
        if (blank) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

}  // namespace veka
