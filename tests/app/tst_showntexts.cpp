#include "app/language.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "dialogs/aboutdialog.h"
#include "dialogs/chartsettingsdialog.h"
#include "dialogs/manualdialog.h"
#include "settings/settings.h"
#include "widgets/elidedlabel.h"
#include "widgets/tempareaitem.h"
#include "windowtest.h"

#include <QAbstractButton>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include <algorithm>

namespace {

bool hasHan(const QString &text)
{
    return std::any_of(
        text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF; });
}

// Where a shown text falls short: "name: text" for one that kept its Chinese source in English or that
// is wider than its widget.
QStringList faults(QWidget *root, bool english)
{
    QStringList found;
    const auto check = [&found, english](const QWidget *widget, const QString &text, int room) {
        const QString line = text.split(QLatin1Char('\n')).constFirst();
        if (english && hasHan(line))
            found << widget->objectName() + QStringLiteral(": untranslated ") + line;
        if (widget->fontMetrics().horizontalAdvance(line) > room)
            found << widget->objectName() + QStringLiteral(": clipped ") + line;
    };
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        // The read-out tiles scale their captions themselves.
        if (!widget->isVisible() || widget->width() <= 0
            || qobject_cast<TempAreaItem *>(widget->parentWidget()))
            continue;
        if (auto *label = qobject_cast<QLabel *>(widget); label && !qobject_cast<ElidedLabel *>(label)
            && !label->wordWrap() && label->textFormat() != Qt::RichText)
            check(label, label->text(), label->contentsRect().width());
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            check(button, button->text(), button->width() - 4);
        else if (auto *group = qobject_cast<QGroupBox *>(widget))
            check(group, group->title(), group->width());
    }
    for (QMenu *menu : root->findChildren<QMenu *>()) {
        for (const QAction *action : menu->actions()) {
            // Each language is named in its own words.
            const bool ownName = action->text() == QStringLiteral("简体中文")
                || action->text() == QStringLiteral("繁體中文");
            if (english && !ownName && hasHan(action->text()))
                found << QStringLiteral("menu: untranslated ") + action->text();
        }
    }
    return found;
}

} // namespace

// Every text the window shows at its smallest, in each language: translated, and not cut off.
class TestShownTexts : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { closeWindow(); }
    void textsAreTranslatedAndWhole_data();
    void textsAreTranslatedAndWhole();
    void f1OpensTheManualInTheLanguageInForce_data();
    void f1OpensTheManualInTheLanguageInForce();
};

void TestShownTexts::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    prepareApplication();
}

void TestShownTexts::textsAreTranslatedAndWhole_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("Simplified Chinese") << Language::simplifiedChinese;
    QTest::newRow("Traditional Chinese") << Language::traditionalChinese;
    QTest::newRow("English") << Language::english;
}

void TestShownTexts::textsAreTranslatedAndWhole()
{
    QFETCH(QString, language);
    appSettings.setValue(appSettings.languageKey, language);
    showWindow();
    // The window fits a 1024-pixel screen.
    QVERIFY2(m_window->minimumSizeHint().width() <= 1024,
        qPrintable(QString::number(m_window->minimumSizeHint().width())));
    m_window->resize(1024, 600);
    QTest::qWait(50);
    const bool english = language == Language::english;
    QStringList found = faults(m_window.get(), english);
    AboutDialog about;
    ChartSettingsDialog chartSettings;
    ManualDialog manual;
    for (QDialog *dialog : {static_cast<QDialog *>(&about), static_cast<QDialog *>(&chartSettings),
             static_cast<QDialog *>(&manual)}) {
        dialog->show();
        found << faults(dialog, english);
        if (english && hasHan(dialog->windowTitle()))
            found << QStringLiteral("untranslated title ") + dialog->windowTitle();
    }
    if (english && hasHan(m_window->windowTitle()))
        found << QStringLiteral("untranslated title ") + m_window->windowTitle();
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
}

void TestShownTexts::f1OpensTheManualInTheLanguageInForce_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("switchedTo");
    QTest::addColumn<QString>("switchedPage");
    QTest::newRow("Simplified Chinese, then English")
        << Language::simplifiedChinese << "qrc:/manual/zh_CN.html" << Language::english
        << "qrc:/manual/en.html";
    QTest::newRow("Traditional Chinese, then Simplified")
        << Language::traditionalChinese << "qrc:/manual/zh_TW.html" << Language::simplifiedChinese
        << "qrc:/manual/zh_CN.html";
    QTest::newRow("English, then Traditional Chinese")
        << Language::english << "qrc:/manual/en.html" << Language::traditionalChinese
        << "qrc:/manual/zh_TW.html";
}

void TestShownTexts::f1OpensTheManualInTheLanguageInForce()
{
    QFETCH(QString, language);
    QFETCH(QString, switchedTo);
    appSettings.setValue(appSettings.languageKey, language);
    showWindow(false);
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTest::keySequence(m_window.get(), QKeySequence(Qt::Key_F1));
    auto *manual = m_window->findChild<ManualDialog *>();
    QVERIFY(manual && manual->isVisible());
    // Every picture of the page is in the bundle: a missing one would show as an empty frame.
    const auto pictures = [manual] {
        QStringList missing;
        int found = 0;
        const QTextDocument *page = manual->findChild<QTextBrowser *>()->document();
        for (QTextBlock block = page->begin(); block.isValid(); block = block.next()) {
            for (auto part = block.begin(); !part.atEnd(); ++part) {
                const QTextImageFormat image = part.fragment().charFormat().toImageFormat();
                if (!image.isValid())
                    continue;
                ++found;
                const QUrl url = manual->page().resolved(QUrl(image.name()));
                if (!QFile::exists(QLatin1Char(':') + url.path()))
                    missing << url.toString();
            }
        }
        return found == 0 ? QStringLiteral("no picture") : missing.join(QLatin1Char(' '));
    };
    QTEST(manual->page().toString(), "page");
    QCOMPARE(pictures(), QString());
    // The open manual follows a change of language.
    if (switchedTo == Language::english)
        m_window->ClickLangEnglish();
    else if (switchedTo == Language::traditionalChinese)
        m_window->ClickTrChinese();
    else
        m_window->ClickLangChinese();
    QTEST(manual->page().toString(), "switchedPage");
    QCOMPARE(pictures(), QString());
}

QTEST_MAIN(TestShownTexts)
#include "tst_showntexts.moc"
