#include "link/delay.h"
#include "link/frame.h"
#include "link/link.h"
#include "link/trafficrecord.h"
#include "support/virtuallink.h"

#include <QtTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// A clock whose pauses last `factor` times what was asked (a slow machine).
class StretchedClock : public Clock
{
public:
    qint64 nowNs() const override { return now; }
    void sleepNs(qint64 ns) override { now += qint64(double(ns) * factor); }
    qint64 now = 0;
    double factor = 1.0;
};

// The transaction on an open port: its texts land in fields.statusHistory.
struct Rig : VirtualLink
{
    Rig() { port.open(); }
};

// One operation of one day-mode command on a controller with a fault, with or
// without a traffic record; what went on the line and when.
struct RecordedRun
{
    QList<QByteArray> frames;
    QList<qint64> byteTimesNs;
    QStringList status;
    int replyStatus = 0;
    qint64 endNs = 0;
    QStringList lines;
};

RecordedRun runDayCommand(const QString &fault, bool record)
{
    VirtualLink rig;
    if (fault == QLatin1String("second try"))
        rig.port.answerFromTry = 2;
    else if (fault == QLatin1String("short once"))
        rig.port.onceFaults.insert({6, 1}, {7, 0});
    else if (fault == QLatin1String("long"))
        rig.port.replyLength = 12;
    else if (fault == QLatin1String("silent"))
        rig.port.silentCommands.insert(6);
    else if (fault == QLatin1String("lost"))
        rig.port.loseAfterFrames = 0;
    else if (fault == QLatin1String("late")) {
        rig.port.lineRate = true;
        rig.port.onceFaults.insert({6, 1}, {8, 2022});
    }
    RecordedRun run;
    TrafficRecord traffic;
    traffic.addSink([&run](const QString &line) { run.lines << line; });
    if (record)
        rig.link.traffic = [&traffic](const TrafficEvent &event) { traffic.record(event); };
    {
        LinkSession session(rig.link);
        rig.link.AbrirCom();
        run.replyStatus = rig.link.ExchangeFrame({0, 6, 1, 1}).Status;
    }
    run.frames = rig.port.frames;
    run.byteTimesNs = rig.port.byteTimesNs;
    run.status = rig.fields.statusHistory;
    run.endNs = rig.clock.nowNs();
    return run;
}

} // namespace

class LinkTest : public QObject
{
    Q_OBJECT

private slots:
    void requestFrames_data()
    {
        QTest::addColumn<int>("headWord");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("p1");
        QTest::addColumn<int>("p2");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("read parameter 5") << 0 << 1 << 5 << 0 << hex("4A 51 00 00 01 05 00 FB");
        QTest::newRow("identification 0") << 0 << 128 << 0 << 0 << hex("4A 51 00 00 80 00 00 7F");
        QTest::newRow("identification 31") << 0 << 128 << 31 << 0 << hex("4A 51 00 00 80 1F 00 60");
        QTest::newRow("status query 0") << 0 << 5 << 0 << 0 << hex("4A 51 00 00 05 00 00 FA");
        QTest::newRow("day mode") << 0 << 6 << 1 << 1 << hex("4A 51 00 00 06 01 01 F9");
        QTest::newRow("write 200 to 17") << 0 << 2 << 17 << 200 << hex("4A 51 00 00 02 11 C8 24");
        QTest::newRow("head word 0x1234") << 0x1234 << 1 << 5 << 0 << hex("4A 51 12 34 01 05 00 DD");
        QTest::newRow("colour read bank 1 address 0") << 0 << 135 << 0 << 0 << hex("4A 51 00 00 87 00 00 78");
        QTest::newRow("colour read bank 4 address 194")
            << 0 << 138 << 194 << 0 << hex("4A 51 00 00 8A C2 00 B7");
        QTest::newRow("colour write 255 bank 1 address 0")
            << 0 << 131 << 0 << 255 << hex("4A 51 00 00 83 00 FF 83");
        QTest::newRow("colour write 1 bank 1 address 3")
            << 0 << 131 << 3 << 1 << hex("4A 51 00 00 83 03 01 7E");
    }

