#include "device/rules.h"
#include "fields/memoryfields.h"

#include <QtTest>

namespace {

// The groups as the page shows them, written out again here so that a name
// wrong in the rule table shows up.
const QHash<QString, QStringList> &groups()
{
    static const QHash<QString, QStringList> g = {
        {"photocell", {"Label(30)", "TFotocelulaInterior", "LabelUnidades(7)"}},
        {"lamp1Delay", {"Label(36)", "TTiempoLampara1", "LabelUnidades(11)"}},
        {"lamp2Delay", {"Label(31)", "TTiempoLampara2", "LabelUnidades(8)"}},
        {"mainsFailureDelay", {"Label(34)", "TTiempoFalloRed", "LabelUnidades(9)"}},
        {"mainsRestartDelay", {"Label(35)", "TTiempoRetornoRed", "LabelUnidades(10)"}},
        {"lamp1Type", {"Label(12)", "ComboTipoLampara1"}},
        {"lamp2Type", {"Label(13)", "ComboTipoLampara2"}},
        {"mainLamp", {"Label(20)", "ComboLamparaPrincipal"}},
        {"ledMax", {"Label(6)", "TMaxConsumoLed", "LabelUnidades(15)"}},
        {"ledMin", {"Label(1)", "TMinConsumoLed", "LabelUnidades(16)"}},
        {"ledPwm", {"Label(39)", "TPWMLed", "LabelUnidades(20)"}},
        {"mainsCommands", {"Frame1(2)", "CFalloRedOn", "CFalloRedOff"}},
        {"rowLamp1On", {"LedAzulLampara1", "LedLampara1Apagado", "label1(9)"}},
        {"rowLamp2On", {"LedazulLampara2", "LedLampara2Apagado", "label1(10)"}},
        {"rowLastLampAlarm", {"LedRojoPrealarmaLampara", "LedPrealarmaLamparaApagado", "label1(1)"}},
        {"rowChangerOn", {"LedAzulCambiador", "LedCambiadorApagado", "label1(2)"}},
        {"rowMainsFailure", {"LedRojoFalloRed", "LedFalloRedVerde", "label1(4)"}},
        {"rowLampOn", {"LedVerdeLampara1On", "LedLampara1OnApagado", "label1(5)"}},
        {"rowLampAlarm", {"LedRojoAlarmaLampara1", "LedAlarmaLamparaVerde", "label1(6)"}},
        {"rowTotalLampAlarm", {"LedRojoFalloFoco", "LedFalloFocoVerde", "label1(7)"}},
        {"speed1", {"Label(2)", "TVelocidadUsuario1", "LabelUnidades(0)"}},
        {"speed2", {"Label(26)", "TVelocidadUsuario2", "LabelUnidades(4)"}},
        {"speed3", {"Label(29)", "TVelocidadUsuario3", "LabelUnidades(5)"}},
        {"speed4", {"Label(32)", "TVelocidadUsuario4", "LabelUnidades(6)"}},
        {"reducer", {"Label(28)", "TRelacionReductor"}},
        {"pulses", {"Label(33)", "TPulsosRevolucion"}},
        {"tolerance", {"Label(42)", "TMargenErrorMotor2", "LabelUnidades(22)"}},
        {"failedTours", {"Label(41)", "TVueltasError"}},
    };
    return g;
}

void setGroup(MemoryFields &fields, const QString &group, bool visible)
{
    for (const QString &name : groups().value(group))
        fields.setVisible(name, visible);
}

// 'S' all visible, 'H' all hidden, '?' mixed.
char groupState(const MemoryFields &fields, const QString &group)
{
    int shown = 0;
    const QStringList members = groups().value(group);
    for (const QString &name : members)
        shown += fields.isVisible(name) ? 1 : 0;
    return shown == members.size() ? 'S' : shown == 0 ? 'H' : '?';
}

const QStringList kChangerGroups = {
    "photocell",
    "lamp1Delay",
    "lamp2Delay",
    "mainsFailureDelay",
    "mainsRestartDelay",
    "lamp1Type",
    "lamp2Type",
    "mainLamp",
    "ledMax",
    "ledMin",
    "ledPwm",
    "mainsCommands",
    "rowLamp1On",
    "rowLamp2On",
    "rowLastLampAlarm",
    "rowChangerOn",
    "rowMainsFailure",
    "rowLampOn",
    "rowLampAlarm",
    "rowTotalLampAlarm",
};

const QStringList kMotorGroups = {"speed1",  "speed2", "speed3",    "speed4",
                                  "reducer", "pulses", "tolerance", "failedTours"};

} // namespace

