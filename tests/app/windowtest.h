#pragma once

#include "widgets/tempareaitem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

class MainWindow;
class Station;
namespace sim {
class BlackbodyDevice;
class DeviceSimulator;
} // namespace sim

// The button of a message box with that caption; a missing one ends the test run.
// Chooses `path` in a file dialog and accepts it. The folder goes first: the dialog opens in the last
// folder any test visited, and a name it already lists elsewhere would be looked up there. selectFile()
// leaves the name box alone while it has the focus, which it may have taken by now.
inline void chooseFile(QFileDialog *files, const QString &path)
{
    if (QWidget *focused = files->focusWidget())
        focused->clearFocus();
    files->setDirectory(QFileInfo(path).absolutePath());
    files->selectFile(path);
    QMetaObject::invokeMethod(files, "accept");
}

inline QAbstractButton *boxButton(QMessageBox *box, const QString &text)
{
    const auto buttons = box->buttons();
    const auto found = std::find_if(
        buttons.begin(), buttons.end(), [&text](QAbstractButton *button) { return button->text() == text; });
    if (found == buttons.end())
        qFatal("no button %s in the box \"%s\"", qPrintable(text), qPrintable(box->text()));
    return *found;
}

// The window's widget of that object name; a missing one ends the test run, since every later step
// would only fail less clearly.
template<typename T>
T *namedChild(const QObject *window, const char *name)
{
    // The title bar's hidden menu row repeats the names of the window's menu buttons; the window's own
    // are meant.
    T *widget = nullptr;
    if (auto *mainWindow = qobject_cast<const QMainWindow *>(window);
        mainWindow && mainWindow->centralWidget())
        widget = mainWindow->centralWidget()->findChild<T *>(QLatin1String(name));
    if (!widget)
        widget = window->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no child %s", name);
    return widget;
}

// The read-out tile with that caption; a missing one ends the test run.
inline TempAreaItem *captionedTile(const QObject *window, const QString &caption)
{
    const auto tiles = window->findChildren<TempAreaItem *>();
    const auto found = std::find_if(
        tiles.begin(), tiles.end(), [&caption](TempAreaItem *item) { return item->caption() == caption; });
    if (found == tiles.end())
        qFatal("no tile %s", qPrintable(caption));
    return *found;
}

// Deals with every modal window the program opens: message boxes are remembered as "title|text" and
// handed to onBox (answered with Ok when unset, which a box with buttons of its own takes as no choice),
// other dialogs are remembered by class and handed to onDialog (rejected when unset).
class ModalHandler : public QObject
{
public:
    ModalHandler()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || modal == m_handled)
                return;
            m_handled = modal;
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                boxes << box->windowTitle() + QLatin1Char('|') + box->text();
                if (onBox)
                    onBox(box);
                else
                    box->done(QMessageBox::Ok);
                return;
            }
            dialogs << QString::fromLatin1(modal->metaObject()->className());
            auto *dialog = qobject_cast<QDialog *>(modal);
            if (onDialog)
                onDialog(dialog);
            else
                dialog->reject();
        });
        m_timer.start(20);
    }

    QStringList boxes;
    QStringList dialogs;
    std::function<void(QDialog *)> onDialog;
    std::function<void(QMessageBox *)> onBox;

private:
    QTimer m_timer;
    QPointer<QWidget> m_handled;
};

// The window as an operator meets it, driven against the bundled controller simulator. A suite derives
// from it, calls showWindow() from init() and closeWindow() from cleanup(); the rest is its own.
class WindowTest : public QObject
{
public:
    static constexpr int kWaitMs = 6000;

    WindowTest();
    ~WindowTest() override;

protected:
    // A new window, shown; modal windows are handled from now on. The read-out tiles join their list
    // shortly after start-up: a suite that reads them waits for them here.
    void showWindow(bool withTiles = true);
    // Forgets the port the case chose, then ends the window, the controller and the modal handler.
    void closeWindow();
    // Starts a noise-free controller of the chosen model that follows its set point at once, types its
    // port into the window and opens it. A silent one never answers, so the chart gets no reading.
    void openSimulator(int modelIndex = 0, bool answering = true);
    void click(const char *name) const;
    // Whether a label in the status bar shows exactly this.
    bool statusBarShows(const QString &text) const;
    // The caption of the blackbody port's open/close button, which tells whether the link is open.
    QString portButton() const;
    // The calibration run's line in the status bar, and the message its end left.
    QString statusText() const;

    template<typename T>
    T *child(const char *name) const
    {
        return namedChild<T>(windowObject(), name);
    }
    TempAreaItem *tile(const QString &caption) const { return captionedTile(windowObject(), caption); }

    QTemporaryDir m_dir;
    sim::BlackbodyDevice *m_device = nullptr;
    std::unique_ptr<sim::DeviceSimulator> m_sim;
    std::unique_ptr<Station> m_station;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<ModalHandler> m_modals;

private:
    QObject *windowObject() const;
};
