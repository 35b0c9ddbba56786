#pragma once

#include "control/calibrationrun.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>

// What a run lacks to be issued as a calibration certificate. A run that lacks something may still go
// ahead, as a test report: it takes no certificate number and says on every page that it is not a
// certificate. Each door words the list; none decides it. Pure; any thread (the texts translate in the
// context "CertificateCompleteness" on the GUI thread).
class CertificateCompleteness
{
    Q_DECLARE_TR_FUNCTIONS(CertificateCompleteness)

public:
    // In the order a certificate states them.
    enum class Missing {
        Lab, // its name; its prefix is asked for before any run
        Customer,
        ItemMake,
        ItemModel,
        ItemSerial,
        SourceMake,
        SourceModel,
        SourceSerial,
        SourceCertificate,
        SourceDue, // none, or not a date
        SourceUncertainty, // the source certificate's table of U
        Repeatability, // one reading a step measures none: the budget must state it
    };

    // Every field `run` and the lab (`labName`) leave missing; none for a certificate. A tolerance needs
    // no check: without one no conformity is stated, and the decision rule always has a value.
    static QVector<Missing> missing(const CalibrationRun &run, const QString &labName);
    // The field as the run file spells it ("source.serial"), or the lab's setting: for scripts.
    static QString field(Missing missing);
    // The field in the operator's language.
    static QString text(Missing missing);
    // Each of `list` by field(), ", " between them.
    static QString fields(const QVector<Missing> &list);
};
