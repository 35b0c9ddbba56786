#include "signingshell.h"

#include "app/mainwindow.h"
#include "dialogs/signingsettingsdialog.h"
#include "settings/settings.h"
#include "settings/signingsettings.h"

#include <QMessageBox>

SigningShell::SigningShell(MainWindow *window)
    : QObject(window)
    , m_window(window)
{
    connect(window, &MainWindow::signingRequested, this, &SigningShell::editSettings);
}

void SigningShell::editSettings()
{
    SigningSettingsDialog dialog(SigningSettings::read(appSettings), m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.settings().store(appSettings);
    if (const SaveResult saved = appSettings.save(); !saved)
        QMessageBox::warning(m_window, tr("错误"), saved.message(appSettings.filePath()));
}