    void requestFrames()
    {
        QFETCH(int, headWord);
        QFETCH(int, command);
        QFETCH(int, p1);
        QFETCH(int, p2);
        QFETCH(QByteArray, wire);
        RequestFrame request;
        request.HeadWord = headWord;
        request.Command = quint8(command);
        request.Param1 = quint8(p1);
        request.Param2 = quint8(p2);
        QCOMPARE(encodeRequest(request).toHex(' '), wire.toHex(' '));
    }

    void answeredAtOncePacesBytesAndPauses()
    {
        Rig rig;
        rig.port.params[5] = 0x42;
        const ReplyFrame reply = rig.link.ExchangeFrame({0, 1, 5, 0});
        QCOMPARE(reply.Status, kAck);
        QCOMPARE(reply.Data3, quint8(0x42));
        QCOMPARE(reply.ReplyWord, 1); // reply bytes 2 and 3: 00 01 (command echo)
        QCOMPARE(reply.Data1, quint8(5));
        QCOMPARE(rig.port.frames, QList<QByteArray>{hex("4A 51 00 00 01 05 00 FB")});
        for (int i = 1; i < 8; ++i)
            QVERIFY(rig.port.byteTimesNs[i] - rig.port.byteTimesNs[i - 1] >= 1'000'000);
        // Seven 1 ms gaps, then the 20 ms pause after the try.
        QCOMPARE(rig.clock.nowNs(), qint64(27'000'000));
        QCOMPARE(rig.link.TriesLeft(), quint8(0));
        QVERIFY(rig.fields.statusHistory.isEmpty());
    }

    void silentControllerThreeTriesThenNak()
    {
        Rig rig;
        rig.port.silentCommands.insert(6);
        rig.port.params[1] = 9;
        const ReplyFrame reply = rig.link.ExchangeFrame({0, 6, 3, 1});
        QCOMPARE(reply.Status, kNak);
        QCOMPARE(reply.Data3, quint8(0));
        QCOMPARE(reply.ReplyWord, 0);
        QCOMPARE(rig.port.frames.size(), 3);
        QCOMPARE(rig.fields.statusHistory,
                 (QStringList{"Time Out Transmision", "Error R  1", "Time Out Transmision", "Error R  2",
                              "Time Out Transmision", "Error R  3"}));
        // Three tries a little over 2 s apart: a little over 6 s in all.
        const double seconds = double(rig.clock.nowNs()) / 1e9;
        QVERIFY2(seconds > 6.0 && seconds < 6.2, qPrintable(QString::number(seconds)));
        const qint64 gap = rig.port.byteTimesNs[8] - rig.port.byteTimesNs[7];
        QVERIFY(gap > 2'000'000'000 && gap < 2'100'000'000);
    }

    void answeredOnSecondTry()
    {
        Rig rig;
        rig.port.answerFromTry = 2;
        const ReplyFrame reply = rig.link.ExchangeFrame({0, 1, 5, 0});
        QCOMPARE(reply.Status, kAck);
        QCOMPARE(rig.port.frames.size(), 2);
        QCOMPARE(rig.fields.statusHistory.last(), QStringLiteral("Error R  1"));
    }

    void twelveByteReplyIsReadWhole_data()
    {
        QTest::addColumn<bool>("lineRate");
        QTest::newRow("at once") << false;
        // The first 8 bytes end the wait; the last 4 come during the pause.
        QTest::newRow("at line rate") << true;
    }

    void twelveByteReplyIsReadWhole()
    {
        QFETCH(bool, lineRate);
        Rig rig;
        rig.port.replyLength = 12;
        rig.port.lineRate = lineRate;
        rig.port.params[9] = 77;
        rig.port.params[10] = 78;
        QCOMPARE(rig.link.ExchangeFrame({0, 1, 9, 0}).Data3, quint8(77));
        const ReplyFrame next = rig.link.ExchangeFrame({0, 1, 10, 0});
        QCOMPARE(next.Status, kAck);
        QCOMPARE(next.Data3, quint8(78));
        QCOMPARE(next.Data1, quint8(10)); // this request's echo, not the tail of the last reply
        QCOMPARE(rig.port.frames.size(), 2);
    }

