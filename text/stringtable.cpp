#include "text/stringtable.h"

#include <QtGlobal>

#include <algorithm>
#include <iterator>

namespace {

// One row per text ID. The neutral and US English versions are the same for every
// ID the program uses; traditional-sort Spanish is null where it equals modern sort.
struct TextRow
{
    int id;
    const char *english;
    const char *spanishModern;
    const char *spanishTraditional;
    const char *french;
};

// Kept in ID order for the binary search; texts keep their own spacing.
constexpr TextRow kTexts[] = {
    {1002, "Open", "Abrir...", nullptr, "Ouvri"},
    {1004, "Save", "Guardar", nullptr, "Sauver"},
    {1012, "Exit", "Salir", nullptr, "Sortir"},
    {1021, "Help", "Ayuda", nullptr, "Aide"},
    {1055, "Night ON", "ON noche", "ON Noche", "Nuit sur"},
    {1056, "24 hours ON", "24 horas ON", nullptr, "24 heures sur"},
    {1057, "Night attenuation", "Atenuación nocturna", nullptr, "Atténuation nuit"},
    {1058, "Function mode", "Modo funcionamiento", "Modo de funcionamiento", "Mode de fonctionnement"},
    {1059, "Recovery time after hibernation", "Tiempo de reactivación tras hibernación", nullptr,
     "Le temps de récupération après l'hibernation"},
    {1061, "Disable", "Desactivado", nullptr, "Non activé"},
    {1100, "Daylight sensor", "Fotocélula", nullptr, "Photocellule"},
    {1102, "Flashes", "Destellos", nullptr, "Eclats"},
    {1103, "Communications", "Comunicaciones", nullptr, "Communications"},
    {1104, "Setup", "Configuración", nullptr, "Configuration"},
    {1105, "Visualization", "Visualización", nullptr, "Visualisation"},
    {1110, "Light level Beacon ON", "Nivel luz baliza ON", nullptr, "Niveau feu ON"},
    {1111, "Light level Beacon OFF", "Nivel luz baliza OFF", nullptr, "Niveau feu OFF"},
    {1112, "Daylight sensor delay", "Retardo fotocélula", nullptr, "Retard photocellule"},
    {1160, "Language", "Lenguaje:", nullptr, "Langue"},
    {1161, "Com:", "Com:", nullptr, "Com:"},
    {1165, "Remote control", "Telemado", "Telemando", "Telecommande"},
    {1171, "LED instant current ", "Corriente actual leds", nullptr, "Courant actuel leds"},
    {1180, "Instant speed", "Velocidad actual", nullptr, "vitesse actuel"},
    {1201, "Model", "Modelo", nullptr, "Modèle"},
    {1203, "Firmware Version", "Versión firmware", nullptr, "Version firmware"},
    {1204, "Hardware", "Hardware", nullptr, "Hardware"},
    {1205, "ID Number", "Numero ID", "Número ID", "Numéro ID"},
    {1206, "Identifier", "Identificación", nullptr, "Identification"},
    {1207, "Manufacturer number", "Numero Fabricación", "Número Fabricación", "Numéro Fabrication"},
    {1208, "Year made", "Año Fabricación", nullptr, "An  fabrication"},
    {1209, "Week made", "Semana fabricación", nullptr, "Semaine  fabrication"},
    {1219, "RPM", "RPM", nullptr, "RPM"},
    {1220, "Lux", "Lux", nullptr, "Lux"},
    {1221, "Sec", "Seg", nullptr, "Sec"},
    {1401, "Lamp alarm level", "Nivel alarma lámpara", nullptr, "Niveau alarme de lampe"},
    {1402, "Lamchanger type", "Tipo de cambiador", nullptr, "Type Changeur de lampes"},
    {1403, "Lamp 1 type", "Tipo lámpara 1", nullptr, "Type lampe 1"},
    {1404, "Lamp  2 type", "Tipo lámpara 2", nullptr, "Type lampe 2"},
    {1405, "Main Lamp", "Lámpara principal", nullptr, "Lampe principale"},
    {1406, "Delay lamp photocell", "Tiempo fotocélula interior", nullptr,
     "Retard cellule photoélectrique de lampe"},
    {1407, "Delay Lamp 2", "Tiempo lámpara 2", nullptr, "Retard lampe 2"},
    {1408, "Delay AC Mains failure", "Tiempo fallo de red", nullptr, "Retard faille du réseau"},
    {1409, "Delay Lamp 1", "Tiempo lámpara 1", nullptr, "Retard lampe 1"},
    {1410, "Delay lamp failure", "Retardo alarma lámpara", nullptr, "Retard lampe grillée"},
    {1411, "Delay AC Mains restart", "Tiempo retorno de red", nullptr, "Retard retour du réseau"},
    {1412, "Emergency lantern", "Baliza de Emergencia", nullptr, "Balise de secours."},
    {1420, "User Speed 1", "Velocidad usuario 1", nullptr, "Vitesse usager 1"},
    {1421, "User Speed 2", "Velocidad usuario 2", nullptr, "Vitesse usager 2"},
    {1422, "User Speed 3", "Velocidad usuario 3", nullptr, "Vitesse usager 3"},
    {1423, "User Speed 4", "Velocidad usuario 4", nullptr, "Vitesse usager 4"},
    {1424, "Reducer Ratio", "Relación reductor", nullptr, "Rapport réducteur"},
    {1425, "Pulses per revolution", "Pulsos por revolución", "Pulses per revolution",
     "Pulsations par révolution"},
    {1426, "Acceleration time", "Tiempo de Aceleración", nullptr, "Temps d'accélération"},
    {1427, "Motor Type", "Tipo de Motor", nullptr, "Type de moteur"},
    {1428, "Stepper Motor", "Paso a paso", nullptr, "Moteur pas à pas"},
    {1429, "Dual Motor RKD", "Motor doble RKD", "Motor Doble RKD", "Moteur Double RKD"},
    {1430, "Rotation", "Rotación", nullptr, "Rotation"},
    {1431, "Read ZAV", "Leer ZAV", nullptr, "Lire ZAV"},
    {1432, "Write ZAV", "Escribir ZAV", nullptr, "Ecrire ZAV"},
    {1434, "Failed tours", "Giros fallidos", nullptr, "Tours faillis"},
    {1435, "Speed tolerance", "Margen Error Motor RKD", "Tolerancia de velocidad", "Tolerance de vitesse"},
    {1450, "ON", "ON", nullptr, "ON"},
    {1451, "OFF", "OFF", nullptr, "OFF"},
    {1452, "Motor ON", "Motor ON", nullptr, "Moteur ON"},
    {1453, "Motor alarm", "Alarma motor", nullptr, "Alarme de moteur"},
    {1454, "Lamp 1 ON", "Lampara 1 ON", nullptr, "Lampe 1 ON"},
    {1455, "Lamp 2 ON", "Lampara 2 ON", nullptr, "Lampe 2 ON"},
    {1456, "Changeur ON", "Cambiador ON", nullptr, "Changeur ON"},
    {1457, "AC Mains failure", "Fallo de red", nullptr, "Alarme de Reseau"},
    {1458, "Last lamp Alarm", "Prealarma Lámpara", nullptr, "Prealarme  de Lampes"},
    {1459, "Lamp Alarm", "Alarma Lampara 1", nullptr, "Alarme Lampe 1"},
    {1460, "Total Lamp Alarm", "Fallo de foco", nullptr, "Alarme total de Lampes"},
    {1461, "Lamp Change", "Cambio de lampara", nullptr, "Change de lampe"},
    {1462, "Day Night control", "Control dia/ noche", nullptr, "Controlle jour/ Nuit"},
    {1463, "Normal", "Normal", nullptr, "Normal"},
    {1464, "Night", "Noche", nullptr, "Nuit"},
    {1465, "Day", "Día", nullptr, "Jour"},
    {1466, "Automatic Mode", "Modo Automatico", nullptr, "Automatique  Mode"},
    {1467, "Refresh", "Interrogar", nullptr, "Interroger"},
    {1468, "Lamp ON", "Lampara ON", nullptr, "Lampe ON"},
    {1470, "2º Port function", "Función 2º Puerto", nullptr, "Fonction 2º port"},
    {1471, "RS485", "RS485", nullptr, "RS485"},
    {1472, "MODBUS", "MODBUS", nullptr, "MODBUS"},
    {1473, "PWM Led", "PWM Led", nullptr, "PWM Led"},
    {1480, "sensor type", "Tipo sensor", nullptr, "Type de capteur"},
    {2000, "helpZAV.chm", "ayudaZAV.chm", "ayudajq.chm", "AideZAV.chm"},
    {2001, "This version of firmware is only ZAV software program v1.2.9",
     "Esta versión de firmware solo se programa con el software ZAV V1.2.9", nullptr,
     "Cette version de firmware est uniquement logiciel ZAV v1.2.9"},
};

// The program's own texts: no ID of the table, so they never collide with one.
struct OwnTextRow
{
    OwnText key;
    const char *english;
    const char *spanish;
    const char *french;
};

constexpr OwnTextRow kOwnTexts[] = {
    {OwnText::StartHint,
     "Start here:\nconnect the ZAV to the serial port and press \"%1\" to read the device.",
     "Empiece aquí:\nconecte el ZAV al puerto serie y pulse \"%1\" para leer el equipo.",
     // No-break spaces keep the colon and the guillemets with their words.
     "Commencez ici\u00a0:\nbranchez le ZAV sur le port série et appuyez sur «\u00a0%1\u00a0» pour lire "
     "l'appareil."},
};

constexpr bool inIdOrder()
{
    for (std::size_t i = 1; i < std::size(kTexts); ++i)
        if (kTexts[i - 1].id >= kTexts[i].id)
            return false;
    return true;
}
static_assert(inIdOrder(), "the text table must stay sorted by ID");

const TextRow *findRow(int id)
{
    const auto *end = std::end(kTexts);
    const auto *row =
        std::lower_bound(std::begin(kTexts), end, id, [](const TextRow &r, int key) { return r.id < key; });
    return row != end && row->id == id ? row : nullptr;
}

} // namespace

