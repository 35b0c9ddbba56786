#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QWidget;

// The drop-down menus of the window's menu buttons, in the language in force. Each entry is told by a
// signal; the window decides what it does. Open, save, CSV export, exit and the manual have keys (Ctrl+O,
// Ctrl+S, Ctrl+E, Ctrl+Q, F1) that work anywhere in the window.
class WindowMenus : public QObject
{
    Q_OBJECT

public:
    // The menus are children of `window`, so they go with it.
    explicit WindowMenus(QWidget *window);

    QMenu *fileMenu() const { return m_file; }
    QMenu *settingsMenu() const { return m_settings; }
    QMenu *helpMenu() const { return m_help; }
    void retranslate();
    // Ticks the entry of `language` (a stored "Language" value) in the language menu.
    void showLanguage(const QString &language);

signals:
    void openCurve();
    void saveCurve();
    void exportCsv();
    void exportImage();
    void signIssued();
    void amendIssued();
    void exit();
    void chartSettings();
    void calibration();
    void remoteControl();
    void telemetry();
    void signing();
    void lab();
    void simplifiedChinese();
    void english();
    void traditionalChinese();
    void manual();
    void about();

private:
    QMenu *m_file;
    QMenu *m_settings;
    QMenu *m_language;
    QMenu *m_help;
    QAction *m_openCurve;
    QAction *m_saveCurve;
    QAction *m_exportCsv;
    QAction *m_exportImage;
    QAction *m_signIssued;
    QAction *m_amendIssued;
    QAction *m_exit;
    QAction *m_chartSettings;
    QAction *m_calibration;
    QAction *m_remoteControl;
    QAction *m_telemetry;
    QAction *m_signing;
    QAction *m_lab;
    QAction *m_chinese;
    QAction *m_english;
    QAction *m_traditional;
    QAction *m_manual;
    QAction *m_about;
};
