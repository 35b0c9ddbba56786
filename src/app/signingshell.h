#pragma once

#include <QObject>

class CalibrationReporter;
class MainWindow;

// The window's side of signed certificates: 设置 → 签名 edits where the key is kept and stores it (never
// its password); 文件 → 签署已签发的证书… signs a certificate issued unsigned, from its issue record, and
// 修订已签发的证书… re-issues one with corrected customer, item or lab fields. The window parents it and
// the reporter outlives it. GUI thread only.
class SigningShell : public QObject
{
    Q_OBJECT

public:
    SigningShell(MainWindow *window, CalibrationReporter *reporter);

    void editSettings();
    void signIssued();
    void amendIssued();

private:
    // The number of an issued certificate the operator picks among the issue records; empty when none.
    QString chooseIssued(const QString &title) const;

    MainWindow *m_window;
    CalibrationReporter *m_reporter;
};
