#include "language.h"

#include <QCoreApplication>
#include <QTranslator>

namespace {
// Process-wide like the translator list they are installed in; replaced, never reused.
QTranslator *appTranslator = nullptr;
QTranslator *qtTranslator = nullptr;

bool replace(QTranslator *&translator, const QStringList &paths)
{
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    translator = new QTranslator;
    for (const QString &path : paths) {
        if (translator->load(path)) {
            QCoreApplication::installTranslator(translator);
            return true;
        }
    }
    return false;
}
} // namespace

namespace Language {

QString translationFile(const QString &language)
{
    if (language == simplifiedChinese)
        return QStringLiteral("/Chinese.qm");
    if (language == traditionalChinese)
        return QStringLiteral("/TrChinese.qm");
    return QStringLiteral("/English.qm");
}

QUrl manualPage(const QString &language)
{
    if (language == simplifiedChinese)
        return QUrl(QStringLiteral("qrc:/manual/zh_CN.html"));
    if (language == traditionalChinese)
        return QUrl(QStringLiteral("qrc:/manual/zh_TW.html"));
    return QUrl(QStringLiteral("qrc:/manual/en.html"));
}

QString qtCatalogue(const QString &language)
{
    if (language == simplifiedChinese)
        return QStringLiteral("qt_zh_CN");
    if (language == traditionalChinese)
        return QStringLiteral("qt_zh_TW");
    return QStringLiteral("qt_en");
}

QStringList translationDirs(const QString &exeDir)
{
    return {exeDir, exeDir + QStringLiteral("/" BB_TRANSLATIONS_FROM_BIN)};
}

bool install(const QString &language, const QStringList &dirs, const QString &qtDir)
{
    // Qt's first, so ours is searched first wherever both translate the same context.
    replace(qtTranslator, {qtDir + QLatin1Char('/') + qtCatalogue(language) + QStringLiteral(".qm")});
    QStringList paths;
    for (const QString &dir : dirs)
        paths.append(dir + translationFile(language));
    return replace(appTranslator, paths);
}

} // namespace Language
