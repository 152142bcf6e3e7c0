// Helper process for the start-up tests:
//   app_probe lock NAME        holds the single-instance lock until stdin closes
//   app_probe writetest FILE   runs the write test, prints 1/0 and the message
//   app_probe dates            prints a date as the system locale writes it
#include "app/FrenchLocale.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "ui/ScriptedPrompt.h"

#include <QApplication>
#include <QDateTime>
#include <QLocale>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 2 && std::strcmp(argv[1], "dates") == 0)
        app::PrepareFrenchDates();
    QApplication application(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "dates") == 0) {
        const QDateTime t(QDate(2009, 12, 7), QTime(15, 4));
        std::printf("%s\n", QLocale::system().toString(t, QStringLiteral("d MMM yyyy")).toUtf8().constData());
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "lock") == 0) {
        app::SingleInstance lock;
        if (!lock.tryAcquire(QString::fromLocal8Bit(argv[2]))) {
            std::printf("busy\n");
            return 1;
        }
        std::printf("locked\n");
        std::fflush(stdout);
        char buffer[64];
        while (std::fgets(buffer, sizeof buffer, stdin)) {
        }
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "writetest") == 0) {
        ui::ScriptedPrompt prompt;
        const bool ok =
            app::TestWriteAccess(QStringLiteral("Quillmark Planning 1.34"), QString::fromLocal8Bit(argv[2]));
        std::printf("%d\n", ok ? 1 : 0);
        for (const auto& m : prompt.messages())
            std::printf("%s\n", m.text.toUtf8().constData());
        return 0;
    }
    return 2;
}
