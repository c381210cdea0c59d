#include "desktop/porttrial.h"
#include "desktop/startupsettings.h"
#include "fields/memoryfields.h"
#include "link/clock.h"
#include "link/delay.h"
#include "link/serialport.h"
#include "support/pty.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kCombo = QStringLiteral("ComboCom");

// Why a failing trial failed, as its failure text tells it after the fixed text.
QString diagnosis(const QString &failureText, const QString &expectedStart)
{
    const QString why = failureText.section(QStringLiteral(" - "), 1);
    return why.startsWith(expectedStart) ? why : QString();
}

// Counts the opens the trial makes on the real port.
class CountingPort : public SerialPort
{
public:
    explicit CountingPort(std::unique_ptr<SerialPort> inner) : m_inner(std::move(inner)) {}
    bool setPortNumber(int number) override { return m_inner->setPortNumber(number); }
    int portNumber() const override { return m_inner->portNumber(); }
    bool open() override
    {
        const bool ok = m_inner->open();
        opens += ok ? 1 : 0;
        return ok;
    }
    void close() override { m_inner->close(); }
    bool isOpen() const override { return m_inner->isOpen(); }
    bool write(const QByteArray &bytes) override { return m_inner->write(bytes); }
    qint64 bytesAvailable() override { return m_inner->bytesAvailable(); }
    QByteArray readAll() override { return m_inner->readAll(); }
    bool waitForReadyRead(int ms) override { return m_inner->waitForReadyRead(ms); }
    bool lost() const override { return m_inner->lost(); }
    QString errorString() const override { return m_inner->errorString(); }
    QString openFailureText() const override { return m_inner->openFailureText(); }
    QString deviceName() const override { return m_inner->deviceName(); }

    int opens = 0;

private:
    std::unique_ptr<SerialPort> m_inner;
};

} // namespace

class PortTrialTest : public QObject
{
    Q_OBJECT

    struct Rig
    {
        QTemporaryDir dir;
        QString path;
        MemoryFields fields;
        CountingPort port{createSystemSerialPort()};
        ManualClock clock;
        Delay delay{clock};
        StartupSettings settings;
        PortTrial trial{fields, port, delay, settings, path};
        QList<qint64> statusTimes;

        explicit Rig(const QString &iniName = QStringLiteral("zav.ini")) : path(dir.filePath(iniName))
        {
            // Calibrated, so the 2000 ms pause shows on the virtual clock.
            delay.setDelayLoopCount(1);
            settings.Spare1 = -5;
            settings.Spare2 = 70000;
            settings.LanguageCode = QStringLiteral("34");
            QStringList entries;
            for (int i = 1; i <= 9; ++i)
                entries << QStringLiteral("Com%1:").arg(i);
            fields.setListEntries(kCombo, entries);
            fields.setClickHandler(kCombo, [this] { trial.ComboCom_Click(); });
            fields.onStatus = [this](const QString &) { statusTimes << clock.nowNs(); };
        }
        QByteArray file() const
        {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }
    };

    Pty m_pty;

private slots:
    void initTestCase()
    {
        QVERIFY(!m_pty.slave.isEmpty());
        qputenv("ZAV_COM1", m_pty.slave.toLocal8Bit());
        qputenv("ZAV_COM3", m_pty.slave.toLocal8Bit());
        qputenv("ZAV_COM4", "/nonexistent/ttyZAV4");
    }

    void freePortIsStored()
    {
        Rig rig;
        rig.fields.setListIndex(kCombo, 2);
        QCOMPARE(rig.port.opens, 1);
        QVERIFY(!rig.port.isOpen());
        QCOMPARE(rig.settings.PortNumber, qint16(3));
        QCOMPARE(rig.file(), QByteArray("3\r\n-5\r\n70000\r\n\"34\"\r\n0\r\n"));
        QCOMPARE(rig.fields.statusHistory, QStringList{QStringLiteral("Serial Port  3")});
    }

