#pragma once

#include "control/blackbodypoll.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QVector>
#include <QtNumeric>

// One point of a calibration run. Temperatures in degrees Celsius, times in seconds.
struct CalibrationStep
{
    double setPoint = 0;
    double band = 0.1; // half-width of the stability band around the set point
    double window = 30; // how long the readings must stay in the band to count as stable
    double dwell = 60; // how long readings are collected once stable; at least kShortestDwell
    bool askReading = true; // pause for the reading of the instrument under test

    bool operator==(const CalibrationStep &other) const;
    bool operator!=(const CalibrationStep &other) const { return !(*this == other); }
};

// What a certificate says of the item and the job, beside the run's own header.
struct CertificateFields
{
    QString customer;
    // Where the customer is, for the machine-readable certificate: the postal address as one text and
    // the ISO 3166-1 alpha-2 country ("CN"); both empty when not given.
    QString customerAddress;
    QString customerCountry;
    QString condition = QStringLiteral("as found"); // "as found" or "as left"
    QString signatory;
    QString make;
    QString model;
    QString serial;
    double resolutionC = 0.1; // the instrument's display resolution
    double bandLowUm = 8; // its spectral band
    double bandHighUm = 14;
    double apertureMm = 0; // the source's

    bool operator==(const CertificateFields &other) const;
};

// The source's expanded uncertainty (k = 2) at one set point of its own calibration.
struct SourceUncertaintyPoint
{
    double setPoint = 0;
    double expanded = 0;

    bool operator==(const SourceUncertaintyPoint &other) const;
};

struct SourceFields
{
    QString make; // the source's own identity, as its certificate names it
    QString model;
    QString serial;
    double emissivity = 0.95;
    double emissivityUncertainty = 0; // standard uncertainty of `emissivity`
    QString certificate; // of the source's own calibration
    QString due; // ISO date, yyyy-MM-dd; empty when unknown
    QVector<SourceUncertaintyPoint> uncertainty; // by ascending set point

    bool operator==(const SourceFields &other) const;
};

// A further component of the uncertainty budget, in degrees Celsius.
struct BudgetComponent
{
    enum class Distribution { Normal, Rectangular, Triangular };
    // Where the influence enters: added to the reading (sensitivity 1), or to the source's temperature
    // (carried to the reading through ∂T_u/∂T_s).
    enum class ActsAt { Reading, Source };

    QString name;
    double value = 0; // the expanded value for Normal, the half-width otherwise
    Distribution distribution = Distribution::Normal;
    double k = 2; // Normal only
    double dof = qInf(); // degrees of freedom; infinite unless the file states them
    ActsAt actsAt = ActsAt::Reading;
    // The instrument's repeatability (s of one reading) from elsewhere, for steps with a single reading;
    // `basis` says where it comes from ("previous evaluation, 2026-11").
    bool repeatability = false;
    QString basis;

    bool operator==(const BudgetComponent &other) const;
};

// Where a run's readings of the instrument under test come from: typed by the operator (or supplied by a
// script), or taken from the instrument through its driver file on the station's port.
struct ReadingsSource
{
    enum class From { Typed, Driver };

    From from = From::Typed;
    QString driver; // a driver file's name, looked up in the driver folders, or an absolute path
    QString port; // a serial device, or "host:port" for a driver over TCP
    double intervalS = 1; // between readings, kShortestIntervalS to kLongestIntervalS
    // For an instrument without emissivity commands: the file vouches that its setting is the run's, which
    // a door nobody watches needs before it starts; the window asks instead.
    bool emissivityConfirmed = false;

    static constexpr double kShortestIntervalS = 0.2;
    static constexpr double kLongestIntervalS = 60;

    bool operator==(const ReadingsSource &other) const;
    bool operator!=(const ReadingsSource &other) const { return !(*this == other); }
};

