#include "language.h"

#include <QCoreApplication>
#include <QTranslator>

namespace {
// Process-wide like the translator list they are installed in; replaced, never reused.
QTranslator *appTranslator = nullptr;
QTranslator *qtTranslator = nullptr;

bool replace(QTranslator *&translator, const QString &path)
{
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    translator = new QTranslator;
    if (!translator->load(path))
        return false;
    QCoreApplication::installTranslator(translator);
    return true;
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

QString qtCatalogue(const QString &language)
{
    if (language == simplifiedChinese)
        return QStringLiteral("qt_zh_CN");
    if (language == traditionalChinese)
        return QStringLiteral("qt_zh_TW");
    return QStringLiteral("qt_en");
}

bool install(const QString &language, const QString &dir, const QString &qtDir)
{
    // Qt's first, so ours is searched first wherever both translate the same context.
    replace(qtTranslator, qtDir + QLatin1Char('/') + qtCatalogue(language) + QStringLiteral(".qm"));
    return replace(appTranslator, dir + translationFile(language));
}

} // namespace Language
