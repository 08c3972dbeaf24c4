#include "common/language.h"

#include <QCoreApplication>
#include <QPointer>
#include <QRegularExpression>
#include <QTranslator>

// Outside any namespace: the macro declares the resource's initialiser where it stands.
static void initTranslationResources()
{
    // Pulls the resource's object file out of the static library into every program.
    Q_INIT_RESOURCE(kivexcel_translations);
}

namespace {

QPointer<QTranslator>& installedTranslator()
{
    static QPointer<QTranslator> translator;
    return translator;
}

// The language part of a locale name: "en" of en_GB.UTF-8, en@euro or en.
QString languageOf(const QString& localeName)
{
    return localeName.section(QRegularExpression(QStringLiteral("[_.@]")), 0, 0);
}

} // namespace

bool userWantsEnglish()
{
    QString chosen;
    const QStringList preferred = qEnvironmentVariable("LANGUAGE").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (!preferred.isEmpty())
        chosen = preferred.first();
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (chosen.isEmpty())
            chosen = qEnvironmentVariable(variable);
    }
    return languageOf(chosen) == QLatin1String("en");
}

bool installTranslations()
{
    if (QTranslator* previous = installedTranslator()) {
        QCoreApplication::removeTranslator(previous);
        delete previous;
    }
    if (!userWantsEnglish())
        return false;
    initTranslationResources();
    auto translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral(":/translations/kivexcel_en.qm"))
        && QCoreApplication::installTranslator(translator)) {
        installedTranslator() = translator;
        return true;
    }
    delete translator;
    return false;
}