class RulesTest : public QObject
{
    Q_OBJECT

private slots:
    void changerType_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QChar>("expected"); // S shown, H hidden, U unchanged
        // Columns: entries 0 "CX1", 1 "CX2", 2 "CX3", 3 "LED".
        const QList<QPair<QString, QString>> table = {
            {"photocell", "HUUH"},
            {"lamp1Delay", "HSSH"},
            {"lamp2Delay", "HSHH"},
            {"mainsFailureDelay", "HSHH"},
            {"mainsRestartDelay", "HSHH"},
            {"lamp1Type", "HSHH"},
            {"lamp2Type", "HSHH"},
            {"mainLamp", "HSHH"},
            {"ledMax", "HHHS"},
            {"ledMin", "HHHS"},
            {"ledPwm", "HHHS"},
            {"mainsCommands", "HSHH"},
            {"rowLamp1On", "HSSH"},
            {"rowLamp2On", "HSHH"},
            {"rowLastLampAlarm", "SHHH"},
            {"rowChangerOn", "HSSH"},
            {"rowMainsFailure", "HSHH"},
            {"rowLampOn", "SSSH"},
            {"rowLampAlarm", "SSHS"},
            {"rowTotalLampAlarm", "HSSH"},
            // No choice: step 2 hides the rows, the commands and the PWM group, nothing else moves.
        };
        for (const auto &[group, states] : table) {
            for (int entry = 0; entry < 4; ++entry)
                QTest::addRow("%s entry %d", qPrintable(group), entry) << group << entry << states[entry];
        }
        const QStringList resetByStep2 = {
            "ledPwm",       "mainsCommands",   "rowLamp1On", "rowLamp2On",   "rowLastLampAlarm",
            "rowChangerOn", "rowMainsFailure", "rowLampOn",  "rowLampAlarm", "rowTotalLampAlarm"};
        for (const QString &group : kChangerGroups)
            QTest::addRow("%s no entry", qPrintable(group))
                << group << -1 << QChar(resetByStep2.contains(group) ? 'H' : 'U');
    }

    void changerType()
    {
        QFETCH(QString, group);
        QFETCH(int, entry);
        QFETCH(QChar, expected);
        for (bool startVisible : {true, false}) {
            MemoryFields fields;
            installDependencyRules(fields);
            fields.setListEntries("ComboTipoCambiador", {"CX1", "CX2", "CX3", "LED"});
            fields.setVisible("ComboTipoCambiador", true);
            for (const QString &g : kChangerGroups)
                setGroup(fields, g, startVisible);
            fields.setListIndex("ComboTipoCambiador", entry); // runs the rule
            const char want = expected == 'U' ? (startVisible ? 'S' : 'H') : expected.toLatin1();
            QCOMPARE(groupState(fields, group), want);
        }
    }

    void changerRuleWaitsForAHiddenList()
    {
        MemoryFields fields;
        installDependencyRules(fields);
        fields.setListEntries("ComboTipoCambiador", {"CX1", "CX2", "CX3", "LED"});
        fields.setVisible("ComboTipoCambiador", false);
        for (const QString &g : kChangerGroups)
            setGroup(fields, g, true);
        fields.setListIndex("ComboTipoCambiador", 3);
        QCOMPARE(fields.listIndex("ComboTipoCambiador"), 3);
        for (const QString &g : kChangerGroups)
            QCOMPARE(groupState(fields, g), 'S');
    }

    void motorType_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QChar>("expected");
        const QList<QPair<QString, QString>> table = {
            {"speed1", "SH"},  {"speed2", "SH"}, {"speed3", "SH"},    {"speed4", "SH"},
            {"reducer", "SH"}, {"pulses", "SH"}, {"tolerance", "HS"}, {"failedTours", "HS"},
        };
        for (const auto &[group, states] : table) {
            for (int entry = 0; entry < 2; ++entry)
                QTest::addRow("%s entry %d", qPrintable(group), entry) << group << entry << states[entry];
            QTest::addRow("%s no entry", qPrintable(group)) << group << -1 << QChar('U');
        }
    }

    void motorType()
    {
        QFETCH(QString, group);
        QFETCH(int, entry);
        QFETCH(QChar, expected);
        for (bool startVisible : {true, false}) {
            MemoryFields fields;
            installDependencyRules(fields);
            fields.setListEntries("ComboTipoMotor", {"Stepper Motor", "Dual Motor RKD"});
            for (const QString &g : kMotorGroups)
                setGroup(fields, g, startVisible);
            fields.setVisible("LabelUnidades(21)", startVisible);
            fields.setVisible("ComboTipoMotor", true);
            fields.setListIndex("ComboTipoMotor", entry);
            const char want = expected == 'U' ? (startVisible ? 'S' : 'H') : expected.toLatin1();
            QCOMPARE(groupState(fields, group), want);
            // The instant-speed unit does not follow the motor type.
            QCOMPARE(fields.isVisible("LabelUnidades(21)"), startVisible);
        }
    }

    void motorRuleWaitsForAHiddenList()
    {
        MemoryFields fields;
        installDependencyRules(fields);
        fields.setListEntries("ComboTipoMotor", {"Stepper Motor", "Dual Motor RKD"});
        fields.setVisible("ComboTipoMotor", false);
        for (const QString &g : kMotorGroups)
            setGroup(fields, g, true);
        fields.setListIndex("ComboTipoMotor", 1);
        for (const QString &g : kMotorGroups)
            QCOMPARE(groupState(fields, g), 'S');
    }

    void functionMode_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<bool>("listVisible");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("Night ON") << 0 << true << false;
        QTest::newRow("24 hours ON") << 1 << true << true;
        QTest::newRow("no choice") << -1 << true << false;
        QTest::newRow("24 hours ON, list hidden") << 1 << false << true;
        QTest::newRow("Night ON, list hidden") << 0 << false << false;
    }

    void functionMode()
    {
        QFETCH(int, entry);
        QFETCH(bool, listVisible);
        QFETCH(bool, enabled);
        MemoryFields fields;
        installDependencyRules(fields);
        fields.setListEntries("cmbModofuncionamiento", {"Night ON", "24 hours ON"});
        fields.setVisible("cmbModofuncionamiento", listVisible);
        fields.setText("txtAtenuacionNocturna", "40");
        fields.setEnabled("txtAtenuacionNocturna", !enabled);
        fields.setListIndex("cmbModofuncionamiento", entry);
        QCOMPARE(fields.isEnabled("txtAtenuacionNocturna"), enabled);
        QCOMPARE(fields.text("txtAtenuacionNocturna"), QString("40"));
        QVERIFY(fields.isVisible("txtAtenuacionNocturna"));
    }

    void ruleFunctionsRunWithoutASelectionChange()
    {
        MemoryFields fields;
        fields.setListEntries("ComboTipoCambiador", {"CX1", "CX2", "CX3", "LED"});
        fields.setListIndex("ComboTipoCambiador", 3); // no handler yet
        setGroup(fields, "ledMax", false);
        ComboTipoCambiador_Click(fields);
        QCOMPARE(groupState(fields, "ledMax"), 'S');
    }
};

QTEST_GUILESS_MAIN(RulesTest)
#include "rules_test.moc"
