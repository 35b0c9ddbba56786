#pragma once

#include <QWidget>

namespace Ui {
class CorvelTitalbar;
}
class QAction;
class QMenu;

// The frameless main window's own title bar: logo, name, a clock, and the minimise, maximise/restore
// and close buttons. It only emits signals; the window minimises, maximises, closes and moves itself.
// It also builds a row of menu buttons that stays hidden; its signals are wired all the same.
class CorvelTitalbar : public QWidget
{
    Q_OBJECT

public:
    explicit CorvelTitalbar(QWidget *parent = nullptr);
    ~CorvelTitalbar() override;

signals:
    void MinimizeButtonClicked();
    void CloseButtonClicked();
    // The maximise/restore button, or a double click on the bar.
    void WindowsChangeClicked();
    void fileClicked();
    void actionAbout();
    void actionImportData();
    void actionExportData();
    void actionExit();
    void actionDeviceInfo();
    void actionChartSettings();
    void actionChinese();
    void actionEnglish();

public slots:
    // true: the window is normal-sized, so the button offers to maximise; false: it offers to restore.
    void changeImage(bool normal);
    // The window's title, with the curve it shows; cut at its start when long, whole in its tooltip.
    void showTitle(const QString &title);

protected:
    void timerEvent(QTimerEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildMenus();
    void retranslateMenus();
    void applyTitle();

    Ui::CorvelTitalbar *ui;
    QAction *m_importAction = nullptr;
    QAction *m_exportAction = nullptr;
    QAction *m_exitAction = nullptr;
    QAction *m_deviceInfoAction = nullptr;
    QAction *m_chartSettingsAction = nullptr;
    QMenu *m_languageMenu = nullptr;
    QAction *m_aboutAction = nullptr;
    QString m_title; // empty: the form's program name
};
