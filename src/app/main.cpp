#include "app/mainwindow.h"
#include "app/startup.h"
#include "remote/remotecontrol.h"
#include "settings/settings.h"

#include <QApplication>
#include <QTimer>

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
    RemoteControl remote(&window);
    remote.apply(readRemoteSettings(appSettings));
    // Once the window is up, so the question has it as its parent.
    QTimer::singleShot(0, &window, &MainWindow::offerPendingReports);
    return app.exec();
}
