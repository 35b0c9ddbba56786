#include "dccwriter.h"

#include "control/ambientrange.h"
#include "control/stepevaluation.h"
#include "station/dccxml.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

using Verdict = StepEvaluation::Verdict;

// The day the run's last step ended, as near as the record tells: its last stable step's dwell.
QDate endDate(const IssueRecord &record)
{
    const CalibrationJournal::Header &header = record.run.header;
    qint64 lastMs = -1;
    for (const CalibrationStepResult &r : record.run.results) {
        if (!r.stable || r.step < 0 || r.step >= header.run.steps.size())
            continue;
        lastMs = std::max(lastMs, r.stableAtMs + qint64(header.run.steps.at(r.step).dwell * 1000));
    }
    if (lastMs < 0 || !header.wallAtZero.isValid())
        return header.started.date();
    return std::max(header.started.date(), header.wallAtZero.addMSecs(lastMs).date());
}

void writeAdministrativeData(DccXml &w, const DccWriter::Input &input, const QString &language)
{
    const IssueRecord &record = input.record;
    const CalibrationRun &run = record.run.header.run;
    w.start(QStringLiteral("administrativeData"));

    w.start(QStringLiteral("dccSoftware"));
    w.start(QStringLiteral("software"));
    w.plain(QStringLiteral("name"), input.softwareName);
    w.element(QStringLiteral("release"), DccXml::nonEmpty(input.softwareRelease));
    w.end();
    w.end();

    w.start(QStringLiteral("coreData"));
    w.element(QStringLiteral("countryCodeISO3166_1"), record.lab.country);
    w.element(QStringLiteral("usedLangCodeISO639_1"), QStringLiteral("zh"));
    w.element(QStringLiteral("usedLangCodeISO639_1"), QStringLiteral("en"));
    w.element(QStringLiteral("mandatoryLangCodeISO639_1"), language);
    w.element(QStringLiteral("uniqueIdentifier"), record.number());
    w.element(QStringLiteral("beginPerformanceDate"), record.run.header.started.date().toString(Qt::ISODate));
    w.element(QStringLiteral("endPerformanceDate"), endDate(record).toString(Qt::ISODate));
    w.element(QStringLiteral("performanceLocation"), QStringLiteral("laboratory"));
    w.element(QStringLiteral("issueDate"), record.issuedAt.date().toString(Qt::ISODate));
    if (!input.replaces.isEmpty()) {
        w.start(QStringLiteral("previousReport"));
        w.text(QStringLiteral("referral"),
            {QStringLiteral("被替代的校准证书"), QStringLiteral("Certificate replaced")});
        w.element(QStringLiteral("referralID"), DccXml::nonEmpty(input.replaces));
        // Without the replaced certificate's hash the schema still wants one; "none" says there is none.
        const bool hashed = !input.replacesSha256.isEmpty();
        w.element(QStringLiteral("procedure"), hashed ? QStringLiteral("SHA-256") : QStringLiteral("none"));
        w.element(QStringLiteral("value"), hashed ? input.replacesSha256 : QStringLiteral("-"));
        w.end();
    }
    w.end();

    w.start(QStringLiteral("items"));
    w.start(QStringLiteral("item"));
    if (run.instrument.trimmed().isEmpty())
        w.text(
            QStringLiteral("name"), {QStringLiteral("辐射温度计"), QStringLiteral("Radiation thermometer")});
    else
        w.plain(QStringLiteral("name"), run.instrument.trimmed());
    w.start(QStringLiteral("description"));
    w.content({QStringLiteral("光谱范围 %1–%2 µm，发射率设置 %3，%4")
                   .arg(DccXml::decimal(run.certificate.bandLowUm),
                       DccXml::decimal(run.certificate.bandHighUm), DccXml::decimal(run.emissivity),
                       run.certificate.condition == QLatin1String("as left") ? QStringLiteral("调整后")
                                                                             : QStringLiteral("接收时")),
        QStringLiteral("Spectral band %1–%2 µm, emissivity setting %3, %4")
            .arg(DccXml::decimal(run.certificate.bandLowUm), DccXml::decimal(run.certificate.bandHighUm),
                DccXml::decimal(run.emissivity), run.certificate.condition)});
    w.end();
    w.start(QStringLiteral("manufacturer"));
    if (run.certificate.make.trimmed().isEmpty())
        w.text(QStringLiteral("name"), {QStringLiteral("未给定"), QStringLiteral("not given")});
    else
        w.plain(QStringLiteral("name"), run.certificate.make.trimmed());
    w.end();
    if (!run.certificate.model.trimmed().isEmpty())
        w.element(QStringLiteral("model"), DccXml::nonEmpty(run.certificate.model));
    w.start(QStringLiteral("identifications"));
    // The schema wants one: the serial number, else the lab's own, the certificate number.
    w.start(QStringLiteral("identification"));
    if (!run.certificate.serial.trimmed().isEmpty()) {
        w.element(QStringLiteral("issuer"), QStringLiteral("manufacturer"));
        w.element(QStringLiteral("value"), DccXml::nonEmpty(run.certificate.serial));
        w.text(QStringLiteral("name"), {QStringLiteral("序列号"), QStringLiteral("Serial number")});
    } else {
        w.element(QStringLiteral("issuer"), QStringLiteral("calibrationLaboratory"));
        w.element(QStringLiteral("value"), record.number());
        w.text(QStringLiteral("name"), {QStringLiteral("证书编号"), QStringLiteral("Certificate number")});
    }
    w.end();
    w.end();
    w.end();
    w.end();

    w.start(QStringLiteral("calibrationLaboratory"));
    w.start(QStringLiteral("contact"));
    w.plain(QStringLiteral("name"), record.lab.name);
    w.location(record.lab.address, record.lab.country);
    w.end();
    w.end();

    w.start(QStringLiteral("respPersons"));
    w.start(QStringLiteral("respPerson"));
    w.start(QStringLiteral("person"));
    w.plain(QStringLiteral("name"), run.certificate.signatory);
    w.end();
    w.element(QStringLiteral("role"), QStringLiteral("signatory"));
    w.element(QStringLiteral("mainSigner"), QStringLiteral("true"));
    w.end();
    if (!run.operatorName.trimmed().isEmpty()) {
        w.start(QStringLiteral("respPerson"));
        w.start(QStringLiteral("person"));
        w.plain(QStringLiteral("name"), run.operatorName.trimmed());
        w.end();
        w.element(QStringLiteral("role"), QStringLiteral("operator"));
        w.end();
    }
    w.end();

    w.start(QStringLiteral("customer"));
    w.plain(QStringLiteral("name"), run.certificate.customer);
    w.location(run.certificate.customerAddress, run.certificate.customerCountry);
    w.end();

    w.start(QStringLiteral("statements"));
    w.start(QStringLiteral("statement"));
    w.element(QStringLiteral("norm"), QStringLiteral("ISO/IEC 17025:2017"));
    w.element(QStringLiteral("reference"), QStringLiteral("7.8.2.1"));
    w.text(QStringLiteral("declaration"),
        {QStringLiteral("本证书的结果仅与被校准的仪器有关。"),
            QStringLiteral("The results relate only to the item calibrated.")});
    w.end();
    if (!input.replaces.isEmpty()) {
        w.start(QStringLiteral("statement"));
        w.element(QStringLiteral("norm"), QStringLiteral("ISO/IEC 17025:2017"));
        w.element(QStringLiteral("reference"), QStringLiteral("7.8.8"));
        w.text(QStringLiteral("declaration"),
            {QStringLiteral("本证书替代 %1。").arg(input.replaces),
                QStringLiteral("This certificate replaces %1.").arg(input.replaces)});
        w.end();
    }
    if (!input.auditHead.isEmpty()) {
        // The chain's head before this certificate's own line: a chain cut or rewritten later no longer has
        // it.
        w.start(QStringLiteral("statement"));
        w.text(QStringLiteral("name"), {QStringLiteral("审计记录"), QStringLiteral("Audit trail")});
        w.text(QStringLiteral("declaration"),
            {QStringLiteral("签发前审计记录链的末项哈希（SHA-256）：%1").arg(input.auditHead),
                QStringLiteral("Head of the audit trail's hash chain (SHA-256) before this issue: %1")
                    .arg(input.auditHead)});
        w.end();
    }
    w.end();

    w.end();
}

