// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the built-in help page as the help file installed with the program.
#include <QFile>
#include <cstdio>

#include "ui/help_text.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: veka-help-file OUTPUT\n", stderr);
        return 2;
    }
    QFile file(QFile::decodeName(argv[1]));
    const QByteArray page = veka::builtInHelpHtml().toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(page) != page.size()) {
        std::fprintf(stderr, "veka-help-file: cannot write %s\n", argv[1]);
        return 4;
    }
    return 0;
}
