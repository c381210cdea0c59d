// End-to-end checks of the serial path (Qt serial port, steady clock, link)
// against zav-sim on a pseudo-terminal: direct commands, status
// interrogation, one transaction at a time, a line that hangs up, a port that
// cannot be opened.

#include "device/directcommands.h"
#include "link/trafficevent.h"
#include "support/e2erig.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// The indicator rows of the remote-control page; row 5 has two pairs.
struct Indicator
{
    const char *row;
    const char *active;
    const char *inactive;
};

const Indicator kIndicators[] = {
    {"1", "LedOn", "LedOff"},
    {"2", "LedMotorOn", "LedMotorOff"},
    {"3", "LedRojoAlarmaMotor", "LedAlarmaMotorVerde"},
    {"4", "LedAzulLampara1", "LedLampara1Apagado"},
    {"5", "LedazulLampara2", "LedLampara2Apagado"},
    {"5alarm", "LedRojoPrealarmaLampara", "LedPrealarmaLamparaApagado"},
    {"6", "LedAzulCambiador", "LedCambiadorApagado"},
    {"7", "LedRojoFalloRed", "LedFalloRedVerde"},
    {"8", "LedVerdeLampara1On", "LedLampara1OnApagado"},
    {"9", "LedRojoAlarmaLampara1", "LedAlarmaLamparaVerde"},
    {"10", "LedRojoFalloFoco", "LedFalloFocoVerde"},
};

struct PictureState
{
    bool active;
    bool inactive;
    bool operator==(const PictureState &) const = default;
};

QHash<QString, PictureState> indicatorStates(const MemoryFields &fields)
{
    QHash<QString, PictureState> states;
    for (const Indicator &i : kIndicators)
        states.insert(QLatin1String(i.row), {fields.isVisible(QLatin1String(i.active)),
                                             fields.isVisible(QLatin1String(i.inactive))});
    return states;
}

// "1+ 3- 10+": row 1 and 10 lit, row 3 dark.
QHash<QString, bool> parseRows(const QString &text)
{
    QHash<QString, bool> rows;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        rows.insert(word.chopped(1), word.endsWith(QLatin1Char('+')));
    return rows;
}

} // namespace

class E2eLinkTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void directCommand_data();
    void directCommand();

    void statusFlags_data();
    void statusFlags();
    void liveValues_data();
    void liveValues();
    void pollingTick();

    void clicksDuringAWaitPutNothingOnTheLine();
    void pollingWithRapidClicksNeverInterleaves();
    void hangUpDuringRead();
    void hangUpDuringOtherOperations_data();
    void hangUpDuringOtherOperations();
    void portThatCannotBeOpened_data();
    void portThatCannotBeOpened();
};

void E2eLinkTest::directCommand_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<QString>("success");

    const struct
    {
        const char *button;
        const char *wire;
        const char *success;
    } rows[] = {
        {"CDia", "4A 51 00 00 06 01 01 F9", " ZAV is in day mode"},
        {"CNoche", "4A 51 00 00 06 01 02 FA", " ZAV is in night mode"},
        {"CNormal", "4A 51 00 00 06 01 00 F8", " ZAV normal mode"},
        {"CCambioLamparaOn", "4A 51 00 00 06 00 01 F8", " ZAV changer On"},
        {"CCambioLamparaOff", "4A 51 00 00 06 00 00 F9", " ZAV changer Off"},
        {"CFalloRedOn", "4A 51 00 00 06 02 01 FA", " ZAV sector fail On OK"},
        {"CFalloRedOff", "4A 51 00 00 06 02 00 FB", " ZAV sector fail Off OK"},
        {"btnTelemandoMotor1", "4A 51 00 00 06 03 00 FA", " ZAV Motor 1 OK"},
        {"btnTelamandoMotor2", "4A 51 00 00 06 03 01 FB", " ZAV Motor 2 OK"},
    };
    QCOMPARE(int(directCommands().size()), int(std::size(rows)));
    for (const auto &row : rows) {
        const int which = directCommandIndex(row.button);
        QTest::newRow(row.button) << which << QByteArray::fromHex(QByteArray(row.wire).replace(' ', ""))
                                  << QString::fromLatin1(row.success);
    }
}