    void missingPortFallsBackToFirst()
    {
        Rig rig;
        rig.fields.setListIndex(kCombo, 3);
        // The fixed texts stay; the failure and the final text say why.
        const QString why = diagnosis(rig.fields.statusHistory.value(0),
                                      QStringLiteral("Com4: /nonexistent/ttyZAV4 is not connected"));
        QVERIFY2(!why.isEmpty(), qPrintable(rig.fields.statusHistory.value(0)));
        QCOMPARE(rig.fields.statusHistory,
                 (QStringList{QStringLiteral("Serial Port  4  Not Avalaible - ") + why,
                              QStringLiteral("Serial Port  1"), QStringLiteral("Serial Port  1 - ") + why}));
        // The fall-back waits two seconds after showing the failure.
        QCOMPARE(rig.statusTimes.at(1) - rig.statusTimes.at(0), qint64(2'000'000'000));
        QCOMPARE(rig.fields.listIndex(kCombo), 0);
        QCOMPARE(rig.settings.PortNumber, qint16(1));
        QCOMPARE(rig.port.portNumber(), 1);
        QCOMPARE(rig.file(), QByteArray("1\r\n-5\r\n70000\r\n\"34\"\r\n0\r\n"));
    }

    // An assigned adapter that is not plugged in: the session falls back to "Com1:"
    // as for any missing port, but zav.ini (and the copy other writers store) keeps
    // the assigned number, by pick or by typing; a later pick that works is stored.
    void assignedMissingPortStaysInTheFile_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::newRow("picked") << false;
        QTest::newRow("typed") << true;
    }

    void assignedMissingPortStaysInTheFile()
    {
        QFETCH(bool, typed);
        Rig rig;
        rig.trial.hasAssignment = [](int number) { return number == 4; };
        if (typed) {
            rig.fields.setClickHandler(kCombo, {});
            rig.fields.setListIndex(kCombo, 3);
            rig.fields.setClickHandler(kCombo, [&rig] { rig.trial.ComboCom_Click(); });
            rig.trial.ComboCom_Change();
        } else {
            rig.fields.setListIndex(kCombo, 3);
        }
        QVERIFY(rig.fields.statusHistory.value(0).startsWith(QLatin1String("Serial Port  4  Not Avalaible")));
        QVERIFY(rig.fields.statusHistory.contains(QStringLiteral("Serial Port  1")));
        QCOMPARE(rig.fields.listIndex(kCombo), 0);
        QCOMPARE(rig.port.portNumber(), 1);
        QCOMPARE(rig.trial.keptPort(), 4);
        QCOMPARE(rig.settings.PortNumber, qint16(4));
        QCOMPARE(rig.file(), QByteArray("4\r\n-5\r\n70000\r\n\"34\"\r\n0\r\n"));

        rig.fields.setListIndex(kCombo, 2);
        QCOMPARE(rig.trial.keptPort(), 0);
        QCOMPARE(rig.file().left(3), QByteArray("3\r\n"));
    }

    void firstPortMissingStopsThere()
    {
        qputenv("ZAV_COM1", "/nonexistent/ttyZAV1");
        Rig rig;
        rig.fields.setListIndex(kCombo, 3);
        qputenv("ZAV_COM1", m_pty.slave.toLocal8Bit());
        const QString why4 = diagnosis(rig.fields.statusHistory.value(0),
                                       QStringLiteral("Com4: /nonexistent/ttyZAV4 is not connected"));
        const QString why1 = diagnosis(rig.fields.statusHistory.value(1),
                                       QStringLiteral("Com1: /nonexistent/ttyZAV1 is not connected"));
        QVERIFY(!why4.isEmpty() && !why1.isEmpty());
        // The final text names the port that failed last: the one now chosen.
        QCOMPARE(rig.fields.statusHistory,
                 (QStringList{QStringLiteral("Serial Port  4  Not Avalaible - ") + why4,
                              QStringLiteral("Serial Port  1  Not Avalaible - ") + why1,
                              QStringLiteral("Serial Port  1"), QStringLiteral("Serial Port  1 - ") + why1}));
        QCOMPARE(rig.settings.PortNumber, qint16(1));
        QCOMPARE(rig.file().left(3), QByteArray("1\r\n"));
    }

    void outOfListNumbersAreRefused_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("failure");
        QTest::newRow("typed text, no choice") << -1 << "Serial Port  0  Not Avalaible";
        QTest::newRow("port 10") << 9 << "Serial Port  10  Not Avalaible";
    }

