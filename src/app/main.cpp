#include "app/mainwindow.h"
#include "app/startup.h"
#include "settings/settings.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    prepareApplication();

    // The settings folder is named after the executable, so this must run before the window renames
    // the application.
    appSettings.load();
    appSettings.applyDefaults();

    MainWindow window;
    window.show();
    return app.exec();
}
