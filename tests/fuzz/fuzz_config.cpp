// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a configuration file: reading never fails, and what it read writes a file that
// reads back to the same settings.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/config_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    veka::Einstellungen e;
    veka::konfigurationLesen(bytes, e);
    if (e.Messpunkte > veka::MaxPunkte) std::abort();

    const std::string written = veka::konfigurationSchreiben(e);
    veka::Einstellungen again;
    veka::konfigurationLesen(written, again);
    if (veka::konfigurationSchreiben(again) != written) std::abort();
    return 0;
}