    void outOfListNumbersAreRefused()
    {
        QFETCH(int, index);
        Rig rig;
        rig.fields.setListEntries(kCombo, rig.fields.listEntries(kCombo) << QStringLiteral("Com10:"));
        rig.fields.setListIndex(kCombo, index);
        QTEST(rig.fields.statusHistory.value(0), "failure");
        QCOMPARE(rig.fields.statusHistory.last(), QStringLiteral("Serial Port  1"));
        QCOMPARE(rig.fields.listIndex(kCombo), 0);
        QCOMPARE(rig.file().left(3), QByteArray("1\r\n"));
    }

    void changeTriesWithoutWriting()
    {
        Rig rig;
        rig.fields.setClickHandler(kCombo, {});
        rig.fields.setListIndex(kCombo, 2);
        rig.fields.setClickHandler(kCombo, [&rig] { rig.trial.ComboCom_Click(); });
        rig.trial.ComboCom_Change();
        QCOMPARE(rig.port.opens, 1);
        QVERIFY(rig.fields.statusHistory.isEmpty());
        QVERIFY(!QFile::exists(rig.path));
    }

    void changeToMissingPortStoresFirst()
    {
        Rig rig;
        rig.fields.setClickHandler(kCombo, {});
        rig.fields.setListIndex(kCombo, 3);
        rig.fields.setClickHandler(kCombo, [&rig] { rig.trial.ComboCom_Click(); });
        rig.trial.ComboCom_Change();
        const QString why = diagnosis(rig.fields.statusHistory.value(0),
                                      QStringLiteral("Com4: /nonexistent/ttyZAV4 is not connected"));
        QVERIFY(!why.isEmpty());
        QCOMPARE(rig.fields.statusHistory,
                 (QStringList{QStringLiteral("Serial Port  4  Not Avalaible - ") + why,
                              QStringLiteral("Serial Port  1"), QStringLiteral("Serial Port  1 - ") + why}));
        QCOMPARE(rig.file().left(3), QByteArray("1\r\n"));
    }

    void unwritableFileFallsBackAndSaysSo()
    {
        Rig rig(QStringLiteral("missing-dir/zav.ini"));
        rig.fields.setListIndex(kCombo, 2);
        QCOMPARE(rig.fields.statusHistory.first(), QStringLiteral("Serial Port  3  Not Avalaible"));
        QVERIFY(rig.fields.statusHistory.last().startsWith(QLatin1String("zav.ini not saved: ")));
        QVERIFY(rig.fields.statusHistory.contains(QStringLiteral("Serial Port  1")));
        QCOMPARE(rig.settings.PortNumber, qint16(1));
    }

    void busyPortIsLeftAlone()
    {
        Rig rig;
        rig.settings.PortNumber = 3;
        rig.trial.isBusy = [] { return true; };
        rig.fields.setListIndex(kCombo, 3);
        QCOMPARE(rig.fields.statusHistory, QStringList{PortTrial::busyText()});
        QCOMPARE(rig.port.opens, 0);
        QCOMPARE(rig.settings.PortNumber, qint16(3));
        QVERIFY(!QFile::exists(rig.path));
    }
};

QTEST_GUILESS_MAIN(PortTrialTest)
#include "porttrial_test.moc"
