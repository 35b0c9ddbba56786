#include "chartfileactions.h"

#include "curvetitle.h"
#include "dialogs/waitdialog.h"
#include "files/atomicsave.h"
#include "settings/lastfolders.h"
#include "settings/settings.h"
#include "ttwidget.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPushButton>

#include <algorithm>

namespace {
// The 96 dots per inch QCustomPlot's own PNG export records, which viewers take for the printed size.
const int kImageDotsPerMeter = int(96 / 0.0254);
} // namespace

ChartFileActions::ChartFileActions(ttwidget *chart, QWidget *window)
    : QObject(window)
    , m_chart(chart)
    , m_window(window)
{
    connect(chart, &ttwidget::exportRequested, this, &ChartFileActions::exportCurveAs);
    if (window)
        new CurveTitle(window, chart);
}

bool ChartFileActions::refuse(const QString &refusal)
{
    if (!refusal.isEmpty())
        QMessageBox::warning(nullptr, tr("提示"), refusal, QMessageBox::Ok);
    return !refusal.isEmpty();
}

bool ChartFileActions::refuseWhileRecording()
{
    return refuse(m_chart->recordingRefusal());
}

bool ChartFileActions::mayDiscardCurve(const std::function<bool()> &stopRecording)
{
    // The session manager closes the window at logout; nobody would be there to answer.
    if (!m_chart->hasUnsavedCurve() || qApp->isSavingSession())
        return true;
    QMessageBox box(QMessageBox::Question, tr("提示"), tr("当前曲线尚未保存，放弃这条曲线吗？"),
        QMessageBox::NoButton, m_window);
    QPushButton *save = box.addButton(tr("保存"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(tr("放弃"), QMessageBox::DestructiveRole);
    QPushButton *keep = box.addButton(tr("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    if (box.clickedButton() == save) {
        // A curve still growing cannot be written; the one who asked may stop it first.
        if (m_chart->isRecording() && (!stopRecording || !stopRecording()))
            return false;
        exportCurveAs();
        // A cancelled or failed save keeps the curve.
        return !m_chart->hasUnsavedCurve();
    }
    return box.clickedButton() == discard;
}

QString ChartFileActions::suggestedName(const QString &suffix) const
{
    const qint64 start = m_chart->curveInfo().startMsecs;
    return LastFolders::curveName(
        start > 0 ? QDateTime::fromMSecsSinceEpoch(start) : QDateTime::currentDateTime(), suffix);
}

void ChartFileActions::openCurve()
{
    if (refuseWhileRecording() || !mayDiscardCurve())
        return;
    LastFolders folders(appSettings);
    QFileDialog dialog(nullptr, tr("选择文件"), folders.folder(LastFolders::Curves));
    dialog.setNameFilters(
        {tr("文件(*.txt*)"), tr("CSV文件") + QStringLiteral(" (*.csv)"), tr("所有文件(*)")});
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setViewMode(QFileDialog::Detail);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    folders.rememberFile(LastFolders::Curves, dialog.selectedFiles().constFirst());
    importCurve(dialog.selectedFiles().constFirst());
}

void ChartFileActions::importCurve(const QString &fileName)
{
    if (refuseWhileRecording())
        return;
    // No more rows than the chart can hold.
    WriteFileThread reader(fileName, CurveRecorder::MaxCacheSize, m_chart->newCurveInfo(0));
    if (runFileWorker(&reader))
        m_chart->showOpenedCurve(reader.contents(), reader.info(), reader.store(), fileName);
}

void ChartFileActions::exportCurveAs()
{
    if (refuse(m_chart->curveWriteRefusal()))
        return;
    LastFolders folders(appSettings);
    QFileDialog dialog(m_chart, tr("保存曲线"),
        folders.suggestion(LastFolders::Curves, suggestedName(QStringLiteral("txt"))),
        tr("曲线文件 (*.txt)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Lets the dialog ask before replacing the file the name will get.
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty())
        return;
    folders.rememberFile(LastFolders::Curves, dialog.selectedFiles().constFirst());
    exportCurve(curveFileName(dialog.selectedFiles().constFirst()));
}

void ChartFileActions::exportCurve(const QString &fileName)
{
    if (refuse(m_chart->curveWriteRefusal()) || !runWriteJob(fileName, WriteFileThread::Write))
        return;
    m_chart->markCurveSaved(fileName);
    reportSaved(tr("导出数据成功"), tr("信息已保存在%1！").arg(fileName));
}

void ChartFileActions::exportCsvAs()
{
    if (refuse(m_chart->curveWriteRefusal()))
        return;
    LastFolders folders(appSettings);
    QFileDialog dialog(m_chart, tr("导出CSV"),
        folders.suggestion(LastFolders::Exports, suggestedName(QStringLiteral("csv"))),
        tr("CSV文件") + QStringLiteral(" (*.csv)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty())
        return;
    folders.rememberFile(LastFolders::Exports, dialog.selectedFiles().constFirst());
    exportCsv(dialog.selectedFiles().constFirst());
}

void ChartFileActions::exportCsv(const QString &fileName)
{
    if (refuse(m_chart->curveWriteRefusal()))
        return;
    if (runWriteJob(fileName, WriteFileThread::WriteCsv))
        reportSaved(tr("导出数据成功"), tr("信息已保存在%1！").arg(fileName));
}

void ChartFileActions::exportImageAs()
{
    static const char *const kSuffixes[] = {"png", "pdf"};
    const QStringList filters {
        tr("PNG图片") + QStringLiteral(" (*.png)"), tr("PDF文件") + QStringLiteral(" (*.pdf)")};
    LastFolders folders(appSettings);
    QFileDialog dialog(m_chart, tr("导出图片"),
        folders.suggestion(LastFolders::Exports, suggestedName(QLatin1String(kSuffixes[0]))),
        filters.join(QStringLiteral(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name without a suffix gets the chosen type's, which then decides the format.
    dialog.setDefaultSuffix(QLatin1String(kSuffixes[0]));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &filters](const QString &filter) {
        const QString suffix = QLatin1String(kSuffixes[qMax(0, filters.indexOf(filter))]);
        dialog.setDefaultSuffix(suffix);
        // The suggested name follows the type, or a PDF chosen here would be written as a PNG.
        const QFileInfo chosen(dialog.selectedFiles().value(0));
        if (!chosen.fileName().isEmpty() && chosen.suffix() != suffix)
            dialog.selectFile(chosen.completeBaseName() + QLatin1Char('.') + suffix);
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty())
        return;
    folders.rememberFile(LastFolders::Exports, dialog.selectedFiles().constFirst());
    exportImage(dialog.selectedFiles().constFirst());
}

void ChartFileActions::exportImage(const QString &fileName)
{
    const SaveResult saved = writeImageFile(fileName);
    if (!saved) {
        showError(saved.message(fileName));
        return;
    }
    reportSaved(tr("导出图片成功"), tr("图片已保存在%1！").arg(fileName));
}

SaveResult ChartFileActions::writeImageFile(const QString &fileName)
{
    QCustomPlot *plot = m_chart->chartPlot();
    // A picture passed on must say what it shows; the title line comes on top of the plot as shown.
    auto *title = new QCPTextElement(plot, m_chart->exportTitle(), QFont(plot->font().family(), 10));
    plot->plotLayout()->insertRow(0);
    plot->plotLayout()->addElement(0, 0, title);
    const int width = plot->width();
    const int height
        = plot->height() + static_cast<QCPLayoutElement *>(title)->minimumOuterSizeHint().height();
    const SaveResult saved = writeImage(fileName, width, height);
    plot->plotLayout()->remove(title);
    plot->plotLayout()->simplify();
    plot->replot(QCustomPlot::rpQueuedReplot);
    return saved;
}

SaveResult ChartFileActions::writeImage(const QString &fileName, int width, int height)
{
    QCustomPlot *plot = m_chart->chartPlot();
    if (QFileInfo(fileName).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0) {
        // Twice the chart's size, at twice the resolution, so a print is sharp at the size it shows.
        QImage image = plot->toPixmap(width, height, 2.0 * plot->devicePixelRatioF()).toImage();
        image.setDotsPerMeterX(2 * kImageDotsPerMeter);
        image.setDotsPerMeterY(2 * kImageDotsPerMeter);
        return saveAtomically(fileName, [&image](QIODevice *file) { return image.save(file, "PNG"); });
    }
    // What QCustomPlot's own PDF export draws, but onto our device: it would write the file itself,
    // unchecked. The chart fills a landscape page of the paper the operator's country uses, keeping the
    // proportions of text to plot as shown.
    return saveAtomically(fileName, [&](QIODevice *file) {
        QPdfWriter writer(file);
        writer.setCreator(QCoreApplication::applicationName());
        writer.setResolution(plot->logicalDpiX());
        writer.setPageLayout(QPageLayout(QPageSize(paperFor(QLocale())), QPageLayout::Landscape,
            QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        QCPPainter painter;
        if (!painter.begin(&writer))
            return false;
        painter.setMode(QCPPainter::pmVectorized);
        const double scale = std::min(double(writer.width()) / width, double(writer.height()) / height);
        painter.setViewport(0, 0, int(width * scale), int(height * scale));
        painter.setWindow(0, 0, width, height);
        plot->toPainter(&painter, width, height);
        return painter.end();
    });
}

QPageSize::PageSizeId ChartFileActions::paperFor(const QLocale &locale)
{
    return locale.country() == QLocale::UnitedStates ? QPageSize::Letter : QPageSize::A4;
}

void ChartFileActions::reportSaved(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::NoButton, m_chart);
    box.addButton(tr("确定"), QMessageBox::AcceptRole);
    box.exec();
}

void ChartFileActions::showError(const QString &message)
{
    QMessageBox::critical(nullptr, tr("错误"), message, QMessageBox::Ok);
}

bool ChartFileActions::runFileWorker(WriteFileThread *worker)
{
    WaitDialog dialog;
    // Queued, in the order the worker sent them: a failure is told before the dialog closes.
    connect(worker, &WriteFileThread::failed, this, &ChartFileActions::showError);
    connect(worker, &WriteFileThread::progress, &dialog, &WaitDialog::Progress);
    connect(worker, &WriteFileThread::done, &dialog, &WaitDialog::accept);
    worker->start();
    dialog.exec();
    worker->wait();
    return worker->succeeded();
}

bool ChartFileActions::runWriteJob(const QString &fileName, WriteFileThread::Direction direction)
{
    WriteFileThread writer(fileName, direction, m_chart->snapshot());
    return runFileWorker(&writer);
}