// Language choice on Linux: the message locale of POSIX (LC_ALL, then LC_MESSAGES,
// then LANG; an empty variable counts as unset). LANGUAGE is not consulted: it is a
// gettext preference list that desktops often set to several languages, and the
// table has one version per locale. Any Spanish-speaking territory gets Spanish,
// modern sort, unless the locale carries the "@traditional" modifier
// (es_ES.UTF-8@traditional), which is how the traditional-sort version is reached.
// French of any territory gets French, en_US the US English version, and every
// other locale (C, POSIX, de_DE, en_GB) the neutral English version.
LanguageVersion languageVersionFor(const QString &localeName)
{
    QString name = localeName.trimmed();
    QString modifier;
    const qsizetype at = name.indexOf(QLatin1Char('@'));
    if (at >= 0) {
        modifier = name.mid(at + 1).toLower();
        name.truncate(at);
    }
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    name.replace(QLatin1Char('-'), QLatin1Char('_'));
    const qsizetype underscore = name.indexOf(QLatin1Char('_'));
    const QString language = (underscore >= 0 ? name.left(underscore) : name).toLower();
    const QString territory = underscore >= 0 ? name.mid(underscore + 1).toUpper() : QString();

    if (language == QLatin1String("es"))
        return modifier == QLatin1String("traditional") ? LanguageVersion::SpanishTraditional
                                                        : LanguageVersion::SpanishModern;
    if (language == QLatin1String("fr"))
        return LanguageVersion::French;
    if (language == QLatin1String("en") && territory == QLatin1String("US"))
        return LanguageVersion::EnglishUS;
    return LanguageVersion::Neutral;
}

