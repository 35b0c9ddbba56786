#include "calibrationcertificate.h"

#include "control/calibrationreport.h"
#include "control/certificatecompleteness.h"

#include <QFileInfo>
#include <QLocale>

#include <cmath>
#include <numeric>

namespace {

using Verdict = StepEvaluation::Verdict;
using Outcome = CalibrationStepResult::Outcome;

QString runFileText(const QString &runFile, bool modified)
{
    if (runFile.isEmpty())
        return CalibrationCertificate::tr("未保存");
    const QString name = QFileInfo(runFile).fileName();
    return modified ? CalibrationCertificate::tr("%1（已修改）").arg(name) : name;
}

QString shortest(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString verdictText(const StepEvaluation &e)
{
    switch (e.verdict) {
    case Verdict::Pass:
        return CalibrationCertificate::tr("合格");
    case Verdict::Fail:
        return e.uncertaintyTooLarge ? CalibrationCertificate::tr("不合格（U ≥ 允差）")
                                     : CalibrationCertificate::tr("不合格");
    case Verdict::None:
        break;
    }
    return QStringLiteral("—");
}

QString outcomeText(const CalibrationStepResult &result)
{
    if (result.readingSkipped())
        return CalibrationCertificate::tr("读数已跳过");
    switch (result.outcome) {
    case Outcome::Done:
        return CalibrationCertificate::tr("完成");
    case Outcome::Skipped:
        return CalibrationCertificate::tr("跳过");
    case Outcome::Aborted:
        return CalibrationCertificate::tr("中止");
    case Outcome::NotReached:
        break;
    }
    return CalibrationCertificate::tr("未进行");
}

QStringList tableRow(const CalibrationStepResult &result, const StepEvaluation &e)
{
    const QString setPoint = shortest(result.setPoint);
    if (e.measured) {
        return {setPoint, e.text(e.referenceUnits), e.text(e.readingUnits), e.text(e.errorUnits),
            e.text(e.expandedUnits),
            e.hasTolerance ? QStringLiteral("±") + e.text(e.toleranceUnits) : QStringLiteral("—"),
            verdictText(e), outcomeText(result)};
    }
    // A stable step without a reading was asked for one and given none.
    const QString reading = result.stable && result.outcome == Outcome::Done
        ? CalibrationCertificate::tr("未读数")
        : QStringLiteral("—");
    return {setPoint, QStringLiteral("—"), reading, QStringLiteral("—"), QStringLiteral("—"),
        QStringLiteral("—"), QStringLiteral("—"), outcomeText(result)};
}

QString itemText(const CalibrationRun &run)
{
    QStringList parts;
    for (const QString &part : {run.certificate.make, run.certificate.model})
        if (!part.isEmpty())
            parts << part;
    if (!run.certificate.serial.isEmpty())
        parts << CalibrationCertificate::tr("序列号 %1").arg(run.certificate.serial);
    if (!run.instrument.isEmpty())
        parts << (parts.isEmpty() ? run.instrument
                                  : QStringLiteral("(") + run.instrument + QStringLiteral(")"));
    return parts.join(QLatin1Char(' '));
}

// The source by its own identity; the controller's model and port only as a detail.
QString sourceText(const CalibrationJournal::Header &header)
{
    const SourceFields &source = header.run.source;
    QStringList parts;
    for (const QString &part : {source.make, source.model})
        if (!part.isEmpty())
            parts << part;
    if (!source.serial.isEmpty())
        parts << CalibrationCertificate::tr("序列号 %1").arg(source.serial);
    const QString detail = CalibrationCertificate::tr("控制器 %1，端口 %2").arg(header.model, header.port);
    return parts.isEmpty() ? detail
                           : parts.join(QLatin1Char(' ')) + CalibrationCertificate::tr("（%1）").arg(detail);
}

// A length or resolution the run file left at zero was not given; "0 mm" would state something untrue.
QString givenText(double value, const QString &unit)
{
    return value > 0 ? shortest(value) + unit : QStringLiteral("—");
}

QString ambientText(const QVector<CalibrationStepResult> &results)
{
    double low = qInf();
    double high = -qInf();
    for (const CalibrationStepResult &r : results) {
        const double ambient = r.dwell.ambientCount() > 0 ? r.dwell.ambientMean() : r.ambientC;
        if (!r.stable || !std::isfinite(ambient))
            continue;
        low = std::min(low, ambient);
        high = std::max(high, ambient);
    }
    if (!std::isfinite(low))
        return CalibrationCertificate::tr("未记录");
    return CalibrationCertificate::tr("环境温度 %1 ℃ 至 %2 ℃（各步保持期间）")
        .arg(QString::number(low, 'f', 1), QString::number(high, 'f', 1));
}

QString componentsText(const CalibrationRun &run)
{
    QStringList parts {CalibrationCertificate::tr("辐射源校准的 U/2 乘以 ∂T_u/∂T_s"),
        CalibrationCertificate::tr("保持期间辐射源的稳定性 s"),
        CalibrationCertificate::tr("被测仪器读数的重复性 s/√m（m ≥ 2）"),
        CalibrationCertificate::tr("分辨力 %1 ℃（矩形分布）").arg(shortest(run.certificate.resolutionC))};
    for (const BudgetComponent &c : run.budget)
        parts << c.name + QStringLiteral(" ") + shortest(c.value) + QStringLiteral(" ℃");
    return parts.join(CalibrationCertificate::tr("；"));
}

} // namespace

QString CalibrationCertificate::number(const QString &prefix, const QDate &day, qint64 counter)
{
    return prefix + QLatin1Char('-') + day.toString(QStringLiteral("yyyyMMdd")) + QLatin1Char('-')
        + QString::number(counter).rightJustified(3, QLatin1Char('0'));
}

QString CalibrationCertificate::localTime(const QDateTime &at)
{
    const QByteArray iso = CalibrationReport::isoWithOffset(at);
    // 2026-12-09T15:04:05.000+08:00 → 2026-12-09 15:04:05 +08:00
    return QString::fromLatin1(iso.left(10) + ' ' + iso.mid(11, 8) + ' ' + iso.right(6));
}

bool CalibrationCertificate::sourceOverdue(const CalibrationRun &run, const QDate &day)
{
    const QDate due = QDate::fromString(run.source.due, Qt::ISODate);
    return due.isValid() && due < day;
}

CertificateDocument CalibrationCertificate::document(const Input &input)
{
    const CalibrationRun &run = input.header.run;
    CertificateDocument d;
    // A run that lacked what a certificate needs took no number: it is a test report, and says so.
    const bool testReport = input.header.certificateNumber.isEmpty();
    const bool finished = input.end == CalibrationJournal::End::Finished;
    if (testReport) {
        d.title = finished ? tr("测试报告") : tr("测试报告（校准未完成）");
        QStringList missing;
        for (const CertificateCompleteness::Missing m : CertificateCompleteness::missing(run, input.lab.name))
            missing << CertificateCompleteness::text(m);
        d.pageNotice = missing.isEmpty()
            ? tr("本测试报告不是校准证书。")
            : tr("本测试报告不是校准证书（缺少：%1）。").arg(missing.join(tr("、")));
    } else {
        d.title = finished ? tr("校准证书") : tr("校准证书（校准未完成）");
        d.number = tr("证书编号 %1").arg(input.header.certificateNumber);
    }
    d.pageText = tr("第 %1 页，共 %2 页");
    const QDate calibrated = input.header.started.date();
    d.fields = {
        {tr("证书编号"), input.header.certificateNumber},
        {tr("实验室"),
            input.lab.name
                + (input.lab.address.isEmpty() ? QString() : QStringLiteral(", ") + input.lab.address)},
        {tr("客户"), run.certificate.customer},
        {tr("被校仪器"), itemText(run)},
        {tr("仪器状态"), run.certificate.condition == QLatin1String("as left") ? tr("调整后") : tr("接收时")},
        {tr("光谱范围"),
            tr("%1–%2 µm").arg(shortest(run.certificate.bandLowUm), shortest(run.certificate.bandHighUm))},
        {tr("仪器发射率设置 ε_u"), shortest(run.emissivity)},
        {tr("辐射源发射率 ε_s"), shortest(run.source.emissivity)},
        {tr("测量距离"), givenText(run.distanceMm, QStringLiteral(" mm"))},
        {tr("辐射源口径"), givenText(run.certificate.apertureMm, QStringLiteral(" mm"))},
        {tr("分辨力"), givenText(run.certificate.resolutionC, QStringLiteral(" ℃"))},
        {tr("辐射源"), sourceText(input.header)},
        {tr("校准日期"), calibrated.toString(Qt::ISODate)},
        {tr("签发日期"), input.issued.toString(Qt::ISODate)},
        {tr("开始时间"), localTime(input.header.started)},
        {tr("操作员"), run.operatorName},
        {tr("校准程序文件"), runFileText(input.header.runFile, input.header.runModified)},
        {tr("曲线"), input.curveNote},
    };
    if (testReport)
        d.fields.removeFirst();
    d.sections = {
        {tr("校准方法"),
            tr("与黑体辐射源比较。每一步的参考值是被测仪器在发射率设置 ε_u = %1 下应显示的辐射温度："
               "由辐射源保持期间的平均温度、辐射源发射率 ε_s = %2 和环境（反射）温度，"
               "按 %3–%4 µm 波段内积分的普朗克辐射亮度求得（ε_s = ε_u 时即为辐射源温度）。")
                    .arg(shortest(run.emissivity), shortest(run.source.emissivity),
                        shortest(run.certificate.bandLowUm), shortest(run.certificate.bandHighUm))
                + tr("误差 = 读数 − 参考值。")},
        {tr("环境条件"), ambientText(input.results)},
        {tr("溯源性"),
            tr("辐射源经校准，证书编号 %1，有效期至 %2。")
                    .arg(run.source.certificate.isEmpty() ? QStringLiteral("—") : run.source.certificate,
                        run.source.due.isEmpty() ? QStringLiteral("—") : run.source.due)
                + (sourceOverdue(run, calibrated) ? tr("校准时辐射源的校准已过期。") : QString())},
    };
    d.tableHeader = QStringList {tr("设定值 (℃)"), tr("参考值 (℃)"), tr("读数 (℃)"), tr("误差 (℃)"),
        tr("U (k = 2) (℃)"), tr("允差 (℃)"), tr("结论"), tr("结果")};
    QVector<StepEvaluation> evaluations;
    for (const CalibrationStepResult &result : input.results) {
        evaluations << StepEvaluator::evaluate(run, result);
        d.tableRows << tableRow(result, evaluations.constLast());
    }
    bool complete = false;
    const Verdict overall = StepEvaluator::overall(input.results, evaluations, &complete);
    const bool anyTolerance = run.toleranceC > 0 || run.tolerancePercent > 0;
    if (!anyTolerance)
        d.verdict = tr("未规定允差：不作符合性判定。");
    else if (!complete)
        d.verdict = tr("总结论：未完成");
    else
        d.verdict = overall == Verdict::Pass ? tr("总结论：合格") : tr("总结论：不合格");

    if (anyTolerance) {
        const QString tolerance = tr("允差为 ±%1 ℃ 或读数的 ±%2 %，取较大者。")
                                      .arg(shortest(run.toleranceC), shortest(run.tolerancePercent));
        d.statements.append({tr("判定规则"),
            tolerance
                + (run.guarded
                        ? tr("保护带规则（ILAC-G8，保护带 w = U）：|误差| ≤ 允差 − U 时判为合格，否则不合格；"
                             "U ≥ 允差 的点判为不合格。")
                        : tr("简单接受规则（ILAC-G8）：|误差| ≤ 允差 时判为合格，否则不合格。"))
                + tr("判定依据所列的修约值。")});
    }
    d.statements.append({tr("测量不确定度"),
        tr("所报告的扩展不确定度 U 由合成标准不确定度乘以包含因子 k = 2 得到，包含概率约为 95 %。"
           "合成标准不确定度按 GUM（JCGM 100:2008）以方和根合成，分量为：%1。")
            .arg(componentsText(run))});
    QStringList outages;
    for (const CalibrationOutage &o : input.outages) {
        outages << tr("%1 起，%2 秒")
                       .arg(localTime(input.header.wallAtZero.addMSecs(o.startMs)))
                       .arg(QString::number(o.lengthMs / 1000.0, 'f', 1));
    }
    d.statements.append({tr("通信中断"), outages.isEmpty() ? tr("无") : outages.join(tr("；"))});
    d.chart = input.chart;
    d.closing = QStringList {tr("签字人：%1　　签字：____________").arg(run.certificate.signatory),
        tr("本证书的结果仅与被校准的仪器有关。")};
    return d;
}
