// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a language file: every section listed can be looked up, and no value is longer
// than the format allows.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/ini_reader.h"
#include "files/text_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const veka::IniFile ini = veka::IniFile::parse(bytes);
    size_t looked = 0;
    for (const std::string& section : ini.sections()) {
        if (!veka::isValidUtf8(section)) std::abort();
        for (const char* key : {"Button1", "string7", "menu38", ""}) {
            const std::string value = ini.get(section, key);
            if (!veka::isValidUtf8(value)) std::abort();
            if (veka::utf8ToCp1252(value).size() > veka::MaxIniWertlaenge) std::abort();
        }
        if (++looked == 64) break;  // keeps huge section lists fast
    }
    return 0;
}
