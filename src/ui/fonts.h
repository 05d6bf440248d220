// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The windows' font. The controls were laid out for a narrow 8-point face; Debian's common
// sans faces run wider and would cut the readouts off, so a narrow face comes first.

#include <QFont>
#include <QStringList>

namespace veka {

// In order of preference: Liberation Sans Narrow (fonts-liberation), DejaVu Sans Condensed
// (fonts-dejavu-extra), then any sans-serif face.
inline QStringList fensterSchriftFamilien() {
    return {QStringLiteral("Liberation Sans Narrow"), QStringLiteral("DejaVu Sans Condensed"),
            QStringLiteral("Sans Serif")};
}

inline QFont fensterSchrift(int punkte = 8, bool fett = false) {
    QFont font;
    font.setFamilies(fensterSchriftFamilien());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(punkte);
    font.setBold(fett);
    return font;
}

}  // namespace veka
