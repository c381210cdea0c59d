#include "device/capabilitymap.h"
#include "device/operations.h"
#include "fields/memoryfields.h"
#include "link/delay.h"
#include "link/link.h"
#include "support/virtuallink.h"

#include <QtTest>

namespace {

// Rows of the indicator column as (active, inactive) pictures; row 5 has two pairs.
const QList<QPair<QString, QString>> kRows = {
    {"LedOn", "LedOff"},                                       // 1
    {"LedMotorOn", "LedMotorOff"},                             // 2
    {"LedRojoAlarmaMotor", "LedAlarmaMotorVerde"},             // 3
    {"LedAzulLampara1", "LedLampara1Apagado"},                 // 4
    {"LedazulLampara2", "LedLampara2Apagado"},                 // 5 lamp 2
    {"LedRojoPrealarmaLampara", "LedPrealarmaLamparaApagado"}, // 5 last lamp alarm
    {"LedAzulCambiador", "LedCambiadorApagado"},               // 6
    {"LedRojoFalloRed", "LedFalloRedVerde"},                   // 7
    {"LedVerdeLampara1On", "LedLampara1OnApagado"},            // 8
    {"LedRojoAlarmaLampara1", "LedAlarmaLamparaVerde"},        // 9
    {"LedRojoFalloFoco", "LedFalloFocoVerde"},                 // 10
};

// 'A' active picture only, 'I' inactive only, 'U' untouched (both still shown).
char rowState(const MemoryFields &fields, int pair)
{
    const bool active = fields.isVisible(kRows[pair].first);
    const bool inactive = fields.isVisible(kRows[pair].second);
    if (active && inactive)
        return 'U';
    if (active)
        return 'A';
    if (inactive)
        return 'I';
    return '?';
}

struct Rig : VirtualLink
{
    CapabilityMap map;
    DeviceOperations ops{fields, link, map, 0};

    Rig()
    {
        fields.setListEntries("ComboTipoCambiador", {"CX1", "CX2", "CX3", "LED"});
        // Both pictures of every row showing: an untouched row stays that way.
        for (const auto &[active, inactive] : kRows) {
            fields.setVisible(active, true);
            fields.setVisible(inactive, true);
        }
    }

    QList<int> queries() const
    {
        QList<int> out;
        for (const QByteArray &f : framesOf(5))
            out.append(quint8(f[5]));
        return out;
    }
};

} // namespace

class StatusTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void indicatorRows_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<int>("general");
        QTest::addColumn<int>("lamp");
        QTest::addColumn<QString>("rows"); // pairs 1, 2, 3, 4, 5 lamp 2, 5 last alarm, 6, 7, 8, 9, 10
        QTest::newRow("entry 1: 0x03 0x91") << 1 << 0x03 << 0x91 << "AAIAIUIAIIA";
        QTest::newRow("entry 0: lamp 0x20") << 0 << 0x00 << 0x20 << "IIIUUIUUAIU";
        QTest::newRow("entry 1: lamp 0x80") << 1 << 0x04 << 0x80 << "IIAIIUIIIIA";
        QTest::newRow("entry 1: lamp 0x40") << 1 << 0x00 << 0x40 << "IIIIIUIIIAI";
        QTest::newRow("entry 1: bit 3 unused") << 1 << 0x00 << 0x08 << "IIIIIUIIIII";
        QTest::newRow("entry 0: lamp 0xFF") << 0 << 0xFF << 0xFF << "AAAUUAUUAAU";
        QTest::newRow("entry 2: lamp 0xFF") << 2 << 0x00 << 0xFF << "IIIAUUAUAUA";
        QTest::newRow("entry 2: lamp 0x00") << 2 << 0x00 << 0x00 << "IIIIUUIUIUI";
        QTest::newRow("entry 3: lamp 0xFF") << 3 << 0x00 << 0xFF << "IIIUUUUUUAU";
        QTest::newRow("entry 3: lamp 0xBF") << 3 << 0x00 << 0xBF << "IIIUUUUUUIU";
        QTest::newRow("no entry") << -1 << 0x01 << 0xFF << "AIIUUUUUUUU";
    }

    void indicatorRows()
    {
        QFETCH(int, entry);
        QFETCH(int, general);
        QFETCH(int, lamp);
        QFETCH(QString, rows);
        Rig rig;
        rig.fields.setListIndex("ComboTipoCambiador", entry);
        rig.fields.setValue("chkEstado", 1);
        rig.port.status[0] = quint8(general);
        rig.port.status[1] = quint8(lamp);
        rig.ops.CInterrogar_Click();
        QCOMPARE(rig.queries(), QList<int>({0, 1}));
        QString got;
        for (int pair = 0; pair < kRows.size(); ++pair)
            got += QLatin1Char(rowState(rig.fields, pair));
        QCOMPARE(got, rows);
        QCOMPARE(rig.fields.statusLine(), QString("End check"));
    }

    void ledEntryShowsThePwmGroup_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<bool>("shown");
        QTest::newRow("LED") << 3 << true;
        QTest::newRow("CX2") << 1 << false;
    }

    void ledEntryShowsThePwmGroup()
    {
        QFETCH(int, entry);
        QFETCH(bool, shown);
        Rig rig;
        for (const char *name : {"Label(39)", "TPWMLed", "LabelUnidades(20)"})
            rig.fields.setVisible(name, false);
        rig.fields.setListIndex("ComboTipoCambiador", entry);
        rig.fields.setValue("chkEstado", 1);
        rig.ops.CInterrogar_Click();
        for (const char *name : {"Label(39)", "TPWMLed", "LabelUnidades(20)"})
            QCOMPARE(rig.fields.isVisible(name), shown);
    }

    void liveValues_data()
    {
        QTest::addColumn<QString>("checkBox");
        QTest::addColumn<QString>("textBox");
        QTest::addColumn<int>("firstQuery");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("low");
        QTest::addColumn<QString>("shown");
        QTest::newRow("speed 12345") << "chkVelocidadActual"
                                     << "TVelocidadActual" << 4 << 0x30 << 0x39 << "123.45";
        QTest::newRow("speed maximum") << "chkVelocidadActual"
                                       << "TVelocidadActual" << 4 << 0xFF << 0xFF << "655.35";
        QTest::newRow("current 4 210") << "chkCorrienteActual"
                                       << "TCorrienteActual" << 2 << 4 << 210 << "12.34";
        QTest::newRow("current zero") << "chkCorrienteActual"
                                      << "TCorrienteActual" << 2 << 0 << 0 << "0.00";
        QTest::newRow("LED current 0 5") << "chkCorrienteLeds"
                                         << "txtCorrienteLeds" << 6 << 0 << 5 << "0.05";
    }

    void liveValues()
    {
        QFETCH(QString, checkBox);
        QFETCH(QString, textBox);
        QFETCH(int, firstQuery);
        QFETCH(int, high);
        QFETCH(int, low);
        QFETCH(QString, shown);
        Rig rig;
        rig.fields.setValue(checkBox, 1);
        rig.port.status[firstQuery] = quint8(high);
        rig.port.status[firstQuery + 1] = quint8(low);
        rig.ops.CInterrogar_Click();
        QCOMPARE(rig.queries(), QList<int>({firstQuery, firstQuery + 1}));
        QCOMPARE(rig.fields.text(textBox), shown);
    }

    void liveValueInTheUsersLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Rig rig;
        rig.fields.setValue("chkVelocidadActual", 1);
        rig.port.status[4] = 0x30;
        rig.port.status[5] = 0x39;
        rig.ops.CInterrogar_Click();
        QCOMPARE(rig.fields.text("TVelocidadActual"), QString("123,45"));
    }

    void everythingInOrder()
    {
        Rig rig;
        for (const char *box : {"chkEstado", "chkCorrienteActual", "chkVelocidadActual", "chkCorrienteLeds"})
            rig.fields.setValue(box, 1);
        rig.fields.setListIndex("ComboTipoCambiador", 1);
        rig.ops.CInterrogar_Click();
        QCOMPARE(rig.queries(), QList<int>({0, 1, 2, 3, 4, 5, 6, 7}));
        for (const QByteArray &f : rig.port.frames)
            QCOMPARE(quint8(f[6]), quint8(0));
        QVERIFY(!rig.port.isOpen());
    }

    void greyedOrClearBoxesAskNothing()
    {
        Rig rig;
        rig.fields.setValue("chkEstado", 2); // greyed counts as not ticked
        rig.ops.CInterrogar_Click();
        QVERIFY(rig.port.frames.isEmpty());
        QCOMPARE(rig.port.opens, 1);
        QCOMPARE(rig.port.closes, 1);
        QCOMPARE(rig.fields.statusLine(), QString("End check"));
        for (const char *button : {"CAbrir", "CGuardar", "CLeer", "CEscribir"})
            QVERIFY(rig.fields.isEnabled(button));
    }

    void silentController()
    {
        Rig rig;
        rig.port.silentCommands.insert(5);
        for (const char *box : {"chkEstado", "chkCorrienteActual", "chkVelocidadActual", "chkCorrienteLeds"})
            rig.fields.setValue(box, 1);
        rig.fields.setListIndex("ComboTipoCambiador", 1);
        for (const char *box : {"TCorrienteActual", "TVelocidadActual", "txtCorrienteLeds"})
            rig.fields.setText(box, "9.99");
        rig.ops.CInterrogar_Click();
        QCOMPARE(rig.port.frames.size(), 8 * 3);
        for (int pair = 0; pair < kRows.size(); ++pair) {
            if (pair != 5) // the last-lamp-alarm pair is not a row of entry 1
                QCOMPARE(rowState(rig.fields, pair), 'I');
        }
        for (const char *box : {"TCorrienteActual", "TVelocidadActual", "txtCorrienteLeds"})
            QCOMPARE(rig.fields.text(box), QString("0.00"));
        QCOMPARE(rig.fields.statusLine(), QString("End check"));
    }

    void portCannotBeOpened()
    {
        Rig rig;
        rig.port.openFails = true;
        rig.fields.setValue("chkEstado", 1);
        rig.ops.CInterrogar_Click();
        QVERIFY(rig.port.frames.isEmpty());
        QVERIFY(rig.fields.statusLine().contains("Com1"));
        QCOMPARE(rowState(rig.fields, 0), 'U');
        for (const char *button : {"CAbrir", "CGuardar", "CLeer", "CEscribir"})
            QVERIFY(rig.fields.isEnabled(button));
    }

    void pollingTick()
    {
        Rig rig;
        rig.fields.setValue("chkEstado", 1);
        rig.fields.setVisible("LedTimerON", false);
        rig.fields.setVisible("LedTimerOff", true);
        bool lampLitDuringTick = false;
        rig.fields.onStatus = [&](const QString &s) {
            if (s == "End check")
                lampLitDuringTick =
                    rig.fields.isVisible("LedTimerON") && !rig.fields.isVisible("LedTimerOff");
        };
        rig.ops.TimerEstado_Timer();
        QVERIFY(lampLitDuringTick);
        QCOMPARE(rig.queries(), QList<int>({0, 1}));
        QVERIFY(!rig.fields.isVisible("LedTimerON"));
        QVERIFY(rig.fields.isVisible("LedTimerOff"));
    }

    void pollingTickSkippedWhileBusy()
    {
        Rig rig;
        rig.fields.setValue("chkEstado", 1);
        rig.fields.setVisible("LedTimerON", false);
        rig.fields.setVisible("LedTimerOff", true);
        LinkSession running(rig.link);
        rig.ops.TimerEstado_Timer();
        QVERIFY(rig.port.frames.isEmpty());
        QCOMPARE(rig.port.opens, 0);
        QVERIFY(rig.fields.statusHistory.isEmpty()); // skipped silently
        QVERIFY(!rig.fields.isVisible("LedTimerON"));
        QVERIFY(rig.fields.isVisible("LedTimerOff"));
    }

    void ticksDuringAnInterrogationAreSkipped()
    {
        Rig rig;
        rig.fields.setValue("chkEstado", 1);
        rig.fields.setValue("chkVelocidadActual", 1);
        rig.link.processEvents = [&] { rig.ops.TimerEstado_Timer(); };
        rig.ops.CInterrogar_Click();
        QCOMPARE(rig.queries(), QList<int>({0, 1, 4, 5}));
    }

    void pollingPeriod_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("ms");
        QTest::newRow("design 3") << "3" << 3000;
        QTest::newRow("2.5") << "2.5" << 2500;
        QTest::newRow("no leading number") << "abc" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("half a millisecond to even 0") << "0.0005" << 0;
        QTest::newRow("1.5 ms to even 2") << "0.0015" << 2;
        QTest::newRow("2.5 ms to even 2") << "0.0025" << 2;
        QTest::newRow("1 ms") << "0.001" << 1;
        QTest::newRow("trailing text") << "3 s" << 3000;
        QTest::newRow("largest") << "65.535" << 65535;
        QTest::newRow("70 s clamped") << "70" << 65535;
        QTest::newRow("huge clamped") << "99999999999999999999999999" << 65535;
        QTest::newRow("negative clamped") << "-1" << 1;
        QTest::newRow("tiny negative reads as 0") << "-0.0004" << 0;
        QTest::newRow("comma is not a decimal point") << "2,5" << 2000;
    }

    void pollingPeriod()
    {
        QFETCH(QString, text);
        QFETCH(int, ms);
        QCOMPARE(DeviceOperations::pollingPeriodMs(text), ms);
    }
};

QTEST_GUILESS_MAIN(StatusTest)
#include "status_test.moc"
