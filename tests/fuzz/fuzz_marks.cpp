// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a frequency-mark file.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/marks_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const veka::Frequenzmarkenfeld marken = veka::frequenzmarkenLesen(bytes);
    if (marken[0] != 0) std::abort();
    return 0;
}
