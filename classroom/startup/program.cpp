#include "startup/program.h"

#include <QApplication>
#include <cstdio>

// Replaced by the launcher's program start.
int dastrelMain(int argc, char **argv)
{
    QApplication app(argc, argv);
    std::fputs("Dastrel: program start not built yet\n", stderr);
    return 1;
}
