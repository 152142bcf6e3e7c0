#include "app/Startup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    app::StartupOptions options;
    options.splashLingerMs = 1500;
    return app::RunStartup(options);
}
