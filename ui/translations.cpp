#include "ui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

// The catalogues are compiled into a resource of this static library; naming its
// initialiser keeps the linker from dropping it.
static void initTranslationResources()
{
    Q_INIT_RESOURCE(zav_translations);
}

namespace {

const char *const kBuiltIn = ":/i18n";

void install(QTranslator *translator)
{
    translator->setParent(QCoreApplication::instance());
    QCoreApplication::installTranslator(translator);
}

} // namespace

QString translationLanguage(LanguageVersion version)
{
    switch (version) {
    case LanguageVersion::SpanishModern:
    case LanguageVersion::SpanishTraditional:
        return QStringLiteral("es");
    case LanguageVersion::French:
        return QStringLiteral("fr");
    case LanguageVersion::Neutral:
    case LanguageVersion::EnglishUS:
        break;
    }
    return QStringLiteral("en");
}

bool loadQtCatalogue(QTranslator &translator, const QString &module, const QString &language)
{
    initTranslationResources();
    const QString name = module + QLatin1Char('_') + language;
    // The installed Qt's own first: it matches the library this run uses. The copy
    // built in serves where Qt's translations are not installed (a static build).
    return translator.load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
           translator.load(name, QLatin1String(kBuiltIn));
}

bool installTranslations(LanguageVersion version)
{
    initTranslationResources();
    const QString language = translationLanguage(version);
    bool complete = true;
    auto *own = new QTranslator;
    if (own->load(QStringLiteral("zav_") + language, QLatin1String(kBuiltIn))) {
        install(own);
    } else {
        qWarning("translations: the catalogue zav_%s is not built in", qPrintable(language));
        delete own;
        complete = false;
    }
    if (language == QLatin1String("en"))
        return complete;
    auto *qt = new QTranslator;
    if (loadQtCatalogue(*qt, QStringLiteral("qtbase"), language)) {
        install(qt);
    } else {
        // Standard buttons and context menus then stay in English.
        qWarning("translations: Qt's catalogue qtbase_%s is neither installed nor built in",
                 qPrintable(language));
        delete qt;
        complete = false;
    }
    // Qt's serial port has no catalogue for every language; its few texts stay English then.
    auto *serial = new QTranslator;
    if (loadQtCatalogue(*serial, QStringLiteral("qtserialport"), language))
        install(serial);
    else
        delete serial;
    return complete;
}
