#include "app/FrenchLocale.h"
#include "app/Startup.h"
#include "mainwindow/TMainForm.h"

#include <QApplication>

#include <unistd.h>

int main(int argc, char** argv)
{
    app::PrepareFrenchDates();
    // The web engine's sandbox refuses to start for root, which would leave
    // the HTML preview empty; the pages it shows are the program's own.
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The HTML preview's web engine shares its OpenGL contexts with the widgets.
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    app::StartupOptions options;
    options.createMainWindow = [](db::TDataModule1& dm, db::TDataModuleObject& store) -> std::unique_ptr<QWidget> {
        return std::make_unique<mainwindow::TMainForm>(dm, store);
    };
    return app::RunStartup(options);
}
