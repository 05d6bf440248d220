// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/marks_file.h"

#include "files/integer_rule.h"
#include "files/text_lines.h"

namespace veka {

Frequenzmarkenfeld frequenzmarkenLesen(std::string_view bytes) {
    Frequenzmarkenfeld marken{};
    LineReader reader(bytes);
    for (int k = 1; k <= MaxFrequenzmarken && !reader.atEnd(); ++k)
        marken[static_cast<size_t>(k)] = integerOr(reader.next(), 0);
    return marken;
}

Frequenzmarkenfeld frequenzmarkenLaden(const std::string& path) {
    const auto bytes = readFileBytes(path, MaxMarkenBytes);
    return bytes ? frequenzmarkenLesen(*bytes) : Frequenzmarkenfeld{};
}

}  // namespace veka
