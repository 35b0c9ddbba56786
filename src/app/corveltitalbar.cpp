#include "corveltitalbar.h"

#include "ui_corveltitalbar.h"
#include "widgets/navbutton.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

#include <algorithm>

namespace {

constexpr int kLeastHeight = 60;

QString windowButtonStyle(const char *name)
{
    return QStringLiteral("QToolButton{border-image:url(:/imager/light/window_%1_normal.png);"
                          "background-color:transparent;}"
                          "QToolButton:hover{border-image:url(:/imager/light/window_%1_hover.png)}"
                          "QToolButton:pressed{border-image:url(:/imager/light/window_%1_press.png)}")
        .arg(QLatin1String(name));
}

const char kMenuStyle[] = "QMenu {background-color:rgba(17,24,47,1);border:3px solid rgba(82,130,164,1);}"
                          "QMenu::item {min-width:50px;font-size: 12px;color: rgb(225,225,225);"
                          "background:rgba(75,120,154,0.5);border:1px solid rgba(82,130,164,1);"
                          "padding:1px 1px;margin:1px 1px;}"
                          "QMenu::item:selected {background:rgba(82,130,164,1);border:1px solid "
                          "rgba(82,130,164,1);}"
                          "QMenu::item:pressed {background:rgba(82,130,164,0.4);border:1px solid "
                          "rgba(82,130,164,1);}";

void styleMenuButton(NavButton *button)
{
    button->setEnabled(true);
    button->setPadding(0, 0, 0, 0);
    button->setTextAlign(NavButton::TextAlign_Center);
    button->setShowLine(false);
    button->setLinePosition(NavButton::LinePosition_Bottom);
    button->setNormalTextColor(Qt::white);
    button->setHoverTextColor(Qt::red);
    button->setCheckTextColor(Qt::white);
    button->setNormalBgColor(QColor(0, 64, 100));
    button->setHoverBgColor(QColor(0, 18, 124));
    button->setCheckBgColor(QColor(0, 64, 100));
    button->setLineWidth(10);
}

} // namespace

CorvelTitalbar::CorvelTitalbar(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CorvelTitalbar)
{
    ui->setupUi(this);
    // A long title is cut rather than widen the window; the curve's name and date at its end matter more
    // than the program's name at its start.
    ui->label_appname->setElideMode(Qt::ElideLeft);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        // Never lower than the name and the window buttons need, which a small screen's share would cut off.
        setFixedHeight(std::max(int(screen->virtualGeometry().height() * 0.065), kLeastHeight));
    ui->widget_menu->hide();
    ui->label_logo->show();
    setProperty("canMove", true);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    ui->widget_5->setProperty("flag", QStringLiteral("nav"));
    startTimer(1000, Qt::CoarseTimer);

    connect(ui->MinimizeButton, &QToolButton::clicked, this, &CorvelTitalbar::MinimizeButtonClicked);
    connect(ui->CloseButton, &QToolButton::clicked, this, &CorvelTitalbar::CloseButtonClicked);
    connect(ui->ChangeButton, &QToolButton::clicked, this, &CorvelTitalbar::WindowsChangeClicked);
    connect(ui->pushButton_file, &QPushButton::clicked, this, &CorvelTitalbar::fileClicked);

    ui->CloseButton->setStyleSheet(windowButtonStyle("close"));
    ui->MinimizeButton->setStyleSheet(windowButtonStyle("min"));
    changeImage(true);

    buildMenus();
    for (NavButton *button :
        {ui->pushButton_file, ui->pushButton_device, ui->pushButton_settings, ui->pushButton_help})
        styleMenuButton(button);

    setStyleSheet(QStringLiteral("background-color:rgb(240,240,240);color:rgb(0,0,0);"));
}

CorvelTitalbar::~CorvelTitalbar()
{
    delete ui;
}

// The menus belong to the bar rather than to nobody, so they go with it.
void CorvelTitalbar::buildMenus()
{
    auto *fileMenu = new QMenu(this);
    m_importAction = fileMenu->addAction(QString());
    m_exportAction = fileMenu->addAction(QString());
    m_exitAction = fileMenu->addAction(QString());
    connect(m_importAction, &QAction::triggered, this, &CorvelTitalbar::actionImportData);
    connect(m_exportAction, &QAction::triggered, this, &CorvelTitalbar::actionExportData);
    connect(m_exitAction, &QAction::triggered, this, &CorvelTitalbar::actionExit);
    ui->pushButton_file->setMenu(fileMenu);

    auto *deviceMenu = new QMenu(this);
    m_deviceInfoAction = deviceMenu->addAction(QString());
    connect(m_deviceInfoAction, &QAction::triggered, this, &CorvelTitalbar::actionDeviceInfo);
    ui->pushButton_device->setMenu(deviceMenu);
    ui->pushButton_device->setEnabled(false);

    auto *settingsMenu = new QMenu(this);
    m_chartSettingsAction = settingsMenu->addAction(QString());
    connect(m_chartSettingsAction, &QAction::triggered, this, &CorvelTitalbar::actionChartSettings);
    m_languageMenu = settingsMenu->addMenu(QString());
    // Each language is named in its own words, whatever language is in force.
    connect(
        m_languageMenu->addAction(tr("简体中文")), &QAction::triggered, this, &CorvelTitalbar::actionChinese);
    connect(
        m_languageMenu->addAction(tr("English")), &QAction::triggered, this, &CorvelTitalbar::actionEnglish);
    ui->pushButton_settings->setMenu(settingsMenu);

    auto *helpMenu = new QMenu(this);
    m_aboutAction = helpMenu->addAction(QString());
    connect(m_aboutAction, &QAction::triggered, this, &CorvelTitalbar::actionAbout);
    ui->pushButton_help->setMenu(helpMenu);

    for (QMenu *menu : {fileMenu, deviceMenu, settingsMenu, helpMenu})
        menu->setStyleSheet(QLatin1String(kMenuStyle));
    retranslateMenus();
}

void CorvelTitalbar::retranslateMenus()
{
    m_importAction->setText(tr("打开曲线"));
    m_exportAction->setText(tr("保存曲线"));
    m_exitAction->setText(tr("退出"));
    m_deviceInfoAction->setText(tr("仪器信息"));
    m_chartSettingsAction->setText(tr("表格设置"));
    m_aboutAction->setText(tr("关于"));
    m_languageMenu->setTitle(tr("语言"));
}

void CorvelTitalbar::changeImage(bool normal)
{
    ui->ChangeButton->setStyleSheet(windowButtonStyle(normal ? "expand" : "reduce"));
}

void CorvelTitalbar::showTitle(const QString &title)
{
    m_title = title;
    applyTitle();
}

void CorvelTitalbar::applyTitle()
{
    if (m_title.isEmpty())
        return;
    ui->label_appname->setText(m_title);
}

void CorvelTitalbar::timerEvent(QTimerEvent *)
{
    ui->label_clock->setText(QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss")));
}

void CorvelTitalbar::mouseDoubleClickEvent(QMouseEvent *event)
{
    emit WindowsChangeClicked();
    QWidget::mouseDoubleClickEvent(event);
}

void CorvelTitalbar::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        // The form's own text for the clock is its placeholder; the time must stay.
        const QString clock = ui->label_clock->text();
        ui->retranslateUi(this);
        ui->label_clock->setText(clock);
        retranslateMenus();
        applyTitle();
    }
    QWidget::changeEvent(event);
}
