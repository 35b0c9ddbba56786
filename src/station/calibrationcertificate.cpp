#include "calibrationcertificate.h"

#include "control/ambientrange.h"
#include "control/calibrationreport.h"
#include "control/certificatecompleteness.h"

#include <QFileInfo>
#include <QLocale>

#include <algorithm>
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

// A number to `digits` significant digits, trailing zeros dropped; ∞ for an infinite one.
QString significant(double value, int digits)
{
    return std::isfinite(value) ? QString::number(value, 'g', digits) : QStringLiteral("∞");
}

QString verdictText(const StepEvaluation &e)
{
    // A row whose printed values seem to say otherwise is marked; the decision rule explains the mark.
    const QString edge = e.onEdge ? QStringLiteral(" *") : QString();
    switch (e.verdict) {
    case Verdict::Pass:
        return CalibrationCertificate::tr("合格") + edge;
    case Verdict::Fail:
        return (e.uncertaintyTooLarge ? CalibrationCertificate::tr("不合格（U ≥ 允差）")
                                      : CalibrationCertificate::tr("不合格"))
            + edge;
    case Verdict::NotEvaluated:
        return CalibrationCertificate::tr("未评定");
    case Verdict::None:
        break;
    }
    return QStringLiteral("—");
}

QString expandedText(const StepEvaluation &e)
{
    if (e.coverageNormal)
        return e.text(e.expandedUnits);
    return CalibrationCertificate::tr("%1（k = %2，ν_eff = %3）")
        .arg(e.text(e.expandedUnits), QString::number(e.coverage, 'f', 2), significant(e.dofEffective, 6));
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

QStringList tableRow(const CalibrationRun &run, const CalibrationStepResult &result, const StepEvaluation &e)
{
    const QString setPoint = shortest(result.setPoint);
    if (e.measured) {
        return {setPoint, e.text(e.referenceUnits), e.text(e.readingUnits), e.text(e.errorUnits),
            expandedText(e), e.hasTolerance ? QStringLiteral("±") + e.toleranceText() : QStringLiteral("—"),
            verdictText(e), outcomeText(result)};
    }
    if (e.noSolution) {
        return {setPoint,
            CalibrationCertificate::tr("在 ε_u = %1 下该温度无解").arg(shortest(run.emissivity)),
            QString::number(e.readingMean, 'f', 3), QStringLiteral("—"), QStringLiteral("—"),
            QStringLiteral("—"), verdictText(e), outcomeText(result)};
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

// Where the readings came from: the instrument through its driver, the operator, or a remote client.
// Each reading the instrument sent, with its raw reply and when it came: the original observations the
// results rest on. Empty when every reading was typed, which leaves nothing beyond the table to state.
QStringList readingsRecord(const QVector<CalibrationStepResult> &results)
{
    QStringList lines;
    bool anyRaw = false;
    for (int i = 0; i < results.size(); ++i) {
        QStringList entries;
        for (const TakenReading &t : results.at(i).taken) {
            const QString at
                = t.utc.isValid() ? t.utc.toUTC().toString(QStringLiteral("HH:mm:ss.zzz")) : QString();
            if (!t.isReading()) {
                entries << CalibrationCertificate::tr("无读数：%1（%2 UTC）").arg(t.fault, at);
                continue;
            }
            const QString value = QString::number(t.value, 'g', 10) + QStringLiteral(" ℃");
            if (t.source == TakenReading::Source::Driver) {
                anyRaw = true;
                entries << CalibrationCertificate::tr("%1（原始应答 %2，%3 UTC）").arg(value, t.raw, at);
            } else if (t.source == TakenReading::Source::Remote) {
                entries << CalibrationCertificate::tr("%1（远程提供）").arg(value);
            } else {
                entries << CalibrationCertificate::tr("%1（操作员输入）").arg(value);
            }
        }
        if (!entries.isEmpty())
            lines << CalibrationCertificate::tr("第 %1 步：%2")
                         .arg(i + 1)
                         .arg(entries.join(CalibrationCertificate::tr("；")));
    }
    return anyRaw ? lines : QStringList();
}

QString readingsText(const CalibrationJournal::Header &header, const QVector<CalibrationStepResult> &results)
{
    int driver = 0;
    int remote = 0;
    int typed = 0;
    for (const CalibrationStepResult &result : results) {
        const int before = driver + remote;
        for (const TakenReading &t : result.taken) {
            if (t.isReading() && t.source == TakenReading::Source::Driver)
                ++driver;
            else if (t.isReading() && t.source == TakenReading::Source::Remote)
                ++remote;
        }
        // Readings kept without their origin, by an older program, were typed.
        typed += result.readings.size() - (driver + remote - before);
    }
    QStringList parts;
    if (driver > 0)
        parts << CalibrationCertificate::tr("从被测仪器读取（%1）").arg(header.instrumentName);
    if (typed > 0 || parts.isEmpty())
        parts << CalibrationCertificate::tr("由操作员输入");
    if (remote > 0)
        parts << CalibrationCertificate::tr("由远程客户端提供");
    return parts.join(CalibrationCertificate::tr("；"));
}

// A length or resolution the run file left at zero was not given; "0 mm" would state something untrue.
QString givenText(double value, const QString &unit)
{
    return value > 0 ? shortest(value) + unit : QStringLiteral("—");
}

// Only what the thermometer measured is stated as measured; the operator's value says it was typed.
QString ambientText(const CalibrationRun &run, const QVector<CalibrationStepResult> &results)
{
    const AmbientRange ambient = AmbientRange::of(results);
    QStringList parts;
    if (ambient.measured()) {
        parts << CalibrationCertificate::tr("环境温度 %1 ℃ 至 %2 ℃（各步保持期间）")
                     .arg(QString::number(ambient.low, 'f', 1), QString::number(ambient.high, 'f', 1));
    }
    if (ambient.stated) {
        parts << CalibrationCertificate::tr("由操作员给定：%1 ℃（未测量）")
                     .arg(QString::number(run.ambientC, 'f', 1));
        if (run.ambientUncertaintyC > 0)
            parts << CalibrationCertificate::tr("其标准不确定度 %1 ℃").arg(shortest(run.ambientUncertaintyC));
    }
    return parts.isEmpty() ? CalibrationCertificate::tr("未记录")
                           : parts.join(CalibrationCertificate::tr("；"));
}

QString componentName(const StepEvaluation::Component &c)
{
    using Kind = StepEvaluation::Component::Kind;
    switch (c.kind) {
    case Kind::SourceCalibration:
        return CalibrationCertificate::tr("辐射源校准");
    case Kind::Stability:
        return CalibrationCertificate::tr("辐射源稳定性");
    case Kind::Ambient:
        return CalibrationCertificate::tr("反射的环境温度");
    case Kind::SourceEmissivity:
        return CalibrationCertificate::tr("辐射源发射率");
    case Kind::Repeatability:
        return c.name.isEmpty() ? CalibrationCertificate::tr("读数重复性")
                                : CalibrationCertificate::tr("读数重复性（给定：%1）").arg(c.name);
    case Kind::Resolution:
        return CalibrationCertificate::tr("分辨力");
    case Kind::Budget:
        break;
    }
    return c.name;
}

QString distributionText(BudgetComponent::Distribution distribution)
{
    switch (distribution) {
    case BudgetComponent::Distribution::Normal:
        return CalibrationCertificate::tr("正态");
    case BudgetComponent::Distribution::Rectangular:
        return CalibrationCertificate::tr("矩形");
    case BudgetComponent::Distribution::Triangular:
        break;
    }
    return CalibrationCertificate::tr("三角");
}

// One line a component: value, distribution, divisor, sensitivity, contribution and ν.
QString budgetText(const StepEvaluation &e)
{
    QStringList lines;
    for (const StepEvaluation::Component &c : e.components) {
        const bool emissivity = c.kind == StepEvaluation::Component::Kind::SourceEmissivity;
        lines << CalibrationCertificate::tr("%1：%2，%3分布，除数 %4，灵敏系数 %5%6，贡献 %7 ℃，ν = %8")
                     .arg(componentName(c),
                         significant(c.value, 4) + (emissivity ? QString() : QStringLiteral(" ℃")),
                         distributionText(c.distribution), significant(c.divisor, 4),
                         significant(c.sensitivity, 3) + (emissivity ? QStringLiteral(" ℃") : QString()),
                         c.nonlinear ? QStringLiteral(" †") : QString(), significant(c.contribution, 3),
                         significant(c.dof, 6));
    }
    lines << CalibrationCertificate::tr("u_c = %1 ℃，ν_eff = %2，k = %3，U = %4 ℃")
                 .arg(significant(e.combined, 3), significant(e.dofEffective, 6),
                     QString::number(e.coverage, 'f', 2), e.text(e.expandedUnits));
    return lines.join(QLatin1Char('\n'));
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
    // Enough of the head to find it in the trail; the issue record keeps it whole.
    if (!input.auditHead.isEmpty())
        d.auditHead = tr("审计链头 %1…").arg(input.auditHead.left(16));
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
        {tr("读数来源"), readingsText(input.header, input.results)},
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
    else if (!input.replaces.isEmpty())
        d.fields.insert(1, {tr("替代证书"), tr("本证书替代证书 %1，后者作废").arg(input.replaces)});
    d.sections = {
        {tr("校准方法"),
            tr("与黑体辐射源比较。每一步的参考值是被测仪器在发射率设置 ε_u = %1 下应显示的辐射温度："
               "由辐射源保持期间的平均温度、辐射源发射率 ε_s = %2 和环境（反射）温度，"
               "按 %3–%4 µm 波段内积分的普朗克辐射亮度求得（ε_s = ε_u 时即为辐射源温度）。")
                    .arg(shortest(run.emissivity), shortest(run.source.emissivity),
                        shortest(run.certificate.bandLowUm), shortest(run.certificate.bandHighUm))
                + tr("误差 = 读数 − 参考值。")},
        {tr("环境条件"), ambientText(run, input.results)},
        {tr("溯源性"),
            tr("辐射源经校准，证书编号 %1，有效期至 %2。")
                    .arg(run.source.certificate.isEmpty() ? QStringLiteral("—") : run.source.certificate,
                        run.source.due.isEmpty() ? QStringLiteral("—") : run.source.due)
                + (sourceOverdue(run, calibrated) ? tr("校准时辐射源的校准已过期。") : QString())},
    };
    d.tableHeader = QStringList {tr("设定值 (℃)"), tr("参考值 (℃)"), tr("读数 (℃)"), tr("误差 (℃)"),
        tr("U (℃)"), tr("允差 (℃)"), tr("结论"), tr("结果")};
    QVector<StepEvaluation> evaluations;
    for (const CalibrationStepResult &result : input.results) {
        evaluations << StepEvaluator::evaluate(run, result);
        d.tableRows << tableRow(run, result, evaluations.constLast());
    }
    bool complete = false;
    bool allEvaluated = true;
    const Verdict overall = StepEvaluator::overall(input.results, evaluations, &complete, &allEvaluated);
    const bool anyTolerance = run.toleranceC > 0 || run.tolerancePercent > 0;
    if (!anyTolerance)
        d.verdict = tr("未规定允差：不作符合性判定。");
    else if (!complete)
        d.verdict = tr("总结论：未完成");
    else if (!allEvaluated)
        d.verdict = tr("总结论：并非所有点均已评定");
    else
        d.verdict = overall == Verdict::Pass ? tr("总结论：合格") : tr("总结论：不合格");

    if (anyTolerance) {
        const QString tolerance = run.toleranceOf == CalibrationRun::ToleranceOf::Reference
            ? tr("允差为 ±%1 ℃ 或参考值的 ±%2 %，取较大者。")
            : tr("允差为 ±%1 ℃ 或读数平均值的 ±%2 %，取较大者。");
        d.statements.append({tr("判定规则"),
            tolerance.arg(shortest(run.toleranceC), shortest(run.tolerancePercent))
                + (run.guarded
                        ? tr("保护带规则（ILAC-G8，保护带 w = U）：|误差| ≤ 允差 − U 时判为合格，否则不合格；"
                             "U ≥ 允差 的点判为不合格。")
                        : tr("简单接受规则（ILAC-G8）：|误差| ≤ 允差 时判为合格，否则不合格。"))
                + tr("判定依据未修约的测得值（误差、U 和允差），表中数值只为阅读而修约：U "
                     "取两位有效数字并向上修约，"
                     "参考值、读数和误差修约到 U 的末位（误差由其未修约值修约，故一行可能相差末位一个数字），"
                     "允差按给定值列出。标 * 的点按修约值看似相反的结论，仍按测得值判定。")});
    }
    bool allNormal = true;
    bool anyNonlinear = false;
    int worst = -1;
    int shown = 0;
    for (int i = 0; i < evaluations.size(); ++i) {
        const StepEvaluation &e = evaluations.at(i);
        if (!e.measured)
            continue;
        ++shown;
        allNormal = allNormal && e.coverageNormal;
        for (const StepEvaluation::Component &c : e.components)
            anyNonlinear = anyNonlinear || c.nonlinear;
        if (worst < 0 || e.expanded > evaluations.at(worst).expanded)
            worst = i;
    }
    d.statements.append({tr("测量不确定度"),
        tr("扩展不确定度 U = k·u_c。合成标准不确定度 u_c 按 GUM（JCGM 100:2008）以方和根合成；"
           "各分量的灵敏系数由辐射模型在估计值 ±u 处的差分求得。包含因子 k 为 t 分布在包含概率 95.45 % 下"
           "对有效自由度 ν_eff（Welch–Satterthwaite 公式，向下取整）的分位数")
            + (allNormal ? tr("；各点 ν_eff ≥ 50，取 k = 2。")
                         : tr("；ν_eff < 50 的点在 U 旁列出 k 和 ν_eff，ν_eff ≥ 50 的点取 k = 2。"))
            + (std::any_of(evaluations.begin(), evaluations.end(),
                   [](const StepEvaluation &e) { return e.measured && e.repeatabilityMissing; })
                    ? tr("只有一个读数的点未给定被测仪器的重复性，其 U 不含重复性。")
                    : QString())
            + (anyNonlinear ? tr("标 † 的分量两侧变化相差超过 10 %（一阶传播不再适用），取较大者。")
                            : QString())});
    // Every step's budget while they are few; past that, the step with the largest U stands for them.
    constexpr int kBudgetsListed = 3;
    for (int i = 0; i < evaluations.size(); ++i) {
        const StepEvaluation &e = evaluations.at(i);
        if (!e.measured || (shown > kBudgetsListed && i != worst))
            continue;
        d.statements.append({tr("不确定度分量（第 %1 步，设定值 %2 ℃）")
                                 .arg(i + 1)
                                 .arg(shortest(input.results.at(i).setPoint)),
            (shown > kBudgetsListed
                    ? tr("列出 U 最大的一步；其他各步的分量相同，数值随温度而变。") + QLatin1Char('\n')
                    : QString())
                + budgetText(e)});
    }
    QStringList outages;
    for (const CalibrationOutage &o : input.outages) {
        outages << tr("%1 起，%2 秒")
                       .arg(localTime(input.header.wallAtZero.addMSecs(o.startMs)))
                       .arg(QString::number(o.lengthMs / 1000.0, 'f', 1));
    }
    d.statements.append({tr("通信中断"), outages.isEmpty() ? tr("无") : outages.join(tr("；"))});
    const QStringList record = readingsRecord(input.results);
    if (!record.isEmpty())
        d.statements.append({tr("读数记录"), record.join(QLatin1Char('\n'))});
    d.chart = input.chart;
    d.closing = QStringList {tr("签字人：%1　　签字：____________").arg(run.certificate.signatory),
        tr("本证书的结果仅与被校准的仪器有关。")};
    return d;
}
