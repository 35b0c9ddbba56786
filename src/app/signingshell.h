#pragma once

#include <QObject>

class MainWindow;

// The window's side of signed certificates: 设置 → 签名 edits where the key is kept and stores it (never
// its password). Lives as long as the window, which parents it. GUI thread only.
class SigningShell : public QObject
{
    Q_OBJECT

public:
    explicit SigningShell(MainWindow *window);

    void editSettings();

private:
    MainWindow *m_window;
};
