#include "desktop/languagechoice.h"
#include "desktop/startupsettings.h"
#include "fields/memoryfields.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("spare1");
        QTest::addColumn<int>("spare2");
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("factory");
        QTest::addColumn<bool>("problem");

        QTest::newRow("five lines") << QByteArray("3\r\n0\r\n0\r\n\"34\"\r\n0\r\n") << 3 << 0 << 0 << "34"
                                    << 0 << false;
        QTest::newRow("one line commas")
            << QByteArray("1,0,0,\"1\",0\r\n") << 1 << 0 << 0 << "1" << 0 << false;
        QTest::newRow("one line no end")
            << QByteArray("3,-5,70000,\"34\",731") << 3 << -5 << 70000 << "34" << 731 << false;
        QTest::newRow("lf only") << QByteArray("9\n1\n2\n\"34\"\n731\n") << 9 << 1 << 2 << "34" << 731
                                 << false;
        QTest::newRow("unquoted string")
            << QByteArray("2\r\n0\r\n0\r\n34\r\n0\r\n") << 2 << 0 << 0 << "34" << 0 << false;
        QTest::newRow("unquoted trailing blanks")
            << QByteArray("2,0,0,  1  ,0") << 2 << 0 << 0 << "1" << 0 << false;
        QTest::newRow("quoted keeps comma")
            << QByteArray("2,0,0,\"3,4\",5") << 2 << 0 << 0 << "3,4" << 5 << false;
        QTest::newRow("empty string") << QByteArray("2,0,0,\"\",5") << 2 << 0 << 0 << "" << 5 << false;
        QTest::newRow("spaces before values")
            << QByteArray("  4,\t 7,  -8,   \"34\",   731\r\n") << 4 << 7 << -8 << "34" << 731 << false;
        QTest::newRow("non numbers read 0")
            << QByteArray("abc,x,,\"1\",y\r\n") << 0 << 0 << 0 << "1" << 0 << false;
        QTest::newRow("decimal rounds half even")
            << QByteArray("2.5,3.5,-2.5,\"1\",0") << 2 << 4 << -2 << "1" << 0 << false;
        QTest::newRow("extra content ignored")
            << QByteArray("5,1,2,\"34\",731,99,100\r\ngarbage\r\n") << 5 << 1 << 2 << "34" << 731 << false;
        QTest::newRow("sixth line ignored")
            << QByteArray("5\r\n1\r\n2\r\n\"1\"\r\n3\r\n77\r\n") << 5 << 1 << 2 << "1" << 3 << false;
        QTest::newRow("latin1 string") << QByteArray("1,0,0,\"Espa\xf1ol\",0") << 1 << 0 << 0
                                       << QString::fromUtf8("Español") << 0 << false;
        QTest::newRow("fewer values") << QByteArray("3\r\n-1\r\n") << 3 << -1 << 0 << "1" << 0 << true;
        QTest::newRow("empty file") << QByteArray() << 1 << 0 << 0 << "1" << 0 << true;
        QTest::newRow("port out of range")
            << QByteArray("40000,0,0,\"34\",0") << 1 << 0 << 0 << "34" << 0 << true;
        QTest::newRow("spare out of range")
            << QByteArray("3,9999999999,0,\"34\",0") << 3 << 0 << 0 << "34" << 0 << true;
        QTest::newRow("factory out of range")
            << QByteArray("3,0,0,\"34\",-32769") << 3 << 0 << 0 << "34" << 0 << true;
        QTest::newRow("limits fit") << QByteArray("-32768,2147483647,-2147483648,\"1\",32767") << -32768
                                    << 2147483647 << int(-2147483648LL) << "1" << 32767 << false;
    }

    void read()
    {
        QFETCH(QByteArray, content);
        const SettingsRead r = parseSettings(content);
        QTEST(int(r.settings.PortNumber), "port");
        QTEST(int(r.settings.Spare1), "spare1");
        QTEST(int(r.settings.Spare2), "spare2");
        QTEST(r.settings.LanguageCode, "language");
        QTEST(int(r.settings.FactoryCode), "factory");
        QTEST(!r.problem.isEmpty(), "problem");
    }

    void problemNamesTheValue()
    {
        const SettingsRead r = parseSettings("40000,0,0,\"34\",0");
        QVERIFY2(r.problem.contains(QLatin1String("PortNumber")), qPrintable(r.problem));
        QVERIFY2(r.problem.contains(QLatin1String("40000")), qPrintable(r.problem));
    }

    void writeForm()
    {
        StartupSettings s;
        s.PortNumber = 3;
        s.Spare1 = -5;
        s.Spare2 = 70000;
        s.LanguageCode = QStringLiteral("34");
        s.FactoryCode = 731;
        QCOMPARE(formatSettings(s), QByteArray("3\r\n-5\r\n70000\r\n\"34\"\r\n731\r\n"));
        QCOMPARE(formatSettings(StartupSettings()), QByteArray("1\r\n0\r\n0\r\n\"1\"\r\n0\r\n"));
    }

    // A rewrite keeps every value as it reads: each kind at its limits, every string a
    // file can hold, and those no form can hold refused with the old file kept.
    void rewriteKeepsEveryValue_data()
    {
        QTest::addColumn<QByteArray>("readFrom"); // when set, the values come from this file
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("spare1");
        QTest::addColumn<int>("spare2");
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("factory");
        QTest::addColumn<QByteArray>("written"); // empty: refused

        const int min32 = std::numeric_limits<qint32>::min();
        const int max32 = std::numeric_limits<qint32>::max();
        QTest::newRow("defaults") << QByteArray() << 1 << 0 << 0 << "1" << 0
                                  << QByteArray("1\r\n0\r\n0\r\n\"1\"\r\n0\r\n");
        QTest::newRow("lowest numbers")
            << QByteArray() << -32768 << min32 << min32 << "34" << -32768
            << QByteArray("-32768\r\n-2147483648\r\n-2147483648\r\n\"34\"\r\n-32768\r\n");
        QTest::newRow("highest numbers")
            << QByteArray() << 32767 << max32 << max32 << "" << 32767
            << QByteArray("32767\r\n2147483647\r\n2147483647\r\n\"\"\r\n32767\r\n");
        QTest::newRow("latin1 string")
            << QByteArray() << 9 << -2147483647 << 65536 << QString::fromUtf8("Español") << -1
            << QByteArray("9\r\n-2147483647\r\n65536\r\n\"Espa\xf1ol\"\r\n-1\r\n");
        QTest::newRow("comma and blanks kept by the quotes")
            << QByteArray("2,0,0,\" 3,4 \",5") << 2 << 0 << 0 << " 3,4 " << 5
            << QByteArray("2\r\n0\r\n0\r\n\" 3,4 \"\r\n5\r\n");
        QTest::newRow("unquoted with a quote inside") << QByteArray("1,0,0,a\"b,0") << 1 << 0 << 0 << "a\"b"
                                                      << 0 << QByteArray("1\r\n0\r\n0\r\na\"b\r\n0\r\n");
        QTest::newRow("unquoted ending in quotes")
            << QByteArray("1,0,0,3 4\"\" \r\n7") << 1 << 0 << 0 << "3 4\"\"" << 7
            << QByteArray("1\r\n0\r\n0\r\n3 4\"\"\r\n7\r\n");
        QTest::newRow("quote and comma") << QByteArray() << 1 << 0 << 0 << "a\",b" << 0 << QByteArray();
        QTest::newRow("quote first") << QByteArray() << 1 << 0 << 0 << "\"ab" << 0 << QByteArray();
        QTest::newRow("quote and trailing blank")
            << QByteArray() << 1 << 0 << 0 << "a\"b " << 0 << QByteArray();
        QTest::newRow("line end") << QByteArray() << 1 << 0 << 0 << "3\r\n4" << 0 << QByteArray();
        QTest::newRow("outside latin1")
            << QByteArray() << 1 << 0 << 0 << QString::fromUtf8("Ελ") << 0 << QByteArray();
    }

    void rewriteKeepsEveryValue()
    {
        QFETCH(QByteArray, readFrom);
        QFETCH(QByteArray, written);
        StartupSettings s;
        QFETCH(int, port);
        QFETCH(int, spare1);
        QFETCH(int, spare2);
        QFETCH(QString, language);
        QFETCH(int, factory);
        s.PortNumber = qint16(port);
        s.Spare1 = spare1;
        s.Spare2 = spare2;
        s.LanguageCode = language;
        s.FactoryCode = qint16(factory);
        if (!readFrom.isEmpty()) {
            const SettingsRead technician = parseSettings(readFrom);
            QVERIFY2(technician.problem.isEmpty(), qPrintable(technician.problem));
            QVERIFY(technician.settings == s);
        }

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zav.ini"));
        const QByteArray before = "4\r\n0\r\n0\r\n\"34\"\r\n0\r\n";
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(before);
        }
        QString error;
        const bool saved = writeSettingsFile(path, s, &error);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        if (written.isEmpty()) {
            QVERIFY(!saved);
            QVERIFY2(error.contains(QLatin1String("LanguageCode")), qPrintable(error));
            QCOMPARE(f.readAll(), before);
            return;
        }
        QVERIFY2(saved, qPrintable(error));
        QCOMPARE(f.readAll(), written);
        const SettingsRead r = readSettingsFile(path);
        QVERIFY2(r.problem.isEmpty(), qPrintable(r.problem));
        QCOMPARE(r.settings.PortNumber, s.PortNumber);
        QCOMPARE(r.settings.Spare1, s.Spare1);
        QCOMPARE(r.settings.Spare2, s.Spare2);
        QCOMPARE(r.settings.LanguageCode, s.LanguageCode);
        QCOMPARE(r.settings.FactoryCode, s.FactoryCode);
    }

    void missingFile()
    {
        QTemporaryDir dir;
        const SettingsRead r = readSettingsFile(dir.filePath(QStringLiteral("zav.ini")));
        QVERIFY(r.problem.contains(QLatin1String("not found")));
        QCOMPARE(r.settings.PortNumber, qint16(1));
        QCOMPARE(r.settings.LanguageCode, QStringLiteral("1"));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("zav.ini"))));
    }

    void unwritablePlaceFails()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath(QStringLiteral("notadir")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QString error;
        QVERIFY(
            !writeSettingsFile(dir.filePath(QStringLiteral("notadir/zav.ini")), StartupSettings(), &error));
        QVERIFY(!error.isEmpty());
    }

    void unwritableKeepsOldContent()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zav.ini"));
        QVERIFY(writeSettingsFile(path, StartupSettings(), nullptr));
        QFile::setPermissions(path, QFileDevice::ReadOwner);
        StartupSettings s;
        s.PortNumber = 4;
        QString error;
        if (writeSettingsFile(path, s, &error))
            QSKIP("running with rights that ignore file permissions");
        QVERIFY(!error.isEmpty());
        QCOMPARE(readSettingsFile(path).settings.PortNumber, qint16(1));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    // zav.ini is read whole up to 1 MiB whatever blanks precede its values; what lies
    // beyond, or is no file at all, is reported and never blocks or is half read.
    void oddSettingsFiles_data()
    {
        QTest::addColumn<QString>("kind"); // "bytes", "fifo", "folder"
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("problem"); // empty: none

        constexpr int kMiB = 1024 * 1024;
        const QByteArray values = "3,0,0,\"34\",0";
        QTest::newRow("200 KiB of blanks first")
            << "bytes" << QByteArray(200 * 1024, ' ') + values << 3 << "";
        QByteArray spread;
        for (const char *value : {"4", "0", "0", "\"34\"", "0"})
            spread += QByteArray(150 * 1024, ' ') + value + "\r\n";
        QTest::newRow("150 KiB of blanks before each value") << "bytes" << spread << 4 << "";
        QTest::newRow("values past 1 MiB")
            << "bytes" << QByteArray(kMiB, ' ') + values << 1 << "0 of 5 values";
        QTest::newRow("a value cut at 1 MiB")
            << "bytes" << QByteArray(kMiB - 2, ' ') + "12345,0,0,\"1\",0" << 1 << "0 of 5 values";
        QTest::newRow("escape sequence in a value")
            << "bytes" << QByteArray("99999\x1b[2J,0,0,\"1\",0") << 1 << "99999\\x1B[2J";
        QTest::newRow("a FIFO") << "fifo" << QByteArray() << 1 << "not a regular file";
        QTest::newRow("a folder") << "folder" << QByteArray() << 1 << "folder";
    }

    void oddSettingsFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(int, port);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zav.ini"));
        if (kind == QLatin1String("bytes")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("zav.ini")));
        } else {
#ifdef Q_OS_UNIX
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
#else
            QSKIP("no FIFOs here");
#endif
        }
        QElapsedTimer timer;
        timer.start();
        const SettingsRead r = readSettingsFile(path);
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(int(r.settings.PortNumber), port);
        if (problem.isEmpty()) {
            QVERIFY2(r.problem.isEmpty(), qPrintable(r.problem));
            QCOMPARE(r.settings.LanguageCode, QStringLiteral("34"));
            return;
        }
        QVERIFY2(r.problem.contains(problem), qPrintable(r.problem));
        for (QChar c : r.problem)
            QVERIFY2(c.unicode() >= 0x20, qPrintable(r.problem));
    }

    // An installed tool's users each get a writable zav.ini of their own, made once:
    // the values of the one beside the executable (even a read-only one), else the defaults.
    void perUserCopy_data()
    {
        QTest::addColumn<QByteArray>("seed");
        QTest::newRow("seeded from the file beside the executable")
            << QByteArray("3\r\n0\r\n0\r\n\"34\"\r\n731\r\n");
        QTest::newRow("no file beside the executable") << QByteArray();
    }

    void perUserCopy()
    {
        QFETCH(QByteArray, seed);
        QTemporaryDir dir;
        const QString seedPath = dir.filePath(QStringLiteral("zav.ini"));
        if (!seed.isEmpty()) {
            QFile file(seedPath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(seed);
            file.close();
            QFile::setPermissions(seedPath, QFileDevice::ReadOwner | QFileDevice::ReadOther);
        }
        // The user's configuration folder on Linux, and on Windows.
        const QByteArray savedHome = qgetenv("XDG_CONFIG_HOME");
        const QByteArray savedAppData = qgetenv("APPDATA");
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("APPDATA", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        const QString path = perUserSettingsFile(seedPath);
        QCOMPARE(path, dir.filePath(QStringLiteral("config/ZAV/zav.ini")));
        QFile made(path);
        QVERIFY(made.open(QIODevice::ReadOnly));
        QCOMPARE(made.readAll(), seed.isEmpty() ? formatSettings(StartupSettings()) : seed);
        made.close();
        QVERIFY(made.permissions() & QFileDevice::WriteOwner);

        // The user's own settings stay his from then on.
        StartupSettings mine;
        mine.PortNumber = 5;
        QVERIFY(writeSettingsFile(path, mine, nullptr));
        QCOMPARE(perUserSettingsFile(seedPath), path);
        QCOMPARE(readSettingsFile(path).settings.PortNumber, qint16(5));
        if (savedHome.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", savedHome);
        if (savedAppData.isEmpty())
            qunsetenv("APPDATA");
        else
            qputenv("APPDATA", savedAppData);
    }

    void languageList_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("after");
        QTest::newRow("English") << "34" << 0 << "1";
        QTest::newRow("Español") << "1" << 1 << "34";
        QTest::newRow("no choice") << "33" << -1 << "33";
    }

    void languageList()
    {
        QFETCH(QString, before);
        QFETCH(int, index);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zav.ini"));
        MemoryFields fields;
        StartupSettings s;
        s.LanguageCode = before;
        s.Spare2 = 70000;
        LanguageChoice choice(fields, s, path);
        fields.setListEntries(QStringLiteral("ComboIdioma"),
                              {QStringLiteral("English"), QString::fromUtf8("Español")});
        fields.setClickHandler(QStringLiteral("ComboIdioma"), [&] { choice.ComboIdioma_Click(); });
        fields.setListIndex(QStringLiteral("ComboIdioma"), index);
        QTEST(s.LanguageCode, "after");
        const SettingsRead r = readSettingsFile(path);
        QVERIFY(r.problem.isEmpty());
        QTEST(r.settings.LanguageCode, "after");
        QCOMPARE(r.settings.Spare2, 70000);
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "settings_test.moc"
