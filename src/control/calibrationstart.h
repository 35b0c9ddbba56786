#pragma once

#include "control/linkpolicy.h"

#include <QVector>
#include <QtGlobal>

#include <optional>

// Whether a calibration run may start or resume, by the same rules whoever asks. Pure: the caller
// gathers the facts, each door words the verdicts and, where it can ask someone, clears an obstacle
// by asking (a folder chosen, the lab named, the curve dropped, the chart's setting changed, an
// overdue source accepted, a test report for an incomplete certificate); a door nobody answers takes the
// safe answer and refuses, except that it goes ahead as a test report and says so.
class CalibrationStart
{
public:
    // In the order they are looked at, and asked about.
    enum class Obstacle {
        RunInProgress,
        LinkNotOpen,
        ControllerUnconfirmed, // a run's set points must not go to a controller that may be another one
        OutsideModel, // a set point the open model cannot send as it stands
        InstrumentUnavailable, // the run reads the instrument, whose driver or port failed it
        EmissivityMismatch, // the instrument's emissivity, set to the run's, reads back otherwise
        NoReportFolder, // none stored, or it is gone or cannot be written
        LabUnknown, // the certificate names the lab and numbers itself with its prefix
        UnsavedCurve, // the run's recording would replace it
        ChartTooSmall, // the chart would drop the start of the run's curve
        SourceOverdue, // the source's own calibration ran out; the certificate says so
        CertificateIncomplete, // the run may go ahead as a test report, which is no certificate
        EmissivityUnconfirmed, // an instrument that cannot be asked: someone must say its setting is the
                               // run's
    };

    // The instrument under test, for a run that takes its readings from it.
    enum class Instrument { NotUsed, Unavailable, Ready };
    // Its emissivity after the run set it (where the driver can) and read it back (where it can).
    struct Emissivity
    {
        bool canSet = false;
        bool canQuery = false;
        std::optional<double> readBack; // the query's answer, or the set command's echo; none without
        double wanted = 0.95; // the run's ε_u
        double tolerance = 0.001;
        bool vouched = false; // the run file says the setting is the run's
    };
    enum class EmissivityVerdict { Matches, Differs, Unknown, Vouched };
    // Unknown: the instrument has no commands (or did not answer them), and nobody vouched yet.
    static EmissivityVerdict emissivity(const Emissivity &e);

    struct Situation
    {
        LinkSituation link;
        bool controllerConfirmed = false; // no interruption since it last showed it is ours
        bool fitsModel = true; // every set point within the model's range and decimals
        bool reportFolderWritable = false;
        bool labKnown = false;
        qint64 chartHoldsMs = 0; // what the chart's capacity and interval hold
        qint64 runNeedsMs = 0; // the run's least duration
        bool sourceOverdue = false;
        bool certificateComplete = true; // nothing CertificateCompleteness names is missing
        Instrument instrument = Instrument::NotUsed;
        EmissivityVerdict emissivity = EmissivityVerdict::Matches; // Ready only
        QString instrumentDetail; // why it is unavailable, or what it read back; for the door's words
    };

    // Every obstacle in the way, in order; none when the run may start.
    static QVector<Obstacle> obstacles(const Situation &situation);
    // Those nobody could clear by answering a question: the run cannot start while they stand.
    static bool isFinal(Obstacle obstacle);

    enum class Resume {
        Go,
        NoReading, // no valid reading yet: nothing shows which controller answers
        AskSameController, // it holds neither what it held when the run paused nor the step's set point
    };
    // A paused run goes on with a controller that reports what ours held when the run paused, or the
    // step's set point; `held` is unknown when the run paused before any reading.
    static Resume resume(std::optional<qint16> latestWire, std::optional<qint16> heldWire, qint16 stepWire);
};
