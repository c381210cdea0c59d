#include "device/capabilitymap.h"
#include "device/directcommands.h"
#include "device/operations.h"
#include "device/parameterlists.h"
#include "device/parametermap.h"
#include "device/rules.h"
#include "device/visibility.h"
#include "fields/memoryfields.h"
#include "link/delay.h"
#include "link/link.h"
#include "support/virtuallink.h"
#include "text/stringtable.h"

#include <QtTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

struct Rig : VirtualLink
{
    CapabilityMap map;
    DeviceOperations ops;
    QList<qint64> statusTimesNs;

    explicit Rig(qint16 factoryCode = 0) : ops(fields, link, map, factoryCode)
    {
        fields.onStatus = [this](const QString &) { statusTimesNs.append(clock.nowNs()); };
        installDependencyRules(fields);
        fields.setListEntries("TabStrip1", {"Main", "Motor", "Remote control", "Sectors"});
        fillParameterLists(fields);
        fields.setVisible("ComboTipoCambiador", factoryCode == 731);
    }

    QList<int> addressesOf(int command) const
    {
        QList<int> out;
        for (const QByteArray &f : framesOf(command))
            out.append(quint8(f[5]));
        return out;
    }

    int statusIndex(const QString &text) const { return fields.statusHistory.indexOf(text); }
};

QList<int> range(int first, int last)
{
    QList<int> out;
    for (int a = first; a <= last; ++a)
        out.append(a);
    return out;
}

const QStringList kButtons = {"CAbrir", "CGuardar", "CLeer", "CEscribir"};

// Every control a read, an identification or a rule can touch, with all it holds,
// and the page tabs: one line each.
QStringList fieldSnapshot(const MemoryFields &fields)
{
    QSet<QString> names{"TabStrip1"};
    const auto add = [&](const char *name) {
        if (name)
            names.insert(QLatin1String(name));
    };
    for (const ParameterRow &row : parameterRows()) {
        for (const char *name : {row.field, row.label, row.unit, row.rawField})
            add(name);
    }
    for (const VisibilityRow &row : visibilityTable()) {
        for (const char *name : {row.label, row.field, row.unit})
            add(name);
    }
    for (const char *name : factoryOnlyControls())
        add(name);
    for (const ChangerRow &row : changerTypeTable()) {
        for (const char *name : row.group->members)
            add(name);
    }
    for (const MotorRow &row : motorTypeTable()) {
        for (const char *name : row.group->members)
            add(name);
    }
    QStringList lines;
    for (const QString &name : names) {
        lines << QStringLiteral("%1 text=%2 caption=%3 index=%4 entries=%5 value=%6 visible=%7")
                     .arg(name, fields.text(name), fields.caption(name))
                     .arg(fields.listIndex(name))
                     .arg(fields.listEntries(name).join('|'))
                     .arg(fields.value(name))
                     .arg(fields.isVisible(name));
    }
    lines.sort();
    return lines;
}

bool buttonsEnabled(const MemoryFields &fields)
{
    return std::all_of(kButtons.begin(), kButtons.end(),
                       [&](const QString &b) { return fields.isEnabled(b); });
}

} // namespace

class OperationsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    // ---- read all ----

    void readWithEmptyMap()
    {
        Rig rig;
        rig.fields.setListIndex("ComboTipoCambiador", 2);
        rig.ops.CLeer_Click();
        QCOMPARE(rig.port.frames.size(), 32); // identification only
        QCOMPARE(rig.fields.statusLine(), QString("Ended"));
        QCOMPARE(rig.fields.statusHistory.mid(32), QStringList({"Ended", "Reading", "Ended"}));
        QCOMPARE(rig.fields.listIndex("ComboTipoCambiador"), 0);
        QCOMPARE(rig.fields.text("TVelocidadUsuario1"), QString("0.0000"));
        QCOMPARE(rig.fields.messages, QStringList({LoadText(2001)}));
        QVERIFY(!rig.fields.isVisible("PictureInicio"));
        QVERIFY(buttonsEnabled(rig.fields));
        QVERIFY(!rig.port.isOpen());
    }

    void readOnePerPresentAddressAscending()
    {
        Rig rig;
        const QList<int> present = {0, 1, 2, 17, 18, 41, 50, 252, 255};
        for (int a : present)
            rig.port.setPresent(a);
        rig.port.params[0] = 0x01;
        rig.port.params[1] = 0xE2;
        rig.port.params[2] = 0x40;
        rig.port.params[252] = 48;
        rig.port.params[255] = 7;
        rig.ops.CLeer_Click();
        QCOMPARE(rig.addressesOf(1), present);
        for (const QByteArray &f : rig.framesOf(1))
            QCOMPARE(quint8(f[6]), quint8(0));
        QCOMPARE(rig.fields.text("TVelocidadUsuario1"), QString("12.3456"));
        QCOMPARE(rig.fields.text("TNumeroID"), QString("7"));
        QVERIFY(rig.fields.messages.isEmpty());
        // The line counts through the present addresses.
        QCOMPARE(rig.fields.statusHistory.mid(34, present.size()),
                 QStringList({"0", "1", "2", "17", "18", "41", "50", "252", "255"}));
    }

    void readWithoutAnswerAt17()
    {
        Rig rig;
        rig.port.setAllPresent();
        rig.port.silentCommandAddress.insert({1, 17});
        rig.ops.CLeer_Click();

        QCOMPARE(rig.framesOf(128).size(), 32);
        QCOMPARE(rig.addressesOf(1), range(0, 17) << 17 << 17);
        QCOMPARE(rig.port.frames.size(), 32 + 20);
        const int error = rig.statusIndex("Reading Error in data 17");
        QVERIFY(error > 0);
        QCOMPARE(rig.fields.statusHistory.at(error - 1), QString("Error R  3"));
        // The failure is the last word: no "Ended" after it.
        QCOMPARE(rig.fields.statusHistory.size(), error + 1);
        QVERIFY(rig.ops.lastReadFailed());
        QCOMPARE(rig.fields.beeps, 1);
        // The 1 s pause after the failure, before the buttons come back.
        QVERIFY(rig.clock.nowNs() - rig.statusTimesNs.at(error) >= 1000'000'000);
        QVERIFY(rig.fields.messages.isEmpty());
        QVERIFY(buttonsEnabled(rig.fields));
        QVERIFY(!rig.port.isOpen());
    }

    // A read that does not finish changes nothing the technician sees or writes:
    // the fields, their visibility, the fifth tab and the capability map stay
    // those of the last whole read, and no firmware notice comes up.
    void unfinishedReadLeavesTheWindowAsItWas_data()
    {
        QTest::addColumn<int>("silentCommand");
        QTest::addColumn<int>("silentAddress");
        QTest::addColumn<int>("loseAfter"); // frames of this read, -1 none
        QTest::addColumn<bool>("openFails");
        QTest::addColumn<QString>("failure"); // empty: the link's failure text
        QTest::newRow("no answer at 100") << 1 << 100 << -1 << false << "Reading Error in data 100";
        QTest::newRow("no answer at the identifier")
            << 1 << 233 << -1 << false << "Reading Error in data 233";
        QTest::newRow("line lost in the read") << -1 << -1 << 100 << false << "";
        QTest::newRow("identification step unanswered")
            << 128 << 5 << -1 << false << "Identification Error in step 5";
        QTest::newRow("line lost in the identification") << -1 << -1 << 10 << false << "";
        QTest::newRow("port cannot be opened") << -1 << -1 << -1 << true << "";
    }

    void unfinishedReadLeavesTheWindowAsItWas()
    {
        QFETCH(int, silentCommand);
        QFETCH(int, silentAddress);
        QFETCH(int, loseAfter);
        QFETCH(bool, openFails);
        QFETCH(QString, failure);
        Rig rig;
        // The last whole read: a controller with fewer parameters.
        for (int a = 0; a < 60; a += 2)
            rig.port.setPresent(a);
        for (int a = 231; a < 256; ++a)
            rig.port.setPresent(a);
        for (int a = 0; a < 256; ++a)
            rig.port.params[a] = quint8(a * 7 + 3);
        rig.port.params[252] = 50;
        rig.ops.CLeer_Click();
        QCOMPARE(rig.fields.statusLine(), QString("Ended"));
        QVERIFY(!rig.ops.lastReadFailed());
        const std::array<quint8, 32> mapBefore = rig.map.bytes;
        const QStringList before = fieldSnapshot(rig.fields);
        rig.fields.statusHistory.clear();
        rig.fields.messages.clear();

        // Another controller, with every parameter, other values and a firmware
        // byte that would bring up the notice.
        rig.port.setAllPresent();
        for (int a = 0; a < 256; ++a)
            rig.port.params[a] = quint8(a * 13 + 1);
        rig.port.params[252] = 0;
        if (silentCommand >= 0)
            rig.port.silentCommandAddress.insert({silentCommand, silentAddress});
        if (loseAfter >= 0)
            rig.port.loseAfterFrames = int(rig.port.frames.size()) + loseAfter;
        rig.port.openFails = openFails;
        rig.ops.CLeer_Click();

        QVERIFY(rig.ops.lastReadFailed());
        QCOMPARE(rig.fields.statusLine(), failure.isEmpty() ? rig.link.failureText() : failure);
        QCOMPARE(rig.map.bytes, mapBefore);
        QCOMPARE(fieldSnapshot(rig.fields), before);
        QVERIFY(rig.fields.messages.isEmpty());
        QVERIFY(buttonsEnabled(rig.fields));
        QVERIFY(!rig.port.isOpen());
        QVERIFY(!rig.link.busy());
    }

    // Answers that are short, long or late never lend their bytes to another request:
    // at line rate the read comes out as from a controller that answers cleanly.
    void faultyAnswersLeaveEveryReadValueRight_data()
    {
        QTest::addColumn<int>("length");      // of every answer
        QTest::addColumn<int>("onceAddress"); // the read with one odd answer, -1 none
        QTest::addColumn<int>("onceLength");
        QTest::addColumn<double>("onceDelayMs");
        QTest::newRow("one 7-byte answer at 17") << 8 << 17 << 7 << 0.0;
        QTest::newRow("one answer 2010 ms late at 30") << 8 << 30 << 8 << 2010.0;
        QTest::newRow("one 12-byte answer at 40") << 8 << 40 << 12 << 0.0;
        QTest::newRow("12-byte answers") << 12 << -1 << 8 << 0.0;
    }

    void faultyAnswersLeaveEveryReadValueRight()
    {
        QFETCH(int, length);
        QFETCH(int, onceAddress);
        QFETCH(int, onceLength);
        QFETCH(double, onceDelayMs);
        Rig clean;
        Rig faulty;
        for (Rig *rig : {&clean, &faulty}) {
            rig->port.lineRate = true;
            rig->port.setAllPresent();
            for (int a = 0; a < 256; ++a)
                rig->port.params[a] = quint8(a * 37 + 11);
        }
        faulty.port.replyLength = length;
        if (onceAddress >= 0)
            faulty.port.onceFaults.insert({1, onceAddress}, {onceLength, onceDelayMs});
        clean.ops.CLeer_Click();
        faulty.ops.CLeer_Click();

        QCOMPARE(faulty.map.bytes, clean.map.bytes);
        QCOMPARE(faulty.addressesOf(1).size(),
                 256 + (onceAddress >= 0 && onceLength < 8 ? 1 : 0) + (onceDelayMs > 2000 ? 1 : 0));
        QCOMPARE(faulty.fields.statusLine(), QString("Ended"));
        QCOMPARE(faulty.fields.beeps, 0);
        for (const ParameterRow &row : parameterRows()) {
            for (const char *name : {row.field, row.rawField}) {
                if (!name)
                    continue;
                QCOMPARE(faulty.fields.text(name), clean.fields.text(name));
                QCOMPARE(faulty.fields.listIndex(name), clean.fields.listIndex(name));
                QCOMPARE(faulty.fields.value(name), clean.fields.value(name));
            }
        }
    }

    // Answers of 7 bytes, or later than 2 s, are no answers: the identification
    // stops at its first step and keeps the map it had.
    void identificationWithoutProperAnswersChangesNothing_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<double>("delayMs");
        QTest::newRow("7-byte answers") << 7 << 0.0;
        QTest::newRow("answers 2010 ms late") << 8 << 2010.0;
    }

    void identificationWithoutProperAnswersChangesNothing()
    {
        QFETCH(int, length);
        QFETCH(double, delayMs);
        Rig rig;
        rig.map.bytes[0] = 0x09;
        const std::array<quint8, 32> mapBefore = rig.map.bytes;
        rig.fields.setVisible("TVelocidadUsuario1", false);
        rig.port.setAllPresent();
        rig.port.replyLength = length;
        rig.port.replyDelayMs = delayMs;
        {
            LinkSession session(rig.link);
            rig.ops.IdentificarZAV();
        }
        QCOMPARE(rig.map.bytes, mapBefore);
        QCOMPARE(rig.framesOf(128).size(), 3);
        QCOMPARE(rig.fields.statusHistory.count("Error R  3"), 1);
        QCOMPARE(rig.fields.statusLine(), QString("Identification Error in step 0"));
        QVERIFY(!rig.fields.isVisible("TVelocidadUsuario1"));
        QVERIFY(buttonsEnabled(rig.fields));
    }

    void firmwareNotice_data()
    {
        QTest::addColumn<int>("firmware");
        QTest::addColumn<bool>("notice");
        QTest::newRow("47") << 47 << true;
        QTest::newRow("48") << 48 << false;
        QTest::newRow("0") << 0 << true;
        QTest::newRow("255") << 255 << false;
    }

    void firmwareNotice()
    {
        QFETCH(int, firmware);
        QFETCH(bool, notice);
        Rig rig;
        rig.port.setPresent(252);
        rig.port.params[252] = quint8(firmware);
        rig.ops.CLeer_Click();
        QCOMPARE(rig.fields.messages.size(), notice ? 1 : 0);
        QCOMPARE(rig.fields.text("TVersionFirmwareR"), QString::number(firmware));
    }

    void storedChangerTypeTwoShowsItsFields()
    {
        Rig rig; // normal mode: the changer list is hidden, its rule stays out
        for (const char *name : {"TTiempoLampara1", "TFotocelulaInterior", "Label(36)", "Label(30)",
                                 "LabelUnidades(11)", "LabelUnidades(7)"})
            rig.fields.setVisible(name, false);
        rig.port.setPresent(27);
        rig.port.params[27] = 2;
        rig.ops.CLeer_Click();
        QCOMPARE(rig.fields.listIndex("ComboTipoCambiador"), 2);
        for (const char *name : {"TTiempoLampara1", "TFotocelulaInterior", "Label(36)", "Label(30)",
                                 "LabelUnidades(11)", "LabelUnidades(7)"})
            QVERIFY2(rig.fields.isVisible(name), name);
    }

    void readPortCannotBeOpened()
    {
        Rig rig;
        rig.port.openFails = true;
        rig.fields.setText("TNumeroID", "99");
        rig.ops.CLeer_Click();
        QVERIFY(rig.port.frames.isEmpty());
        QCOMPARE(rig.fields.statusLine(), rig.link.failureText());
        QVERIFY(rig.fields.statusLine().contains("Com1"));
        QCOMPARE(rig.fields.text("TNumeroID"), QString("99"));
        QVERIFY(buttonsEnabled(rig.fields));
        QVERIFY(!rig.link.busy());
    }

    void readLineLostMidway()
    {
        Rig rig;
        rig.port.setAllPresent();
        rig.port.loseAfterFrames = 40;
        rig.ops.CLeer_Click();
        QCOMPARE(rig.port.frames.size(), 41);
        QCOMPARE(rig.fields.statusLine(), rig.link.failureText());
        QVERIFY(rig.fields.statusLine().contains("Com1"));
        QVERIFY(buttonsEnabled(rig.fields));
    }

    // ---- write all ----

    void writeBeforeIdentification()
    {
        Rig rig;
        rig.ops.CEscribir_Click();
        QVERIFY(rig.port.frames.isEmpty());
        QCOMPARE(rig.fields.statusHistory, QStringList({"Writing"}));
        QVERIFY(buttonsEnabled(rig.fields));
        QVERIFY(!rig.port.isOpen());
    }

    void writeAfterRead_data()
    {
        QTest::addColumn<int>("silentAt");
        QTest::addColumn<int>("beeps");
        QTest::newRow("all answered: one beep after 223") << -1 << 1;
        QTest::newRow("no answer at 30") << 30 << 1;
        QTest::newRow("no answer at 223") << 223 << 1;
        QTest::newRow("no answer at 224") << 224 << 2;
    }

    void writeAfterRead()
    {
        QFETCH(int, silentAt);
        QFETCH(int, beeps);
        Rig rig;
        rig.port.setAllPresent();
        rig.port.params[252] = 60;
        rig.ops.CLeer_Click();
        rig.port.frames.clear();
        rig.fields.beeps = 0;
        rig.fields.statusHistory.clear();
        rig.statusTimesNs.clear();
        rig.fields.setText("TNumeroID", "258");         // 0x01 0x02
        rig.fields.setText("TTiempoRetornoRed", "7.5"); // 34..35: 0x00 0x4B
        if (silentAt >= 0)
            rig.port.silentCommandAddress.insert({2, silentAt});

        rig.ops.CEscribir_Click();

        QList<int> expected = range(0, silentAt >= 0 ? silentAt : 246);
        if (silentAt >= 0)
            expected << silentAt << silentAt;
        expected << 254 << 255;
        QCOMPARE(rig.addressesOf(2), expected);
        QCOMPARE(rig.port.frames.size(), expected.size());
        QCOMPARE(rig.fields.beeps, beeps);
        QCOMPARE(rig.fields.statusHistory.first(), QString("Writing"));
        QCOMPARE(rig.fields.statusLine(), QString("255"));
        if (silentAt >= 0) {
            // Three tries, the failure, the 1 s pause, then the ID number all the same.
            const int error = rig.statusIndex(QStringLiteral("Reading Error in data %1").arg(silentAt));
            QVERIFY(error > 0);
            QCOMPARE(rig.fields.statusHistory.at(error - 1), QString("Error R  3"));
            QCOMPARE(rig.fields.statusHistory.mid(error + 1), QStringList({"254", "255"}));
            const qint64 pauseNs = rig.statusTimesNs.at(error + 1) - rig.statusTimesNs.at(error);
            QVERIFY2(pauseNs >= 1000'000'000 && pauseNs < 1100'000'000, qPrintable(QString::number(pauseNs)));
        }
        QVERIFY(!rig.fields.statusHistory.contains("Ended"));
        // Cells after a failure are not written; the ID number is.
        QCOMPARE(rig.port.params[35], quint8(silentAt >= 0 && silentAt <= 35 ? 0 : 75));
        QCOMPARE(rig.port.params[254], quint8(1));
        QCOMPARE(rig.port.params[255], quint8(2));
        QVERIFY(buttonsEnabled(rig.fields));
        QVERIFY(!rig.port.isOpen());
    }

    void badFieldStopsTheWrite_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        QTest::newRow("letters in a timing field") << "TTiempoLampara1"
                                                   << "Label(36)"
                                                   << "abc";
        QTest::newRow("night attenuation 300") << "txtAtenuacionNocturna"
                                               << "Label(16)"
                                               << "300";
        QTest::newRow("negative LED luminosity") << "TLuminosidadLeds"
                                                 << ""
                                                 << "-5";
    }

    void badFieldStopsTheWrite()
    {
        QFETCH(QString, field);
        QFETCH(QString, label);
        QFETCH(QString, text);
        Rig rig;
        rig.port.setAllPresent();
        rig.port.params[252] = 60;
        rig.ops.CLeer_Click();
        rig.port.frames.clear();
        const int opens = rig.port.opens;
        if (!label.isEmpty())
            rig.fields.setCaption(label, "The Caption");
        rig.fields.setText(field, text);

        rig.ops.CEscribir_Click();

        QVERIFY(rig.port.frames.isEmpty());
        QCOMPARE(rig.port.opens, opens);
        QCOMPARE(rig.fields.focused, field);
        if (!label.isEmpty())
            QVERIFY2(rig.fields.statusLine().startsWith("The Caption"), qPrintable(rig.fields.statusLine()));
        QVERIFY(rig.fields.statusLine() != "Writing");
        QVERIFY(buttonsEnabled(rig.fields));
        QVERIFY(!rig.link.busy());
    }

    void badFieldAtAnAbsentAddressDoesNotStopTheWrite()
    {
        Rig rig;
        rig.port.setPresent(254);
        rig.port.setPresent(255);
        rig.ops.CLeer_Click();
        rig.port.frames.clear();
        rig.fields.setText("txtAtenuacionNocturna", "300");
        rig.fields.setText("TNumeroID", "513");
        rig.ops.CEscribir_Click();
        QCOMPARE(rig.addressesOf(2), QList<int>({254, 255}));
        QCOMPARE(rig.port.params[254], quint8(2));
        QCOMPARE(rig.port.params[255], quint8(1));
    }

    void writeLineLostSkipsTheSecondRun()
    {
        Rig rig;
        rig.port.setAllPresent();
        rig.port.params[252] = 60;
        rig.ops.CLeer_Click();
        rig.port.frames.clear();
        rig.port.loseAfterFrames = 10;
        rig.ops.CEscribir_Click();
        QCOMPARE(rig.port.frames.size(), 11);
        QCOMPARE(rig.fields.statusLine(), rig.link.failureText());
        QVERIFY(buttonsEnabled(rig.fields));
    }

    // ---- direct commands ----

    void directCommands_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("p1");
        QTest::addColumn<int>("p2");
        QTest::addColumn<QString>("success");
        QTest::addColumn<QString>("failure");
        QTest::newRow("day") << "CDia" << 1 << 1 << " ZAV is in day mode"
                             << " ZAV day mode failed";
        QTest::newRow("night") << "CNoche" << 1 << 2 << " ZAV is in night mode"
                               << " ZAV night mode failed";
        QTest::newRow("normal") << "CNormal" << 1 << 0 << " ZAV normal mode"
                                << " ZAV normal mode failed";
        QTest::newRow("changer on") << "CCambioLamparaOn" << 0 << 1 << " ZAV changer On"
                                    << " ZAV changer On failed";
        QTest::newRow("changer off") << "CCambioLamparaOff" << 0 << 0 << " ZAV changer Off"
                                     << " ZAV changer Off failed";
        QTest::newRow("mains failure on") << "CFalloRedOn" << 2 << 1 << " ZAV sector fail On OK"
                                          << " ZAV sector fail On OK failed";
        QTest::newRow("mains failure off") << "CFalloRedOff" << 2 << 0 << " ZAV sector fail Off OK"
                                           << " ZAV sector fail Off OK failed";
        QTest::newRow("motor 1") << "btnTelemandoMotor1" << 3 << 0 << " ZAV Motor 1 OK"
                                 << " ZAV Motor 1 fail";
        QTest::newRow("motor 2") << "btnTelamandoMotor2" << 3 << 1 << " ZAV Motor 2 OK"
                                 << " ZAV Motor 2 fail";
    }

    void directCommands()
    {
        QFETCH(QString, button);
        QFETCH(int, p1);
        QFETCH(int, p2);
        QFETCH(QString, success);
        QFETCH(QString, failure);
        const int which = directCommandIndex(qPrintable(button));
        QVERIFY(which >= 0);

        Rig answered;
        answered.ops.directCommand(which);
        QCOMPARE(answered.port.frames.size(), 1);
        QByteArray expected = hex("4A 51 00 00 06 00 00 00");
        expected[5] = char(p1);
        expected[6] = char(p2);
        expected[7] = char(0xFF ^ 6 ^ p1 ^ p2);
        QCOMPARE(answered.port.frames.first(), expected);
        QCOMPARE(answered.fields.statusLine(), success);
        QCOMPARE(answered.port.directSetting[p1], p2);
        QVERIFY(!answered.port.isOpen());

        Rig silent;
        silent.port.silentCommands.insert(6);
        silent.ops.directCommand(which);
        QCOMPARE(silent.port.frames.size(), 3);
        QCOMPARE(silent.fields.statusLine(), failure);
        QVERIFY(!silent.port.isOpen());
        // Three tries about two seconds apart.
        QVERIFY(silent.clock.nowNs() >= 6'000'000'000);

        // Answered on the second try: the retry text of the first, then success.
        Rig late;
        late.port.answerFromTry = 2;
        late.ops.directCommand(which);
        QCOMPARE(late.port.frames, QList<QByteArray>(2, expected));
        QVERIFY(late.fields.statusHistory.contains("Time Out Transmision"));
        QVERIFY(late.fields.statusHistory.contains("Error R  1"));
        QVERIFY(!late.fields.statusHistory.contains("Error R  2"));
        QCOMPARE(late.fields.statusLine(), success);
    }

    void dayFrameOnTheLine()
    {
        Rig rig;
        rig.ops.directCommand(directCommandIndex("CDia"));
        QCOMPARE(rig.port.frames, QList<QByteArray>({hex("4A 51 00 00 06 01 01 F9")}));
    }

    void directCommandPortCannotBeOpened()
    {
        Rig rig;
        rig.port.openFails = true;
        rig.ops.directCommand(directCommandIndex("CNoche"));
        QVERIFY(rig.port.frames.isEmpty());
        QVERIFY(rig.fields.statusLine().contains("Com1"));
    }

    void closingTheWindowCutsTheReadShort()
    {
        Rig rig;
        rig.port.setAllPresent();
        int pumped = 0;
        rig.link.processEvents = [&] {
            if (++pumped == 40)
                rig.link.abort();
        };
        rig.ops.CLeer_Click();
        QCOMPARE(rig.port.frames.size(), 40);
        QVERIFY(rig.fields.messages.isEmpty()); // no firmware notice while closing
        QVERIFY(!rig.port.isOpen());
        QVERIFY(!rig.link.busy());
    }

    // ---- one operation at a time ----

    void busyLinkRefusesEveryOperation()
    {
        Rig rig;
        rig.port.setAllPresent();
        LinkSession running(rig.link); // an operation waiting for a reply
        rig.ops.CLeer_Click();
        rig.ops.CEscribir_Click();
        rig.ops.CInterrogar_Click();
        rig.ops.directCommand(0);
        QVERIFY(rig.port.frames.isEmpty());
        QCOMPARE(rig.port.opens, 0);
        QCOMPARE(rig.fields.statusHistory, QStringList(4, DeviceOperations::busyText()));
    }

    void clicksDuringAWaitPutNothingOnTheLine()
    {
        Rig rig;
        rig.port.setAllPresent();
        rig.fields.setValue("chkEstado", 1);
        // Every event pumped during the read's waits is a click or a tick.
        int pumped = 0;
        rig.link.processEvents = [&] {
            if (++pumped % 50 == 0) {
                rig.ops.directCommand(1);
                rig.ops.TimerEstado_Timer();
                rig.ops.CEscribir_Click();
            }
        };
        rig.ops.CLeer_Click();
        QVERIFY(pumped > 0);
        QVERIFY(rig.framesOf(6).isEmpty());
        QVERIFY(rig.framesOf(5).isEmpty());
        QVERIFY(rig.framesOf(2).isEmpty());
        QCOMPARE(rig.framesOf(1).size(), 256);
        QCOMPARE(rig.fields.statusLine(), QString("Ended"));
    }
};

QTEST_GUILESS_MAIN(OperationsTest)
#include "operations_test.moc"
