#include "calibrationstart.h"

QVector<CalibrationStart::Obstacle> CalibrationStart::obstacles(const Situation &s)
{
    using State = BlackbodySession::State;
    QVector<Obstacle> out;
    if (s.link.run != RunPhase::None)
        out << Obstacle::RunInProgress;
    const State link = s.link.link;
    if (link == State::Closed || link == State::Opening || link == State::Reconnecting || !s.link.portOpen)
        out << Obstacle::LinkNotOpen;
    else if (!s.controllerConfirmed || s.link.controllerSuspect)
        out << Obstacle::ControllerUnconfirmed;
    if (!s.fitsModel)
        out << Obstacle::OutsideModel;
    if (!s.reportFolderWritable)
        out << Obstacle::NoReportFolder;
    if (!s.labKnown)
        out << Obstacle::LabUnknown;
    if (s.link.unsavedCurve)
        out << Obstacle::UnsavedCurve;
    if (s.chartHoldsMs < s.runNeedsMs)
        out << Obstacle::ChartTooSmall;
    if (s.sourceOverdue)
        out << Obstacle::SourceOverdue;
    if (!s.certificateComplete)
        out << Obstacle::CertificateIncomplete;
    return out;
}

bool CalibrationStart::isFinal(Obstacle obstacle)
{
    switch (obstacle) {
    case Obstacle::RunInProgress:
    case Obstacle::LinkNotOpen:
    case Obstacle::ControllerUnconfirmed:
    case Obstacle::OutsideModel:
        return true;
    case Obstacle::NoReportFolder:
    case Obstacle::LabUnknown:
    case Obstacle::UnsavedCurve:
    case Obstacle::ChartTooSmall:
    case Obstacle::SourceOverdue:
    case Obstacle::CertificateIncomplete:
        break;
    }
    return false;
}

CalibrationStart::Resume CalibrationStart::resume(
    std::optional<qint16> latestWire, std::optional<qint16> heldWire, qint16 stepWire)
{
    if (!latestWire)
        return Resume::NoReading;
    if (!heldWire || *latestWire == *heldWire || *latestWire == stepWire)
        return Resume::Go;
    return Resume::AskSameController;
}