// Why a run file was refused, and where: a syntax error names its line and column (1-based, counted in
// characters), a bad value its step (1-based; 0 for the header) and its field as spelled in the file.
struct CalibrationRunError
{
    enum class Kind {
        None,
        Syntax,
        NotARun, // valid JSON, but not an object
        NoVersion,
        BadVersion, // not a whole number of at least 1
        NewerVersion,
        WrongType,
        Missing,
        Negative,
        NotPositive,
        TooLarge,
        ShorterThanPoll, // a dwell that would end before the poll could take a reading
        OutsideModel, // a set point outside the open model's range
        TooPrecise, // a set point with more decimals than the open model sends
        BadValue, // a word or date that is not one of those allowed, or a list out of order
    };

    Kind kind = Kind::None;
    int line = 0;
    int column = 0;
    int step = 0;
    QString field;
    QString message; // for the operator, translated in the context "CalibrationRun"

    bool isError() const { return kind != Kind::None; }
};

// A calibration run: the header its report carries and the steps in order. A plain value; the `.bbrun`
// file is its UTF-8 JSON form, version kVersion.
struct CalibrationRun
{
    Q_DECLARE_TR_FUNCTIONS(CalibrationRun)

public:
    // Which value a percentage tolerance is taken of.
    enum class ToleranceOf { Reading, Reference };

    // Version 4 brought readings taken from the instrument. A file that takes them says 4, so that an
    // older program refuses it rather than asking for typed readings; one with typed readings still says 3.
    // Version 5 brought the customer's location: an older program would issue certificates without it.
    static constexpr int kVersion = 5;
    // One poll interval, in seconds: a shorter dwell could hold no reading.
    static constexpr double kShortestDwell = BlackbodyPoll::kIntervalMs / 1000.0;

    QString instrument; // the instrument under test, free text
    QString operatorName;
    double distanceMm = 0; // from the instrument to the source
    double emissivity = 0.95; // the instrument's setting
    CertificateFields certificate;
    SourceFields source;
    double ambientC = 23; // the ambient the operator gives at the start, used without a thermometer
    double ambientUncertaintyC = 0; // standard uncertainty of the stated `ambientC`
    double toleranceC = 0; // the larger of the two is the tolerance; both 0 means none
    double tolerancePercent = 0; // of the reading, or of the reference as `toleranceOf` says
    ToleranceOf toleranceOf = ToleranceOf::Reading;
    bool guarded = false; // decisionRule "guarded": a guard band of U; otherwise "simple"
    int readingsPerStep = 3; // a file of version 1 or 2 without the field meant 1
    QVector<BudgetComponent> budget;
    ReadingsSource readings;
    QVector<CalibrationStep> steps;

    // The lowest version that holds everything this run says.
    int versionNeeded() const;

    bool operator==(const CalibrationRun &other) const;
    bool operator!=(const CalibrationRun &other) const { return !(*this == other); }

    QByteArray toJson() const;
    // Fields left out of the file take their defaults, except a step's set point and a version 1 or 2
    // file's readingsPerStep, which was 1 then; older files read with every later field at its default.
    // Numbers beyond ±1e6 (or a field's own limit) are refused naming the field. A file of a newer
    // version is refused before any of it is read, and so is any bad value: nothing is half-read.
    static CalibrationRun fromJson(const QByteArray &json, CalibrationRunError *error);

    // The first step whose set point the open model cannot send as it stands: outside [minimum, maximum]
    // (OutsideModel), or with more than `decimals` decimals (TooPrecise), which would be cut on the wire.
    CalibrationRunError checkModel(double minimum, double maximum, int decimals) const;

    // The budget item that states the instrument's repeatability, or nullptr: a step with a single reading
    // cannot measure it and needs one.
    const BudgetComponent *statedRepeatability() const;
    // One reading per step and no stated repeatability: the budget would lack the instrument's.
    bool repeatabilityMissing() const { return readingsPerStep == 1 && statedRepeatability() == nullptr; }
};