void E2eLinkTest::directCommand()
{
    QFETCH(int, which);
    QFETCH(QByteArray, wire);
    QFETCH(QString, success);
    QVERIFY(which >= 0);

    E2eRig rig;
    QVERIFY2(rig.start(QStringLiteral("full")), qPrintable(rig.sim.errorText()));
    const int mark = rig.logMark();
    rig.ops.directCommand(which);

    QCOMPARE(rig.requestsSince(mark), QList<QByteArray>{wire});
    QCOMPARE(rig.fields.statusLine(), success);
    QVERIFY(!rig.port->isOpen());
    QVERIFY(!rig.link.busy());
    // The simulator stored the setting of that function.
    const QString stored = QStringLiteral("direct %1 %2").arg(quint8(wire[5])).arg(quint8(wire[6]));
    QVERIFY2(rig.sim.command(QStringLiteral("dump")).split(QLatin1Char('\n')).contains(stored),
             qPrintable(stored));
}

void E2eLinkTest::statusFlags_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("general");
    QTest::addColumn<int>("lamp");
    // The rows the interrogation sets: "+" lit, "-" dark; every other row keeps its pictures.
    QTest::addColumn<QString>("rows");

    QTest::newRow("entry 1, 0x03 and 0x91") << 1 << 0x03 << 0x91 << "1+ 2+ 3- 4+ 5- 6- 7+ 8- 9- 10+";
    QTest::newRow("entry 0, lamp 0x20") << 0 << 0x00 << 0x20 << "1- 2- 3- 5alarm- 8+ 9-";
    QTest::newRow("entry 1, lamp 0x80") << 1 << 0x04 << 0x80 << "1- 2- 3+ 4- 5- 6- 7- 8- 9- 10+";
    QTest::newRow("entry 1, lamp 0xC0") << 1 << 0x00 << 0xC0 << "1- 2- 3- 4- 5- 6- 7- 8- 9+ 10+";
    QTest::newRow("entry 2, lamp 0xFF") << 2 << 0x07 << 0xFF << "1+ 2+ 3+ 4+ 6+ 8+ 10+";
    QTest::newRow("entry 2, lamp 0x00") << 2 << 0x01 << 0x00 << "1+ 2- 3- 4- 6- 8- 10-";
    QTest::newRow("entry 3, lamp 0xBF") << 3 << 0x02 << 0xBF << "1- 2+ 3- 9-";
    QTest::newRow("entry 3, lamp 0x40") << 3 << 0x00 << 0x40 << "1- 2- 3- 9+";
}

void E2eLinkTest::statusFlags()
{
    QFETCH(int, entry);
    QFETCH(int, general);
    QFETCH(int, lamp);
    QFETCH(QString, rows);

    E2eRig rig;
    QVERIFY(rig.start(QStringLiteral("full"), {QStringLiteral("--no-line-rate")}));
    QVERIFY(rig.simCommand(QStringLiteral("set status 0 %1").arg(general)));
    QVERIFY(rig.simCommand(QStringLiteral("set status 1 %1").arg(lamp)));
    rig.fields.setListIndex(QStringLiteral("ComboTipoCambiador"), entry);
    rig.fields.setVisible(QStringLiteral("TPWMLed"), false);
    rig.fields.setValue(QStringLiteral("chkEstado"), 1);
    const QHash<QString, PictureState> before = indicatorStates(rig.fields);

    const int mark = rig.logMark();
    rig.ops.CInterrogar_Click();

    QCOMPARE(rig.requestsSince(mark), (QList<QByteArray>{E2eRig::frame(5, 0), E2eRig::frame(5, 1)}));
    QCOMPARE(rig.fields.statusLine(), QStringLiteral("End check"));
    QVERIFY(rig.buttonsEnabled());
    const QHash<QString, bool> expected = parseRows(rows);
    const QHash<QString, PictureState> after = indicatorStates(rig.fields);
    for (const Indicator &i : kIndicators) {
        const QString row = QLatin1String(i.row);
        const PictureState want =
            expected.contains(row) ? PictureState{expected[row], !expected[row]} : before[row];
        QVERIFY2(after[row] == want, qPrintable(QStringLiteral("row ") + row));
    }
    QCOMPARE(rig.fields.isVisible(QStringLiteral("TPWMLed")), entry == 3);
}