void writeMethods(DccXml &w, const CalibrationRun &run)
{
    w.start(QStringLiteral("usedMethods"));
    w.start(QStringLiteral("usedMethod"), QStringLiteral("basic_uncertainty"));
    w.text(QStringLiteral("name"), {QStringLiteral("扩展不确定度"), QStringLiteral("Expanded uncertainty")});
    w.text(QStringLiteral("description"),
        {QStringLiteral("U = k·u_c，u_c 按 GUM 以方和根合成；k 为 t 分布在包含概率 95.45 % 下对有效自由度 "
                        "ν_eff（Welch–Satterthwaite）的分位数，ν_eff ≥ 50 时取 k = 2。"),
            QStringLiteral("U = k·u_c, u_c combined by root sum of squares as the GUM says; k is Student's t "
                           "at a coverage probability of 95.45 % for the effective degrees of freedom ν_eff "
                           "(Welch–Satterthwaite), and 2 where ν_eff ≥ 50.")});
    w.element(QStringLiteral("norm"), QStringLiteral("JCGM 100:2008"));
    w.end();
    w.start(QStringLiteral("usedMethod"));
    w.text(QStringLiteral("name"),
        {QStringLiteral("与黑体辐射源比较"), QStringLiteral("Comparison with a blackbody radiation source")});
    w.text(QStringLiteral("description"),
        {QStringLiteral(
             "参考值是被测仪器在发射率设置 ε_u = %1 下应显示的辐射温度，由辐射源保持期间的平均温度、"
             "辐射源发射率 ε_s = %2 和环境温度按 %3–%4 µm 波段内积分的普朗克辐射亮度求得。"
             "误差 = 读数 − 参考值。")
                .arg(DccXml::decimal(run.emissivity), DccXml::decimal(run.source.emissivity),
                    DccXml::decimal(run.certificate.bandLowUm), DccXml::decimal(run.certificate.bandHighUm)),
            QStringLiteral(
                "The reference is the radiance temperature the instrument should show at its "
                "emissivity setting ε_u = %1: from the source's mean temperature over the dwell, its "
                "emissivity ε_s = %2 and the ambient, by Planck's radiance integrated over %3–%4 µm. "
                "Error = reading − reference.")
                .arg(DccXml::decimal(run.emissivity), DccXml::decimal(run.source.emissivity),
                    DccXml::decimal(run.certificate.bandLowUm),
                    DccXml::decimal(run.certificate.bandHighUm))});
    w.end();
    w.end();
}

