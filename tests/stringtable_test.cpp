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