void E2eLinkTest::liveValues_data()
{
    QTest::addColumn<QString>("checkBox");
    QTest::addColumn<int>("highQuery");
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("low");
    QTest::addColumn<QString>("textBox");
    QTest::addColumn<QString>("shown");

    QTest::newRow("speed 12345") << "chkVelocidadActual" << 4 << 0x30 << 0x39 << "TVelocidadActual"
                                 << "123.45";
    QTest::newRow("speed 65535") << "chkVelocidadActual" << 4 << 0xFF << 0xFF << "TVelocidadActual"
                                 << "655.35";
    QTest::newRow("current 1234") << "chkCorrienteActual" << 2 << 4 << 210 << "TCorrienteActual"
                                  << "12.34";
    QTest::newRow("LED current 0") << "chkCorrienteLeds" << 6 << 0 << 0 << "txtCorrienteLeds"
                                   << "0.00";
}

void E2eLinkTest::liveValues()
{
    QFETCH(QString, checkBox);
    QFETCH(int, highQuery);
    QFETCH(int, high);
    QFETCH(int, low);
    QFETCH(QString, textBox);
    QFETCH(QString, shown);

    E2eRig rig;
    QVERIFY(rig.start(QStringLiteral("full"), {QStringLiteral("--no-line-rate")}));
    QVERIFY(rig.simCommand(QStringLiteral("set status %1 %2").arg(highQuery).arg(high)));
    QVERIFY(rig.simCommand(QStringLiteral("set status %1 %2").arg(highQuery + 1).arg(low)));
    rig.fields.setValue(checkBox, 1);
    rig.fields.setText(textBox, QStringLiteral("x"));

    const int mark = rig.logMark();
    rig.ops.CInterrogar_Click();

    QCOMPARE(rig.requestsSince(mark), (QList<QByteArray>{E2eRig::frame(5, quint8(highQuery)),
                                                         E2eRig::frame(5, quint8(highQuery + 1))}));
    QCOMPARE(rig.fields.text(textBox), shown);
    QCOMPARE(rig.fields.statusLine(), QStringLiteral("End check"));
}

void E2eLinkTest::pollingTick()
{
    E2eRig rig;
    QVERIFY(rig.start(QStringLiteral("cx2")));
    rig.fields.setValue(QStringLiteral("chkEstado"), 1);
    rig.fields.setValue(QStringLiteral("chkVelocidadActual"), 1);
    QSet<bool> timerLedDuring;
    rig.link.processEvents = [&] {
        timerLedDuring.insert(rig.fields.isVisible(QStringLiteral("LedTimerON")));
    };

    const int mark = rig.logMark();
    rig.ops.TimerEstado_Timer();

    QCOMPARE(rig.requestsSince(mark), (QList<QByteArray>{E2eRig::frame(5, 0), E2eRig::frame(5, 1),
                                                         E2eRig::frame(5, 4), E2eRig::frame(5, 5)}));
    QCOMPARE(timerLedDuring, QSet<bool>{true});
    QVERIFY(!rig.fields.isVisible(QStringLiteral("LedTimerON")));
    QVERIFY(rig.fields.isVisible(QStringLiteral("LedTimerOff")));
    // The CX2 profile answers 0x01 and 0x31.
    QVERIFY(rig.fields.isVisible(QStringLiteral("LedOn")));
    QCOMPARE(rig.fields.text(QStringLiteral("TVelocidadActual")), QStringLiteral("0.00"));
    QCOMPARE(rig.fields.statusLine(), QStringLiteral("End check"));
}