void writeEquipment(DccXml &w, const CalibrationJournal::Header &header)
{
    const SourceFields &source = header.run.source;
    w.start(QStringLiteral("measuringEquipments"));
    w.start(QStringLiteral("measuringEquipment"), QStringLiteral("basic_normalUsed"));
    w.text(
        QStringLiteral("name"), {QStringLiteral("黑体辐射源"), QStringLiteral("Blackbody radiation source")});
    const QString certificate = source.certificate.isEmpty() ? QStringLiteral("-") : source.certificate;
    const QString due = source.due.isEmpty() ? QStringLiteral("-") : source.due;
    w.text(QStringLiteral("description"),
        {QStringLiteral("校准证书编号 %1，有效期至 %2；控制器 %3").arg(certificate, due, header.model),
            QStringLiteral("Calibration certificate %1, due %2; controller %3")
                .arg(certificate, due, header.model)});
    if (!source.make.trimmed().isEmpty()) {
        w.start(QStringLiteral("manufacturer"));
        w.plain(QStringLiteral("name"), source.make.trimmed());
        w.end();
    }
    if (!source.model.trimmed().isEmpty())
        w.element(QStringLiteral("model"), DccXml::nonEmpty(source.model));
    if (!source.serial.trimmed().isEmpty()) {
        w.start(QStringLiteral("identifications"));
        w.start(QStringLiteral("identification"));
        w.element(QStringLiteral("issuer"), QStringLiteral("manufacturer"));
        w.element(QStringLiteral("value"), DccXml::nonEmpty(source.serial));
        w.text(QStringLiteral("name"), {QStringLiteral("序列号"), QStringLiteral("Serial number")});
        w.end();
        w.end();
    }
    w.end();
    w.end();
}

