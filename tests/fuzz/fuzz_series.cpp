// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a measurement series file: either rejected by its first line, or read with
// between 2 and 300 values.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/series_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    bool wrong = false;
    const auto reihe = veka::messreiheLesen(bytes, &wrong);
    if (reihe.has_value() == wrong) std::abort();
    if (reihe && (reihe->werte.size() < 2 || reihe->werte.size() > veka::MaxPunkte)) std::abort();
    if (reihe && (reihe->art < 1 || reihe->art > 3)) std::abort();
    return 0;
}