    void wrongHeaderAndChecksumStillAcknowledge()
    {
        Rig rig;
        rig.port.badHeader = true;
        rig.port.params[2] = 3;
        const ReplyFrame reply = rig.link.ExchangeFrame({0, 1, 2, 0});
        QCOMPARE(reply.Status, kAck);
        QCOMPARE(reply.Data3, quint8(3));
    }

    void sevenByteAnswersAreNoAnswer()
    {
        Rig rig;
        rig.port.replyLength = 7;
        rig.port.params[5] = 0x55;
        rig.port.params[6] = 0x66;
        // Each try's 7 bytes are dropped before the next try: none ever completes 8.
        const ReplyFrame reply = rig.link.ExchangeFrame({0, 1, 5, 0});
        QCOMPARE(reply.Status, kNak);
        QCOMPARE(reply.Data3, quint8(0));
        QCOMPARE(rig.port.frames.size(), 3);
        QCOMPARE(rig.fields.statusLine(), QStringLiteral("Error R  3"));
        // The last try's 7 bytes do not answer the next transaction either.
        rig.port.replyLength = 8;
        const ReplyFrame next = rig.link.ExchangeFrame({0, 1, 6, 0});
        QCOMPARE(next.Status, kAck);
        QCOMPARE(next.Data3, quint8(0x66));
        QCOMPARE(rig.port.frames.size(), 4);
    }

    void bytesWaitingBeforeARequestAreDropped()
    {
        Rig rig;
        rig.port.params[1] = 11;
        rig.port.params[2] = 22;
        rig.port.replyDelayMs = 0.5;
        rig.port.inject(hex("4A 51 00 01 01 00 63 00"));
        QCOMPARE(rig.link.ExchangeFrame({0, 1, 1, 0}).Data3, quint8(11));
        QCOMPARE(rig.link.ExchangeFrame({0, 1, 2, 0}).Data3, quint8(22));
        QCOMPARE(rig.port.frames.size(), 2);
        QCOMPARE(rig.port.bytesAvailable(), qint64(0));
    }

    void lateReplyWithinTwoSecondsIsTaken()
    {
        Rig rig;
        rig.port.replyDelayMs = 1900;
        QCOMPARE(rig.link.ExchangeFrame({0, 1, 5, 0}).Status, kAck);
        QCOMPARE(rig.port.frames.size(), 1);
    }

    // A reply about 2 s late straddles the time-out, the drop before the next try
    // and that try's request. Over the whole boundary, at line rate, each
    // transaction ends with its own value or with no answer, never another's.
    void replyStraddlingTheTimeOut_data()
    {
        QTest::addColumn<int>("lateMs");
        for (int ms = 1990; ms <= 2030; ++ms)
            QTest::addRow("%d ms late", ms) << ms;
    }

    void replyStraddlingTheTimeOut()
    {
        QFETCH(int, lateMs);
        Rig rig;
        rig.port.lineRate = true;
        for (int address = 16; address <= 19; ++address)
            rig.port.params[address] = quint8(0xB0 + address);
        rig.port.onceFaults.insert({1, 17}, {8, double(lateMs)});
        for (int address = 16; address <= 19; ++address) {
            const ReplyFrame reply = rig.link.ExchangeFrame({0, 1, quint8(address), 0});
            if (address == 17 && reply.Status == kNak)
                continue;
            QCOMPARE(reply.Status, kAck);
            QCOMPARE(reply.Data1, quint8(address));
            QCOMPARE(reply.Data3, rig.port.params[address]);
        }
    }

    void oneOperationAtATime()
    {
        Rig rig;
        {
            LinkSession first(rig.link);
            QVERIFY(bool(first));
            LinkSession second(rig.link);
            QVERIFY(!second);
            QVERIFY(rig.link.busy());
        }
        QVERIFY(!rig.link.busy());
        QVERIFY(!rig.port.isOpen()); // the end of an operation closes the port
    }

