#pragma once

#include <QLabel>
#include <QMainWindow>

namespace Ui {
class MainWindow;
}

// The program's window: owns the form and every long-lived object, receives every operator action and
// every device result. It wires and displays; protocol and chart logic live in their own classes.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

private:
    void fillPortLists();

    Ui::MainWindow *ui;
    int unit = 2; // temperature unit code for tiles and chart: 1 = Fahrenheit, 2 = Celsius
    // Status-bar texts; value members adopted by the status bar, which they leave again on destruction.
    QLabel portLabel;
    QLabel baudLabel;
    QLabel versionLabel;
};
