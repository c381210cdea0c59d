// The count of a long operation, as the window's progress bar and zavctl show
// it: it reaches the total exactly when everything is settled, never runs
// backwards, and its total is known before the frames it counts.

#include "device/capabilitymap.h"
#include "device/operations.h"
#include "device/parameterlists.h"
#include "device/rules.h"
#include "sectors/colourtransfer.h"
#include "sectors/memorysectorgrid.h"
#include "sectors/sectoreditor.h"
#include "support/virtuallink.h"

#include <QtTest>

namespace {

enum class Operation
{
    Read,
    Write,
    ColourRead,
    ColourWrite,
};

struct Rig : VirtualLink
{
    CapabilityMap map;
    DeviceOperations ops{fields, link, map, 0};
    SectorState state;
    MemorySectorGrid grid;
    SectorEditor editor{state, grid, fields};
    ColourTransfer colours{link, fields, editor};

    struct Seen
    {
        bool running;
        int done;
        int total;
        qsizetype framesSent;
        qint64 remainingMs;
    };
    QList<Seen> seen;

    Rig()
    {
        installDependencyRules(fields);
        fillParameterLists(fields);
        editor.FormatearGrid();
        for (int i = 1; i <= 8; ++i)
            fields.setCaption(SectorEditor::colourLabel(i), QString::number(i));
        port.params[252] = 60; // no firmware notice
        link.progress().changed = [this](const OperationProgress &p) {
            seen.append({p.running(), p.done(), p.total(), port.frames.size(), p.remainingMs()});
        };
    }

    // The button that runs the operation.
    void click(Operation operation)
    {
        switch (operation) {
        case Operation::Read:
            ops.CLeer_Click();
            break;
        case Operation::Write:
            ops.CEscribir_Click();
            break;
        case Operation::ColourRead:
            colours.CLeerColores_Click();
            break;
        case Operation::ColourWrite:
            colours.CEscribirColores_Click();
            break;
        }
    }
};

QList<int> addresses(std::initializer_list<std::pair<int, int>> ranges)
{
    QList<int> out;
    for (const auto &[first, last] : ranges)
        for (int a = first; a <= last; ++a)
            out << a;
    return out;
}

} // namespace

class ProgressTest : public QObject
{
    Q_OBJECT

private slots:
    void countReachesTheTotalAndNeverRunsBack_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QList<int>>("present");
        QTest::addColumn<int>("silentCommand"); // -1 none
        QTest::addColumn<int>("silentAddress");
        QTest::addColumn<int>("total");
        QTest::addColumn<bool>("reachesTotal");

