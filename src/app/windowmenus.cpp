#include "windowmenus.h"

#include "app/language.h"

#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>

WindowMenus::WindowMenus(QWidget *window)
    : QObject(window)
    , m_file(new QMenu(window))
    , m_settings(new QMenu(window))
    , m_language(new QMenu(m_settings))
    , m_help(new QMenu(window))
{
    const auto entry = [this](QMenu *menu, void (WindowMenus::*signal)()) {
        QAction *action = menu->addAction(QString());
        connect(action, &QAction::triggered, this, signal);
        return action;
    };
    m_openCurve = entry(m_file, &WindowMenus::openCurve);
    m_saveCurve = entry(m_file, &WindowMenus::saveCurve);
    m_exportCsv = entry(m_file, &WindowMenus::exportCsv);
    m_exportImage = entry(m_file, &WindowMenus::exportImage);
    m_signIssued = entry(m_file, &WindowMenus::signIssued);
    m_amendIssued = entry(m_file, &WindowMenus::amendIssued);
    m_exit = entry(m_file, &WindowMenus::exit);
    m_chartSettings = entry(m_settings, &WindowMenus::chartSettings);
    m_calibration = entry(m_settings, &WindowMenus::calibration);
    m_remoteControl = entry(m_settings, &WindowMenus::remoteControl);
    m_telemetry = entry(m_settings, &WindowMenus::telemetry);
    m_signing = entry(m_settings, &WindowMenus::signing);
    m_lab = entry(m_settings, &WindowMenus::lab);
    m_settings->addMenu(m_language);
    m_chinese = entry(m_language, &WindowMenus::simplifiedChinese);
    m_english = entry(m_language, &WindowMenus::english);
    m_traditional = entry(m_language, &WindowMenus::traditionalChinese);
    m_manual = entry(m_help, &WindowMenus::manual);
    // The language in force is ticked, one at a time.
    auto *languages = new QActionGroup(m_language);
    for (QAction *action : {m_chinese, m_english, m_traditional}) {
        action->setCheckable(true);
        languages->addAction(action);
    }
    m_about = entry(m_help, &WindowMenus::about);
    // The menus open from buttons, not a menu bar: the window itself must hold the entries for their
    // keys to work while the menus are closed.
    m_openCurve->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    m_saveCurve->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_exportCsv->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    m_exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_manual->setShortcut(QKeySequence(Qt::Key_F1));
    window->addActions({m_openCurve, m_saveCurve, m_exportCsv, m_exit, m_manual});
    retranslate();
}

void WindowMenus::showLanguage(const QString &language)
{
    m_chinese->setChecked(language == Language::simplifiedChinese);
    m_traditional->setChecked(language == Language::traditionalChinese);
    // Anything else is installed as English (Language::translationFile): the tick says what is in force.
    m_english->setChecked(!m_chinese->isChecked() && !m_traditional->isChecked());
}

void WindowMenus::retranslate()
{
    m_openCurve->setText(tr("打开曲线"));
    m_saveCurve->setText(tr("保存曲线"));
    m_exportCsv->setText(tr("导出CSV"));
    m_exportImage->setText(tr("导出图片"));
    m_signIssued->setText(tr("签署已签发的证书…"));
    m_amendIssued->setText(tr("修订已签发的证书…"));
    m_exit->setText(tr("退出"));
    m_chartSettings->setText(tr("表格设置"));
    m_calibration->setText(tr("校准程序"));
    m_remoteControl->setText(tr("远程控制"));
    m_telemetry->setText(tr("数据上报"));
    m_signing->setText(tr("签名"));
    m_lab->setText(tr("实验室"));
    m_language->setTitle(tr("语言"));
    m_chinese->setText(tr("简体中文"));
    m_english->setText(tr("English"));
    m_traditional->setText(tr("繁體中文"));
    m_manual->setText(tr("使用手册"));
    m_about->setText(tr("关于"));
}