void E2eLinkTest::clicksDuringAWaitPutNothingOnTheLine()
{
    E2eRig rig;
    QVERIFY(rig.start(QStringLiteral("full"), {QStringLiteral("--no-line-rate")}));
    QVERIFY(rig.simCommand(QStringLiteral("fault late 60")));
    rig.fields.setValue(QStringLiteral("chkEstado"), 1);
    rig.fields.setValue(QStringLiteral("chkVelocidadActual"), 1);

    // Clicks that arrive while the first query waits for its late answer: the
    // first events the wait lets run.
    QStringList refusedWith;
    QString afterTick = QStringLiteral("(no tick)");
    QTimer::singleShot(0, [&] {
        rig.ops.directCommand(directCommandIndex("CDia"));
        refusedWith << rig.fields.statusLine();
        rig.fields.setStatusLine(QString());
        // A polling tick during an operation is dropped without a word.
        rig.ops.TimerEstado_Timer();
        afterTick = rig.fields.statusLine();
        rig.ops.CLeer_Click();
        refusedWith << rig.fields.statusLine();
        rig.fields.setStatusLine(QString());
        rig.ops.CEscribir_Click();
        refusedWith << rig.fields.statusLine();
        rig.colours.CLeerColores_Click();
        refusedWith << rig.fields.statusLine();
    });

    const int mark = rig.logMark();
    rig.ops.CInterrogar_Click();

    QCOMPARE(refusedWith, QStringList(4, DeviceOperations::busyText()));
    QCOMPARE(afterTick, QString());
    QCOMPARE(rig.requestsSince(mark), (QList<QByteArray>{E2eRig::frame(5, 0), E2eRig::frame(5, 1),
                                                         E2eRig::frame(5, 4), E2eRig::frame(5, 5)}));
    QString why;
    QVERIFY2(rig.noInterleaving(mark, &why), qPrintable(why));
    QCOMPARE(rig.fields.statusLine(), QStringLiteral("End check"));
    QVERIFY(rig.buttonsEnabled());
    QVERIFY(!rig.link.busy());

    // Free again: the next click goes through.
    rig.ops.directCommand(directCommandIndex("CDia"));
    QCOMPARE(rig.fields.statusLine(), QStringLiteral(" ZAV is in day mode"));
}

void E2eLinkTest::pollingWithRapidClicksNeverInterleaves()
{
    E2eRig rig;
    QVERIFY(rig.start(QStringLiteral("full"), {QStringLiteral("--no-line-rate")}));
    QVERIFY(rig.simCommand(QStringLiteral("fault late 60")));
    rig.fields.setValue(QStringLiteral("chkEstado"), 1);
    rig.fields.setValue(QStringLiteral("chkCorrienteActual"), 1);

    int ticks = 0;
    int clicks = 0;
    QTimer polling;
    polling.setInterval(50);
    QObject::connect(&polling, &QTimer::timeout, [&] {
        ++ticks;
        rig.ops.TimerEstado_Timer();
    });
    QTimer clicking;
    clicking.setInterval(17);
    QObject::connect(&clicking, &QTimer::timeout, [&] {
        rig.ops.directCommand(clicks % int(directCommands().size()));
        ++clicks;
    });

    const int mark = rig.logMark();
    polling.start();
    clicking.start();
    // Until enough has happened, however slowly a loaded machine gets there.
    QTRY_VERIFY_WITH_TIMEOUT(ticks > 1 && clicks > 5 && rig.requestsSince(mark).size() > 8, 60000);
    polling.stop();
    clicking.stop();

    QVERIFY(ticks > 1);
    QVERIFY(clicks > 5);
    QString why;
    QVERIFY2(rig.noInterleaving(mark, &why), qPrintable(why));
    const QList<QByteArray> requests = rig.requestsSince(mark);
    QVERIFY(requests.size() > 8);
    int direct = 0;
    for (const QByteArray &request : requests) {
        QVERIFY(quint8(request[4]) == 5 || quint8(request[4]) == 6);
        direct += quint8(request[4]) == 6;
    }
    // Clicks between interrogations go through; those inside one are refused with
    // the busy text (how many of each depends on the machine's load).
    QVERIFY(direct > 0);
    QVERIFY(direct <= clicks);
    if (direct < clicks)
        QVERIFY(rig.fields.statusHistory.contains(DeviceOperations::busyText()));
    // Interrogations are whole: query 0, 1, 2, 3 in a row each time.
    QList<int> queries;
    for (const QByteArray &request : requests) {
        if (quint8(request[4]) == 5)
            queries.append(quint8(request[5]));
    }
    for (int i = 0; i < queries.size(); ++i)
        QCOMPARE(queries[i], i % 4);
    QVERIFY(!rig.link.busy());
}

