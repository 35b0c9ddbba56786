#include "calibrationstart.h"

#include <cmath>

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
    if (s.instrument == Instrument::Unavailable)
        out << Obstacle::InstrumentUnavailable;
    else if (s.instrument == Instrument::Ready && s.emissivity == EmissivityVerdict::Differs)
        out << Obstacle::EmissivityMismatch;
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
    if (s.instrument == Instrument::Ready && s.emissivity == EmissivityVerdict::Unknown)
        out << Obstacle::EmissivityUnconfirmed;
    return out;
}

bool CalibrationStart::isFinal(Obstacle obstacle)
{
    switch (obstacle) {
    case Obstacle::RunInProgress:
    case Obstacle::LinkNotOpen:
    case Obstacle::ControllerUnconfirmed:
    case Obstacle::OutsideModel:
    case Obstacle::InstrumentUnavailable:
    case Obstacle::EmissivityMismatch:
        return true;
    case Obstacle::NoReportFolder:
    case Obstacle::LabUnknown:
    case Obstacle::UnsavedCurve:
    case Obstacle::ChartTooSmall:
    case Obstacle::SourceOverdue:
    case Obstacle::CertificateIncomplete:
    case Obstacle::EmissivityUnconfirmed:
        break;
    }
    return false;
}

CalibrationStart::EmissivityVerdict CalibrationStart::emissivity(const Emissivity &e)
{
    if (e.readBack) {
        // A hair over the tolerance, from the decimal text the instrument sent, is no mismatch.
        return std::abs(*e.readBack - e.wanted) <= e.tolerance * (1 + 1e-9) ? EmissivityVerdict::Matches
                                                                            : EmissivityVerdict::Differs;
    }
    // A driver that can ask and got no answer knows nothing; vouching does not stand in for a failed check.
    if (e.canQuery)
        return EmissivityVerdict::Differs;
    return e.vouched ? EmissivityVerdict::Vouched : EmissivityVerdict::Unknown;
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
