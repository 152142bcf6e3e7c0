// Writes one file in its own process, so that tests can kill it at chosen
// points:
//   core_probe save-settings FILE    (settings with Left=111 and MaxWidth=2222)
//   core_probe copy FROM TO
#include "core/SaveFile.h"
#include "core/Settings.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "save-settings") == 0) {
        core::Settings s;
        s.left = 111;
        s.maxWidth = 2222;
        s.twainSource = QString(3000, QLatin1Char('t'));
        return core::SaveSettings(QString::fromLocal8Bit(argv[2]), s) ? 0 : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "copy") == 0) {
        QString error;
        if (core::copyFileAtomically(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), &error))
            return 0;
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        return 1;
    }
    std::fprintf(stderr, "usage: core_probe save-settings FILE | copy FROM TO\n");
    return 2;
}