void E2eLinkTest::hangUpDuringRead()
{
    E2eRig rig;
    QVERIFY(rig.start(QStringLiteral("full"), {QStringLiteral("--no-line-rate"),
                                               QStringLiteral("--hangup-after"), QStringLiteral("40")}));
    // Port 1 reaches the simulator through a name of this test's own, which goes
    // with the line: the freed pseudo-terminal number may be handed to another
    // test's simulator at once, and the next click must not reach that one.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString com1 = dir.filePath(QFileInfo(dir.path()).fileName() + QStringLiteral("-com1"));
    QVERIFY(QFile::link(rig.sim.devicePath(), com1));
    rig.usePortDevice(com1);
    // The simulator hangs up once the line has been quiet a moment after the
    // last answer: real pauses give it that moment.
    rig.setRealPauses(true);
    // Counted on the link's record rather than timed: a loaded machine stretches
    // the wall clock, not the number of tries the link waited out.
    int timeOuts = 0;
    rig.link.traffic = [&timeOuts](const TrafficEvent &event) {
        timeOuts += event.kind == TrafficEvent::TimedOut;
    };
    rig.ops.CLeer_Click();

    QVERIFY2(timeOuts <= 1, qPrintable(QString::number(timeOuts)));
    const QString status = rig.fields.statusLine();
    QVERIFY2(status.startsWith(QLatin1String("Com1:")), qPrintable(status));
    QVERIFY2(status.contains(QFileInfo(com1).fileName()), qPrintable(status));
    QVERIFY(rig.buttonsEnabled());
    QVERIFY(!rig.link.busy());
    QVERIFY(!rig.port->isOpen());
    QCOMPARE(rig.sim.command(QStringLiteral("device")), QStringLiteral("hung up"));
    // Identification went through; the read stopped at the hang-up (a frame
    // sent in the simulator's last moments may still have been logged).
    const QList<QByteArray> requests = rig.requestsSince(0);
    QVERIFY2(requests.size() == 40 || requests.size() == 41, qPrintable(QString::number(requests.size())));
    QCOMPARE(requests[39], E2eRig::frame(1, 7));

    // The device is gone: the next click cannot open it and says so.
    QVERIFY(QFile::remove(com1));
    rig.ops.directCommand(directCommandIndex("CDia"));
    QVERIFY2(rig.fields.statusLine().startsWith(QLatin1String("Com1:")), qPrintable(rig.fields.statusLine()));
    QVERIFY(!rig.link.busy());
}

void E2eLinkTest::hangUpDuringOtherOperations_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("framesBefore");
    QTest::newRow("write") << "write" << 20;
    QTest::newRow("interrogation") << "interrogate" << 3;
    QTest::newRow("colour read") << "colour read" << 10;
    // Past the first record is colourtransfer_test's, in virtual time.
    QTest::newRow("colour write") << "colour write" << 10;
}