// The ambient as the PDF states it: what the thermometer measured over the dwells, and the operator's value
// where none was measured, said to be stated.
void writeAmbient(DccXml &w, const CalibrationRun &run, const QVector<CalibrationStepResult> &results)
{
    const AmbientRange ambient = AmbientRange::of(results);
    if (!ambient.measured() && !ambient.stated)
        return;
    w.start(QStringLiteral("influenceConditions"));
    if (ambient.measured()) {
        w.start(QStringLiteral("influenceCondition"), QStringLiteral("basic_temperature"));
        w.text(QStringLiteral("name"), {QStringLiteral("环境温度"), QStringLiteral("Ambient temperature")});
        w.text(QStringLiteral("description"),
            {QStringLiteral("由温度计在各步保持期间测量"),
                QStringLiteral("Measured by the thermometer during each step's dwell")});
        w.start(QStringLiteral("data"));
        for (const auto &[refType, zh, en, value] :
            {std::tuple(QStringLiteral("basic_temperatureMin"), QStringLiteral("最低"),
                 QStringLiteral("minimum"), ambient.low),
                std::tuple(QStringLiteral("basic_temperatureMax"), QStringLiteral("最高"),
                    QStringLiteral("maximum"), ambient.high)}) {
            w.start(QStringLiteral("quantity"), refType);
            w.text(QStringLiteral("name"), {zh, en});
            w.real(QString::number(value, 'f', 1));
            w.end();
        }
        w.end();
        w.end();
    }
    if (ambient.stated) {
        w.start(QStringLiteral("influenceCondition"), QStringLiteral("basic_temperature"));
        w.text(QStringLiteral("name"), {QStringLiteral("环境温度"), QStringLiteral("Ambient temperature")});
        const QString uncertainty
            = run.ambientUncertaintyC > 0 ? DccXml::decimal(run.ambientUncertaintyC) : QString();
        w.text(QStringLiteral("description"),
            {QStringLiteral("由操作员给定，未测量")
                    + (uncertainty.isEmpty() ? QString()
                                             : QStringLiteral("；标准不确定度 %1 ℃").arg(uncertainty)),
                QStringLiteral("Stated by the operator, not measured")
                    + (uncertainty.isEmpty()
                            ? QString()
                            : QStringLiteral("; standard uncertainty %1 °C").arg(uncertainty))});
        w.start(QStringLiteral("data"));
        w.start(QStringLiteral("quantity"));
        w.text(QStringLiteral("name"), {QStringLiteral("给定值"), QStringLiteral("stated value")});
        w.real(QString::number(run.ambientC, 'f', 1));
        w.end();
        w.end();
        w.end();
    }
    w.end();
}

