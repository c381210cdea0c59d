#include "text/stringtable.h"

#include <QTest>

Q_DECLARE_METATYPE(LanguageVersion)

class StringTableTest : public QObject
{
    Q_OBJECT

private slots:
    void lookup_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<LanguageVersion>("version");
        QTest::addColumn<QString>("expected");

        const auto N = LanguageVersion::Neutral;
        const auto US = LanguageVersion::EnglishUS;
        const auto ES = LanguageVersion::SpanishModern;
        const auto ET = LanguageVersion::SpanishTraditional;
        const auto FR = LanguageVersion::French;

        QTest::newRow("1171 trailing space") << 1171 << N << QStringLiteral("LED instant current ");
        QTest::newRow("1171 us") << 1171 << US << QStringLiteral("LED instant current ");
        QTest::newRow("1404 two spaces") << 1404 << N << QStringLiteral("Lamp  2 type");
        QTest::newRow("1404 es") << 1404 << ES << QStringLiteral("Tipo lámpara 2");
        QTest::newRow("1165 en") << 1165 << N << QStringLiteral("Remote control");
        QTest::newRow("1165 modern") << 1165 << ES << QStringLiteral("Telemado");
        QTest::newRow("1165 traditional") << 1165 << ET << QStringLiteral("Telemando");
        QTest::newRow("1165 fr") << 1165 << FR << QStringLiteral("Telecommande");
        QTest::newRow("1431 fr") << 1431 << FR << QStringLiteral("Lire ZAV");
        QTest::newRow("1208 fr") << 1208 << FR << QStringLiteral("An  fabrication");
        QTest::newRow("1209 fr") << 1209 << FR << QStringLiteral("Semaine  fabrication");
        QTest::newRow("1458 fr") << 1458 << FR << QStringLiteral("Prealarme  de Lampes");
        QTest::newRow("1466 fr") << 1466 << FR << QStringLiteral("Automatique  Mode");
        QTest::newRow("1208 es accent") << 1208 << ES << QStringLiteral("Año Fabricación");
        QTest::newRow("1470 ordinal") << 1470 << ET << QStringLiteral("Función 2º Puerto");
        QTest::newRow("1425 traditional english") << 1425 << ET << QStringLiteral("Pulses per revolution");
        QTest::newRow("1425 modern") << 1425 << ES << QStringLiteral("Pulsos por revolución");
        QTest::newRow("1435 traditional") << 1435 << ET << QStringLiteral("Tolerancia de velocidad");
        QTest::newRow("1058 traditional") << 1058 << ET << QStringLiteral("Modo de funcionamiento");
        QTest::newRow("1102 traditional same") << 1102 << ET << QStringLiteral("Destellos");
        QTest::newRow("2000 neutral") << 2000 << N << QStringLiteral("helpZAV.chm");
        QTest::newRow("2000 us") << 2000 << US << QStringLiteral("helpZAV.chm");
        QTest::newRow("2000 modern") << 2000 << ES << QStringLiteral("ayudaZAV.chm");
        QTest::newRow("2000 traditional") << 2000 << ET << QStringLiteral("ayudajq.chm");
        QTest::newRow("2000 fr") << 2000 << FR << QStringLiteral("AideZAV.chm");
        QTest::newRow("2001 es")
            << 2001 << ES
            << QStringLiteral("Esta versión de firmware solo se programa con el software ZAV V1.2.9");
    }

    void lookup()
    {
        QFETCH(int, id);
        QFETCH(LanguageVersion, version);
        QFETCH(QString, expected);
        QCOMPARE(LoadText(id, version), expected);
    }

    // Every ID the window, identification and read-all look up is in every version.
    void everyUsedIdPresent()
    {
        const int used[] = {1002, 1004, 1012, 1021, 1055, 1056, 1057, 1058, 1059, 1061, 1100, 1102, 1103,
                            1104, 1105, 1110, 1111, 1112, 1160, 1161, 1165, 1171, 1180, 1201, 1203, 1204,
                            1205, 1206, 1207, 1208, 1209, 1219, 1220, 1221, 1401, 1402, 1403, 1404, 1405,
                            1406, 1407, 1408, 1409, 1410, 1411, 1412, 1420, 1421, 1422, 1423, 1424, 1425,
                            1426, 1427, 1428, 1429, 1430, 1431, 1432, 1434, 1435, 1450, 1451, 1452, 1453,
                            1454, 1455, 1456, 1457, 1458, 1459, 1460, 1461, 1462, 1463, 1464, 1465, 1466,
                            1467, 1468, 1470, 1471, 1472, 1473, 1480, 2000, 2001};
        QCOMPARE(int(std::size(used)), 87);
        for (int id : used) {
            QVERIFY2(hasText(id), qPrintable(QString::number(id)));
            for (auto v :
                 {LanguageVersion::Neutral, LanguageVersion::EnglishUS, LanguageVersion::SpanishModern,
                  LanguageVersion::SpanishTraditional, LanguageVersion::French})
                QVERIFY(!LoadText(id, v).isEmpty());
        }
    }

    // The program's own texts speak every language and keep their place for the caption.
    void ownTextsInEveryVersion()
    {
        const QString english = LoadOwnText(OwnText::StartHint, LanguageVersion::Neutral);
        for (auto v : {LanguageVersion::Neutral, LanguageVersion::EnglishUS, LanguageVersion::SpanishModern,
                       LanguageVersion::SpanishTraditional, LanguageVersion::French}) {
            const QString text = LoadOwnText(OwnText::StartHint, v);
            QCOMPARE(text.count(QStringLiteral("%1")), 1);
            const bool englishVersion = v == LanguageVersion::Neutral || v == LanguageVersion::EnglishUS;
            QCOMPARE(text == english, englishVersion);
        }
        QVERIFY(
            LoadOwnText(OwnText::StartHint, LanguageVersion::French).startsWith(QStringLiteral("Commencez")));
        QVERIFY(LoadOwnText(OwnText::StartHint, LanguageVersion::SpanishModern)
                    .startsWith(QStringLiteral("Empiece")));
    }

    // The whole table the program uses, every text in every version, written out
    // by hand: a text changed or moved to another ID shows here.
    void everyUsedTextInEveryVersion()
    {
        struct Row
        {
            int id;
            const char *english;
            const char *spanish;
            const char *traditional; // nullptr where it is the modern-sort text
            const char *french;
        };
        // clang-format off
        const Row rows[] = {
            {1002, "Open", "Abrir...", nullptr, "Ouvri"},
            {1004, "Save", "Guardar", nullptr, "Sauver"},
            {1012, "Exit", "Salir", nullptr, "Sortir"},
            {1021, "Help", "Ayuda", nullptr, "Aide"},
            {1055, "Night ON", "ON noche", "ON Noche", "Nuit sur"},
            {1056, "24 hours ON", "24 horas ON", nullptr, "24 heures sur"},
            {1057, "Night attenuation", "Atenuación nocturna", nullptr, "Atténuation nuit"},
            {1058, "Function mode", "Modo funcionamiento", "Modo de funcionamiento", "Mode de fonctionnement"},
            {1059, "Recovery time after hibernation", "Tiempo de reactivación tras hibernación", nullptr, "Le temps de récupération après l'hibernation"},
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
            {1406, "Delay lamp photocell", "Tiempo fotocélula interior", nullptr, "Retard cellule photoélectrique de lampe"},
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
            {1425, "Pulses per revolution", "Pulsos por revolución", "Pulses per revolution", "Pulsations par révolution"},
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
            {2001, "This version of firmware is only ZAV software program v1.2.9", "Esta versión de firmware solo se programa con el software ZAV V1.2.9", nullptr, "Cette version de firmware est uniquement logiciel ZAV v1.2.9"},
        };
        // clang-format on
        QCOMPARE(int(std::size(rows)), 87);
        for (const Row &row : rows) {
            const QByteArray id = QByteArray::number(row.id);
            QVERIFY2(LoadText(row.id, LanguageVersion::Neutral) == QString::fromUtf8(row.english), id);
            QVERIFY2(LoadText(row.id, LanguageVersion::EnglishUS) == QString::fromUtf8(row.english), id);
            QVERIFY2(LoadText(row.id, LanguageVersion::SpanishModern) == QString::fromUtf8(row.spanish), id);
            QVERIFY2(LoadText(row.id, LanguageVersion::SpanishTraditional) ==
                         QString::fromUtf8(row.traditional ? row.traditional : row.spanish),
                     id);
            QVERIFY2(LoadText(row.id, LanguageVersion::French) == QString::fromUtf8(row.french), id);
        }
    }

    void unknownIdIsPlaceholder()
    {
        QTest::ignoreMessage(QtWarningMsg, "LoadText: no text with ID 1001");
        QCOMPARE(LoadText(1001, LanguageVersion::French), QStringLiteral("#1001"));
        QVERIFY(!hasText(999));
    }

    void localeMapping_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<LanguageVersion>("version");

        QTest::newRow("fr_FR") << "fr_FR.UTF-8" << LanguageVersion::French;
        QTest::newRow("fr_CA") << "fr_CA" << LanguageVersion::French;
        QTest::newRow("fr bare") << "fr" << LanguageVersion::French;
        QTest::newRow("es_ES") << "es_ES.UTF-8" << LanguageVersion::SpanishModern;
        QTest::newRow("es_MX") << "es_MX.UTF-8" << LanguageVersion::SpanishModern;
        QTest::newRow("es_ES@traditional")
            << "es_ES.UTF-8@traditional" << LanguageVersion::SpanishTraditional;
        QTest::newRow("es_AR@traditional") << "es_AR@traditional" << LanguageVersion::SpanishTraditional;
        QTest::newRow("es_ES@euro") << "es_ES@euro" << LanguageVersion::SpanishModern;
        QTest::newRow("en_US") << "en_US.UTF-8" << LanguageVersion::EnglishUS;
        QTest::newRow("en_GB") << "en_GB.UTF-8" << LanguageVersion::Neutral;
        QTest::newRow("de_DE") << "de_DE.UTF-8" << LanguageVersion::Neutral;
        QTest::newRow("C") << "C" << LanguageVersion::Neutral;
        QTest::newRow("C.UTF-8") << "C.UTF-8" << LanguageVersion::Neutral;
        QTest::newRow("POSIX") << "POSIX" << LanguageVersion::Neutral;
        QTest::newRow("empty") << "" << LanguageVersion::Neutral;
    }

    void localeMapping()
    {
        QFETCH(QString, locale);
        QFETCH(LanguageVersion, version);
        QCOMPARE(languageVersionFor(locale), version);
    }

    void environmentOrder()
    {
        qputenv("LC_ALL", "");
        qputenv("LC_MESSAGES", "fr_FR.UTF-8");
        qputenv("LANG", "es_ES.UTF-8");
        qputenv("LANGUAGE", "de");
        QCOMPARE(systemLanguageVersion(), LanguageVersion::French);
        qputenv("LC_ALL", "es_ES.UTF-8@traditional");
        QCOMPARE(systemLanguageVersion(), LanguageVersion::SpanishTraditional);
        qunsetenv("LC_ALL");
        qunsetenv("LC_MESSAGES");
        QCOMPARE(systemLanguageVersion(), LanguageVersion::SpanishModern);
        qunsetenv("LANG");
        QCOMPARE(systemLanguageVersion(), LanguageVersion::Neutral);
    }
};

QTEST_GUILESS_MAIN(StringTableTest)
#include "stringtable_test.moc"