        const QList<int> all = addresses({{0, 255}});
        const QList<int> cx2 = addresses({{17, 41}, {54, 56}, {231, 246}, {251, 255}});
        // Read: the 32 identification steps and one read per present address.
        QTest::newRow("read, all present") << Operation::Read << all << -1 << 0 << 32 + 256 << true;
        QTest::newRow("read, cx2") << Operation::Read << cx2 << -1 << 0 << 32 + 25 + 3 + 16 + 5 << true;
        QTest::newRow("read, none present") << Operation::Read << QList<int>() << -1 << 0 << 32 << true;
        // A failed read ends the operation: the count stops where it was.
        QTest::newRow("read, no answer at 30") << Operation::Read << cx2 << 1 << 30 << 32 + 49 << false;
        // Write: the present addresses but the manufacturing ones, 247 to 253.
        QTest::newRow("write, all present") << Operation::Write << all << -1 << 0 << 247 + 2 << true;
        QTest::newRow("write, cx2") << Operation::Write << cx2 << -1 << 0 << 25 + 3 + 16 + 2 << true;
        // A failure skips the rest of the first run; the count steps over it.
        QTest::newRow("write, no answer at 30") << Operation::Write << cx2 << 2 << 30 << 46 << true;
        // Colours: 4 banks, 2 records each, 67 bytes a record.
        QTest::newRow("colour read") << Operation::ColourRead << cx2 << -1 << 0 << 536 << true;
        QTest::newRow("colour read, no answer at bank 2 address 40")
            << Operation::ColourRead << cx2 << 136 << 40 << 536 << true;
        QTest::newRow("colour write") << Operation::ColourWrite << cx2 << -1 << 0 << 536 << true;
        QTest::newRow("colour write, no answer at bank 4 address 130")
            << Operation::ColourWrite << cx2 << 134 << 130 << 536 << true;
    }

    void countReachesTheTotalAndNeverRunsBack()
    {
        QFETCH(Operation, operation);
        QFETCH(QList<int>, present);
        QFETCH(int, silentCommand);
        QFETCH(int, silentAddress);
        QFETCH(int, total);
        QFETCH(bool, reachesTotal);

        Rig rig;
        for (int address : present)
            rig.port.setPresent(address);
        // The write sends what the last identification found.
        if (operation == Operation::Write)
            rig.ops.CLeer_Click();
        rig.seen.clear();
        rig.port.frames.clear();
        if (silentCommand >= 0)
            rig.port.silentCommandAddress.insert({silentCommand, silentAddress});

        rig.click(operation);

        QVERIFY(rig.seen.size() > 2);
        QVERIFY(rig.seen.first().running);
        QCOMPARE(rig.seen.first().done, 0);
        QCOMPARE(rig.seen.first().framesSent, 0);
        const Rig::Seen &last = rig.seen.last();
        QVERIFY(!last.running);
        QCOMPARE(last.total, total);
        QCOMPARE(last.done == total, reachesTotal);
        if (silentCommand < 0) // one frame a transaction: the count is the frames sent
            QCOMPARE(rig.port.frames.size(), qsizetype(total));
        // Only the last counts as not running.
        for (qsizetype i = 0; i + 1 < rig.seen.size(); ++i)
            QVERIFY(rig.seen[i].running);
        for (qsizetype i = 1; i < rig.seen.size(); ++i) {
            const Rig::Seen &before = rig.seen[i - 1];
            const Rig::Seen &now = rig.seen[i];
            QVERIFY2(now.done >= before.done, qPrintable(QStringLiteral("step %1").arg(i)));
            QVERIFY(now.done <= now.total);
            // The total is final before the first frame it counts: for the read,
            // from the end of the identification on.
            if (operation != Operation::Read || now.framesSent > 32)
                QCOMPARE(now.total, total);
            // Once a transaction is done there is a time left, none at the end.
            QVERIFY(now.remainingMs >= 0);
        }
        if (reachesTotal)
            QCOMPARE(rig.seen.at(rig.seen.size() - 2).remainingMs, 0);
    }

    // zavctl counts a whole command as one: the operations are parts of a count
    // begun on a guessed total, which the read's identification or zavctl (once
    // the map is known) corrects. The count never starts again at an operation's
    // start, and once there is a time left it stays until the end.
    void wholeCommandIsOneCount_data()
    {
        QTest::addColumn<QList<Operation>>("operations");
        QTest::addColumn<int>("guess");
        QTest::addColumn<int>("total");

        // cx2: 49 present addresses, 46 of them written; colours: 536 transactions.
        QTest::newRow("read") << QList<Operation>{Operation::Read} << 32 + 256 << 32 + 49;
        QTest::newRow("read --colours")
            << QList<Operation>{Operation::Read, Operation::ColourRead} << 32 + 256 + 536 << 32 + 49 + 536;
        QTest::newRow("write --colours")
            << QList<Operation>{Operation::Write, Operation::ColourWrite} << 32 + 256 + 536 << 32 + 46 + 536;
    }

    void wholeCommandIsOneCount()
    {
        QFETCH(QList<Operation>, operations);
        QFETCH(int, guess);
        QFETCH(int, total);

        Rig rig;
        for (int address : addresses({{17, 41}, {54, 56}, {231, 246}, {251, 255}}))
            rig.port.setPresent(address);
        // The write sends the fields' values: a read fills them first.
        if (operations.contains(Operation::Write)) {
            rig.ops.CLeer_Click();
            rig.seen.clear();
            rig.port.frames.clear();
        }
        {
            OperationProgress::Scope command(rig.link.progress(), guess, true);
            for (Operation operation : operations) {
                if (operation == Operation::Write) {
                    // As zavctl: identify, then the total the map gives.
                    rig.ops.IdentificarZAV();
                    rig.link.progress().setTotal(32 + int(rig.ops.writtenAddresses().size()) +
                                                 (operations.contains(Operation::ColourWrite) ? 536 : 0));
                }
                rig.click(operation);
            }
        }

        QCOMPARE(rig.port.frames.size(), qsizetype(total));
        const Rig::Seen &last = rig.seen.last();
        QVERIFY(!last.running);
        QCOMPARE(last.done, total);
        QCOMPARE(last.total, total);
        bool told = false;
        for (qsizetype i = 0; i + 1 < rig.seen.size(); ++i) {
            const Rig::Seen &now = rig.seen[i];
            const QString step = QStringLiteral("step %1: %2/%3").arg(i).arg(now.done).arg(now.total);
            QVERIFY2(now.running, qPrintable(step));
            if (i > 0)
                QVERIFY2(now.done >= rig.seen[i - 1].done, qPrintable(step));
            // The guess stands through the identification and tells no time left.
            if (now.framesSent < 32) {
                QVERIFY2(now.total == guess && now.remainingMs < 0, qPrintable(step));
                continue;
            }
            if (now.total != guess || guess == total)
                QCOMPARE(now.total, total);
            told = told || now.remainingMs >= 0;
            QVERIFY2(!told || now.remainingMs >= 0, qPrintable(step));
        }
        QVERIFY(told);
    }
};

QTEST_GUILESS_MAIN(ProgressTest)
#include "progress_test.moc"