    void abortCutsTheWaitShort()
    {
        Rig rig;
        rig.port.silentCommands.insert(1);
        int pumps = 0;
        rig.link.processEvents = [&] {
            if (++pumps == 3)
                rig.link.abort();
        };
        const ReplyFrame reply = rig.link.ExchangeFrame({0, 1, 5, 0});
        QCOMPARE(reply.Status, kNak);
        QCOMPARE(rig.port.frames.size(), 1);
        QVERIFY(rig.clock.nowNs() < 100'000'000);
        // Nothing more goes on the line afterwards.
        rig.link.ExchangeFrame({0, 1, 6, 0});
        QCOMPARE(rig.port.frames.size(), 1);
    }

    void lostPortFailsAtOnce()
    {
        Rig rig;
        rig.port.loseAfterFrames = 1;
        QVERIFY(rig.link.tryBegin());
        QCOMPARE(rig.link.ExchangeFrame({0, 1, 1, 0}).Status, kAck);
        QCOMPARE(rig.link.ExchangeFrame({0, 1, 2, 0}).Status, kNak);
        QVERIFY(rig.link.failed());
        QVERIFY(rig.link.failureText().startsWith("Com1:"));
        QVERIFY(!rig.port.isOpen());
        QVERIFY(rig.clock.nowNs() < 1'000'000'000);
        rig.link.end();
    }

    // The record sees every frame and the events between them, in order, with
    // times that rise; and the same operation without it puts the same bytes
    // on the line at the same moments.
    void trafficRecordObservesOnly_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("lines"); // without their times
        const QString open = QStringLiteral("Com1 -- port opened: fake1");
        const QString tx = QStringLiteral("Com1 TX 4A 51 00 00 06 01 01 F9  try %1");
        const QString close = QStringLiteral("Com1 -- port closed");
        QTest::newRow("answered on the second try")
            << "second try" << QStringList{open,
                                           tx.arg(1),
                                           "Com1 -- time-out on try 1: no reply",
                                           tx.arg(2),
                                           "Com1 RX 4A 51 00 06 01 01 00 F9",
                                           close};
        QTest::newRow("short reply, dropped before the next try")
            << "short once"
            << QStringList{
                   open,
                   tx.arg(1),
                   "Com1 -- time-out on try 1: short reply, 7 of 8 bytes waiting: 4A 51 00 06 01 01 00",
                   "Com1 -- dropped 7 stale bytes: 4A 51 00 06 01 01 00",
                   tx.arg(2),
                   "Com1 RX 4A 51 00 06 01 01 00 F9",
                   close};
        QTest::newRow("long reply")
            << "long"
            << QStringList{open, tx.arg(1),
                           "Com1 RX 4A 51 00 06 01 01 00 F9 A8 A9 AA AB  long reply: 12 bytes", close};
        QTest::newRow("never answered") << "silent"
                                        << QStringList{open,
                                                       tx.arg(1),
                                                       "Com1 -- time-out on try 1: no reply",
                                                       tx.arg(2),
                                                       "Com1 -- time-out on try 2: no reply",
                                                       tx.arg(3),
                                                       "Com1 -- time-out on try 3: no reply",
                                                       "Com1 -- no answer after 3 tries",
                                                       close};
        // The late answer to try 1 comes in while try 2 is sent; then try 2's own.
        QTest::newRow("answer during the next request")
            << "late"
            << QStringList{
                   open,
                   tx.arg(1),
                   "Com1 -- time-out on try 1: no reply",
                   tx.arg(2),
                   "Com1 -- try 2 failed: 5 bytes came in while the request was being sent (an earlier "
                   "reply): 4A 51 00 06 01",
                   "Com1 -- dropped 16 stale bytes: 4A 51 00 06 01 01 00 F9 4A 51 00 06 01 01 00 F9",
                   tx.arg(3),
                   "Com1 RX 4A 51 00 06 01 01 00 F9",
                   close};
        QTest::newRow("line lost")
            << "lost"
            << QStringList{open, "Com1 -- line lost: Com1: the line was lost (fake1: device lost)", close};
    }