void E2eLinkTest::hangUpDuringOtherOperations()
{
    QFETCH(QString, operation);
    QFETCH(int, framesBefore);

    E2eRig rig;
    QVERIFY(rig.start(QStringLiteral("cx2"), {QStringLiteral("--no-line-rate")}));
    rig.setRealPauses(false);
    rig.ops.CLeer_Click();
    QCOMPARE(rig.fields.statusLine(), QStringLiteral("Ended"));
    rig.fields.setValue(QStringLiteral("chkEstado"), 1);
    rig.fields.setValue(QStringLiteral("chkCorrienteActual"), 1);
    rig.fields.setValue(QStringLiteral("chkVelocidadActual"), 1);
    QVERIFY(rig.simCommand(QStringLiteral("fault hangup-after %1").arg(framesBefore)));
    // The simulator hangs up once the line has been quiet a moment after the
    // last answer: real pauses give it that moment.
    rig.setRealPauses(true);
    const int mark = rig.logMark();
    int timeOuts = 0;
    rig.link.traffic = [&timeOuts](const TrafficEvent &event) {
        timeOuts += event.kind == TrafficEvent::TimedOut;
    };

    if (operation == QLatin1String("write"))
        rig.ops.CEscribir_Click();
    else if (operation == QLatin1String("interrogate"))
        rig.ops.CInterrogar_Click();
    else if (operation == QLatin1String("colour read"))
        rig.colours.CLeerColores_Click();
    else
        rig.colours.CEscribirColores_Click();

    // The hang-up is seen at once, without waiting out a reply time-out.
    QVERIFY2(timeOuts == 0, qPrintable(QString::number(timeOuts)));
    QCOMPARE(rig.sim.command(QStringLiteral("device")), QStringLiteral("hung up"));
    const QString status = rig.fields.statusLine();
    QVERIFY2(status.startsWith(QLatin1String("Com1: the line was lost")), qPrintable(status));
    QVERIFY(rig.buttonsEnabled());
    QVERIFY(!rig.link.busy());
    QVERIFY(!rig.port->isOpen());
    const qsizetype sent = rig.requestsSince(mark).size();
    QVERIFY2(sent == framesBefore || sent == framesBefore + 1, qPrintable(QString::number(sent)));
}

void E2eLinkTest::portThatCannotBeOpened_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("direct command") << "direct";
    QTest::newRow("read") << "read";
    QTest::newRow("write") << "write";
    QTest::newRow("interrogation") << "interrogate";
    QTest::newRow("colour read") << "colour read";
    QTest::newRow("colour write") << "colour write";
}

void E2eLinkTest::portThatCannotBeOpened()
{
    QFETCH(QString, operation);
    E2eRig rig;
    const QString missing = QStringLiteral("/dev/zav-e2e-no-such-device");
    rig.usePortDevice(missing);
    // Something to send if the port did open (the ID number never fails the write check).
    rig.map.bytes[31] = 0xC0;

    if (operation == QLatin1String("direct"))
        rig.ops.directCommand(0);
    else if (operation == QLatin1String("read"))
        rig.ops.CLeer_Click();
    else if (operation == QLatin1String("write"))
        rig.ops.CEscribir_Click();
    else if (operation == QLatin1String("interrogate"))
        rig.ops.CInterrogar_Click();
    else if (operation == QLatin1String("colour read"))
        rig.colours.CLeerColores_Click();
    else
        rig.colours.CEscribirColores_Click();

    const QString status = rig.fields.statusLine();
    QVERIFY2(status.startsWith(QLatin1String("Com1:")) && status.contains(QFileInfo(missing).fileName()),
             qPrintable(status));
    QVERIFY(rig.buttonsEnabled());
    QVERIFY(!rig.link.busy());
    QVERIFY(!rig.port->isOpen());
    QCOMPARE(rig.fields.beeps, 0);
}

QTEST_GUILESS_MAIN(E2eLinkTest)
#include "e2e_link_test.moc"
