#include "recordingoffer.h"

#include "chart/chartfileactions.h"
#include "recording/curverecorder.h"
#include "station/station.h"

#include <QDateTime>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>

RecordingOffer::RecordingOffer(Station *station, ChartFileActions *files, QWidget *window)
    : QObject(window)
    , m_station(station)
    , m_files(files)
    , m_window(window)
{
    connect(&station->recorder(), &CurveRecorder::journalFailed, this, [this](const QString &reason) {
        QMessageBox::warning(
            m_window, tr("提示"), tr("曲线记录无法写入（%1）：程序意外退出时这条曲线会丢失。").arg(reason));
    });
}

void RecordingOffer::offer()
{
    using Status = RecordingJournal::Status;
    const QVector<RecordingJournal::Found> found = Station::unsavedRecordings();
    for (const RecordingJournal::Found &recording : found) {
        // Killed before its first sample: nothing to offer.
        if (recording.status == Status::Empty) {
            Station::dropRecording(recording.path);
            continue;
        }
        if (recording.status != Status::Ok) {
            QMessageBox::warning(m_window, tr("提示"),
                tr("曲线记录 %1 无法读取：%2。文件已保留。")
                    .arg(QDir::toNativeSeparators(recording.path), recording.error));
            continue;
        }
        const QString start = QDateTime::fromMSecsSinceEpoch(recording.startMsecs)
                                  .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        QMessageBox box(QMessageBox::Question, tr("提示"),
            tr("发现一条未保存的曲线（开始于 %1，%2 个点）：").arg(start).arg(recording.points),
            QMessageBox::NoButton, m_window);
        QPushButton *save = box.addButton(tr("保存"), QMessageBox::AcceptRole);
        QPushButton *view = box.addButton(tr("查看"), QMessageBox::ActionRole);
        QPushButton *drop = box.addButton(tr("丢弃"), QMessageBox::DestructiveRole);
        box.setDefaultButton(save);
        box.exec();
        // Closed without an answer: it waits for the next start.
        if (box.clickedButton() != save && box.clickedButton() != view && box.clickedButton() != drop)
            continue;
        if (box.clickedButton() == drop) {
            if (!Station::dropRecording(recording.path))
                QMessageBox::warning(m_window, tr("提示"),
                    tr("无法删除曲线记录 %1").arg(QDir::toNativeSeparators(recording.path)));
            continue;
        }
        QString error;
        if (!m_station->recoverRecording(recording.path, &error)) {
            QMessageBox::warning(m_window, tr("提示"), error);
            return;
        }
        if (box.clickedButton() == view)
            return;
        m_files->exportCurveAs();
        // A cancelled or failed save leaves the curve on the chart, unsaved.
        if (m_station->recorder().hasUnsavedCurve())
            return;
    }
}