void writeResults(DccXml &w, const CalibrationRun &run, const QVector<CalibrationStepResult> &results)
{
    QStringList setPoints, references, readings, errors, expanded, coverages, verdicts, lows, highs;
    QStringList unsolvedSetPoints, unsolvedReadings;
    // One verdict a listed step, or none at all: the list's entries pair with the values'.
    bool allJudged = true;
    for (const CalibrationStepResult &result : results) {
        const StepEvaluation e = StepEvaluator::evaluate(run, result);
        if (e.noSolution) {
            unsolvedSetPoints << DccXml::decimal(result.setPoint);
            unsolvedReadings << QString::number(e.readingMean, 'f', 3);
        }
        if (!e.measured)
            continue;
        setPoints << DccXml::decimal(result.setPoint);
        references << e.text(e.referenceUnits);
        readings << e.text(e.readingUnits);
        errors << e.text(e.errorUnits);
        expanded << e.text(e.expandedUnits);
        coverages << QString::number(e.coverage, 'f', 2);
        verdicts << (e.verdict == Verdict::Pass ? QStringLiteral("pass") : QStringLiteral("fail"));
        allJudged = allJudged && (e.verdict == Verdict::Pass || e.verdict == Verdict::Fail);
        lows << QLatin1Char('-') + e.toleranceText();
        highs << e.toleranceText();
    }

    w.start(QStringLiteral("results"));
    w.start(QStringLiteral("result"));
    w.text(QStringLiteral("name"), {QStringLiteral("校准结果"), QStringLiteral("Calibration results")});
    w.start(QStringLiteral("data"));
    if (setPoints.isEmpty()) {
        w.text(QStringLiteral("text"),
            {QStringLiteral("没有可评定的点。"), QStringLiteral("No step has a result.")});
    } else {
        w.start(QStringLiteral("list"));
        w.listQuantity({}, {QStringLiteral("设定值"), QStringLiteral("Set point")}, setPoints);
        w.end();
        w.listQuantity(QStringLiteral("basic_referenceValue"),
            {QStringLiteral("参考值"), QStringLiteral("Reference value")}, references);
        w.end();
        w.listQuantity(QStringLiteral("basic_measuredValue"),
            {QStringLiteral("被测仪器读数（平均值）"), QStringLiteral("Indicated value of the item (mean)")},
            readings);
        w.end();
        w.listQuantity(QStringLiteral("basic_measurementError"),
            {QStringLiteral("误差"), QStringLiteral("Error")}, errors, expanded, coverages);
        if (allJudged) {
            w.start(QStringLiteral("measurementMetaData"));
            w.start(QStringLiteral("metaData"), QStringLiteral("basic_conformity"));
            w.text(QStringLiteral("name"), {QStringLiteral("符合性"), QStringLiteral("Conformity")});
            w.element(QStringLiteral("norm"), QStringLiteral("ILAC-G8:09/2019"));
            const QString of = run.toleranceOf == CalibrationRun::ToleranceOf::Reference
                ? QStringLiteral("参考值")
                : QStringLiteral("读数平均值");
            const QString ofEn = run.toleranceOf == CalibrationRun::ToleranceOf::Reference
                ? QStringLiteral("the reference")
                : QStringLiteral("the mean reading");
            const QString tolerance = DccXml::decimal(run.toleranceC);
            const QString percent = DccXml::decimal(run.tolerancePercent);
            w.text(QStringLiteral("declaration"),
                {QStringLiteral("允差为 ±%1 ℃ 或%2的 ±%3 %，取较大者。").arg(tolerance, of, percent)
                        + (run.guarded
                                ? QStringLiteral("保护带规则（保护带 w = U）：|误差| ≤ 允差 − U 时合格，"
                                                 "否则不合格；U ≥ 允差 的点不合格。")
                                : QStringLiteral("简单接受规则：|误差| ≤ 允差 时合格，否则不合格。"))
                        + QStringLiteral("判定依据未修约的测得值。"),
                    QStringLiteral("The tolerance is ±%1 °C or ±%2 % of %3, whichever is larger. ")
                            .arg(tolerance, percent, ofEn)
                        + (run.guarded ? QStringLiteral("Guarded acceptance (guard band w = U): pass when "
                                                        "|error| ≤ tolerance − U, else fail; a step with U ≥ "
                                                        "tolerance fails.")
                                       : QStringLiteral(
                                           "Simple acceptance: pass when |error| ≤ tolerance, else fail."))
                        + QStringLiteral(" Decided on the unrounded values.")});
            w.element(QStringLiteral("conformityXMLList"), verdicts.join(QLatin1Char(' ')));
            w.start(QStringLiteral("data"));
            w.listQuantity(QStringLiteral("basic_toleranceLimitLower"),
                {QStringLiteral("允差下限"), QStringLiteral("Lower tolerance limit")}, lows);
            w.end();
            w.listQuantity(QStringLiteral("basic_toleranceLimitUpper"),
                {QStringLiteral("允差上限"), QStringLiteral("Upper tolerance limit")}, highs);
            w.end();
            w.end();
            w.end();
            w.end();
        }
        w.end();
        w.end();
    }
    w.end();
    w.end();

    // Readings whose reference has no solution are stated, and judged by no rule.
    if (!unsolvedSetPoints.isEmpty()) {
        w.start(QStringLiteral("result"));
        w.text(QStringLiteral("name"), {QStringLiteral("未评定的点"), QStringLiteral("Steps not evaluated")});
        w.text(QStringLiteral("description"),
            {QStringLiteral("在 ε_u = %1 下该温度无解：没有参考值，不作判定。")
                    .arg(DccXml::decimal(run.emissivity)),
                QStringLiteral(
                    "No temperature solves the radiance balance at ε_u = %1: no reference, no verdict.")
                    .arg(DccXml::decimal(run.emissivity))});
        w.start(QStringLiteral("data"));
        w.start(QStringLiteral("list"));
        w.listQuantity({}, {QStringLiteral("设定值"), QStringLiteral("Set point")}, unsolvedSetPoints);
        w.end();
        w.listQuantity(QStringLiteral("basic_measuredValue"),
            {QStringLiteral("被测仪器读数（平均值）"), QStringLiteral("Indicated value of the item (mean)")},
            unsolvedReadings);
        w.end();
        w.end();
        w.end();
        w.end();
    }
    w.end();
}

} // namespace

