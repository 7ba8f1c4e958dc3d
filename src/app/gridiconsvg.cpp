// Writes the program's scalable icon to the file named by its argument, at build time, from the
// same layout the tray icon is painted with.

#include "gridicon.h"

#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.svg\n", argv[0]);
        return 1;
    }
    QFile output(QFile::decodeName(argv[1]));
    const QByteArray svg = GridIcon::svg();
    if (!output.open(QIODevice::WriteOnly | QIODevice::Truncate) || output.write(svg) != svg.size()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