QString messagesLocaleName()
{
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return value;
    }
    return QStringLiteral("C");
}

LanguageVersion systemLanguageVersion()
{
    return languageVersionFor(messagesLocaleName());
}

bool hasText(int id)
{
    return findRow(id) != nullptr;
}

QString LoadText(int id, LanguageVersion version)
{
    const TextRow *row = findRow(id);
    if (!row) {
        // Shown in place of the caption so a missing text is seen, not fatal.
        qWarning("LoadText: no text with ID %d", id);
        return QStringLiteral("#%1").arg(id);
    }
    const char *text = row->english;
    switch (version) {
    case LanguageVersion::Neutral:
    case LanguageVersion::EnglishUS:
        break;
    case LanguageVersion::SpanishModern:
        text = row->spanishModern;
        break;
    case LanguageVersion::SpanishTraditional:
        text = row->spanishTraditional ? row->spanishTraditional : row->spanishModern;
        break;
    case LanguageVersion::French:
        text = row->french;
        break;
    }
    return QString::fromUtf8(text);
}

namespace {

// The language is chosen once: a change of locale takes effect at the next start.
LanguageVersion runVersion()
{
    static const LanguageVersion version = systemLanguageVersion();
    return version;
}

} // namespace

LanguageVersion runLanguageVersion()
{
    return runVersion();
}

QString LoadText(int id)
{
    return LoadText(id, runVersion());
}

QString LoadOwnText(OwnText text, LanguageVersion version)
{
    for (const OwnTextRow &row : kOwnTexts) {
        if (row.key != text)
            continue;
        switch (version) {
        case LanguageVersion::Neutral:
        case LanguageVersion::EnglishUS:
            return QString::fromUtf8(row.english);
        case LanguageVersion::SpanishModern:
        case LanguageVersion::SpanishTraditional:
            return QString::fromUtf8(row.spanish);
        case LanguageVersion::French:
            return QString::fromUtf8(row.french);
        }
    }
    return QString();
}

QString LoadOwnText(OwnText text)
{
    return LoadOwnText(text, runVersion());
}