QByteArray DccWriter::write(const Input &input, QString *error)
{
    const IssueRecord &record = input.record;
    if (record.number().isEmpty()) {
        *error = QStringLiteral("a test report has no machine-readable certificate");
        return {};
    }
    if (!LabSettings::isValidCountry(record.lab.country)) {
        *error = QStringLiteral("the lab's country is not set");
        return {};
    }
    const CalibrationRun &run = record.run.header.run;
    const QVector<CalibrationStepResult> &results = record.run.results;
    // The prevailing language must be one the texts are in.
    const QString language = input.language == QLatin1String("en") ? input.language : QStringLiteral("zh");

    QByteArray out;
    DccXml w(&out);
    w.startCertificate();

    writeAdministrativeData(w, input, language);

    w.start(QStringLiteral("measurementResults"));
    w.start(QStringLiteral("measurementResult"));
    w.text(QStringLiteral("name"), {QStringLiteral("测量结果"), QStringLiteral("Measurement results")});
    writeMethods(w, run);
    writeEquipment(w, record.run.header);
    writeAmbient(w, run, results);
    writeResults(w, run, results);
    w.end();
    w.end();

    w.start(QStringLiteral("document"));
    w.text(QStringLiteral("name"),
        {QStringLiteral("校准证书（PDF）"), QStringLiteral("Calibration certificate (PDF)")});
    w.element(QStringLiteral("fileName"),
        DccXml::nonEmpty(
            input.pdfFileName.isEmpty() ? record.number() + QStringLiteral(".pdf") : input.pdfFileName));
    w.element(QStringLiteral("mimeType"), QStringLiteral("application/pdf"));
    w.element(QStringLiteral("dataBase64"), QString::fromLatin1(input.pdf.toBase64()));
    w.end();

    w.finish();
    error->clear();
    return out;
}