    void trafficRecordObservesOnly()
    {
        QFETCH(QString, fault);
        const RecordedRun plain = runDayCommand(fault, false);
        const RecordedRun recorded = runDayCommand(fault, true);
        QCOMPARE(recorded.frames, plain.frames);
        QCOMPARE(recorded.byteTimesNs, plain.byteTimesNs);
        QCOMPARE(recorded.status, plain.status);
        QCOMPARE(recorded.replyStatus, plain.replyStatus);
        QCOMPARE(recorded.endNs, plain.endNs);

        QStringList lines;
        double last = -1;
        static const QRegularExpression timed(QStringLiteral("^ *(\\d+\\.\\d{3}) (.*)$"));
        for (const QString &line : recorded.lines) {
            const QRegularExpressionMatch match = timed.match(line);
            QVERIFY2(match.hasMatch(), qPrintable(line));
            const double ms = match.captured(1).toDouble();
            QVERIFY(ms >= last);
            last = ms;
            lines << match.captured(2);
        }
        QTEST(lines, "lines");
    }

    void portThatCannotOpen()
    {
        Rig rig;
        rig.port.close();
        rig.port.openFails = true;
        QVERIFY(rig.link.tryBegin());
        QVERIFY(!rig.link.AbrirCom());
        QVERIFY(rig.link.failed());
        QVERIFY(rig.link.failureText().contains("Com1:"));
        rig.link.end();
    }

    void delayBeforeCalibrationReturnsAtOnce_data()
    {
        QTest::addColumn<int>("loopCount");
        QTest::addColumn<int>("ms");
        QTest::addColumn<qint64>("elapsedNs");
        QTest::newRow("uncalibrated 2000") << 0 << 2000 << qint64(0);
        QTest::newRow("calibrated 0") << 5 << 0 << qint64(0);
        QTest::newRow("calibrated negative") << 5 << -3 << qint64(0);
        QTest::newRow("calibrated 20") << 5 << 20 << qint64(20'000'000);
    }

    void delayBeforeCalibrationReturnsAtOnce()
    {
        QFETCH(int, loopCount);
        QFETCH(int, ms);
        QFETCH(qint64, elapsedNs);
        ManualClock clock;
        Delay delay(clock);
        delay.setDelayLoopCount(loopCount);
        delay.DelayMs(ms);
        QCOMPARE(clock.nowNs(), elapsedNs);
    }

    void calibration_data()
    {
        QTest::addColumn<double>("loopSeconds");
        QTest::addColumn<double>("stretch");
        QTest::addColumn<int>("loopCount");
        QTest::addColumn<QString>("lastText");
        QTest::newRow("quarter second") << 0.25 << 1.0 << 400000 << "Index =  400000";
        QTest::newRow("self-test 1.25 s") << 0.25 << 1.25 << 400000 << "Index =  400000";
        QTest::newRow("self-test 1.35 s") << 0.25 << 1.35 << 400000 << "Out speed computer 1.35";
        QTest::newRow("half-even") << 0.8 << 1.0 << 125000 << "Index =  125000";
    }

    void calibration()
    {
        QFETCH(double, loopSeconds);
        QFETCH(double, stretch);
        QFETCH(int, loopCount);
        QFETCH(QString, lastText);
        QLocale::setDefault(QLocale::c());
        StretchedClock clock;
        clock.factor = stretch;
        Delay delay(clock);
        qint32 turnsAsked = 0;
        delay.countLoop = [&](qint32 turns) {
            turnsAsked = turns;
            clock.now += qint64(loopSeconds * 1e9);
        };
        QStringList texts;
        int pumps = 0;
        delay.CalibrateDelay([&](const QString &t) { texts.append(t); }, [&] { ++pumps; });
        QCOMPARE(turnsAsked, 100'000'000);
        QCOMPARE(delay.DelayLoopCount(), loopCount);
        QCOMPARE(texts.first(), QStringLiteral("Testing speed"));
        QCOMPARE(texts.last(), lastText);
        QCOMPARE(pumps, 2);
    }
};

QTEST_GUILESS_MAIN(LinkTest)
#include "link_test.moc"
