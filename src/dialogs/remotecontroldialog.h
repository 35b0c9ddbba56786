#pragma once

#include "settings/remotesettings.h"

#include <QDialog>

namespace Ui {
class RemoteControlDialog;
}

// Edits the remote-control settings; the allow list matters only when listening on the network.
// Created on the stack, run with exec(), GUI thread only.
class RemoteControlDialog : public QDialog
{
    Q_OBJECT

public:
    explicit RemoteControlDialog(const RemoteSettings &settings, QWidget *parent = nullptr);
    ~RemoteControlDialog() override;

    RemoteSettings settings() const;

private:
    void showListenMode();

    Ui::RemoteControlDialog *ui;
};
