#pragma once
// The windows' font: a sans-serif face standing in for the designed "MS Sans Serif".

#include <QFont>

namespace veka {

inline QFont fensterSchrift(int punkte = 8, bool fett = false) {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(punkte);
    font.setBold(fett);
    return font;
}

}  // namespace veka
