// The main window offscreen: layout, the field store over the widgets, tabs,
// polling buttons, closing and the stored placement.

#include "desktop/demoport.h"
#include "desktop/simulatedport.h"
#include "desktop/startupsettings.h"
#include "desktop/stopsignals.h"
#include "device/operations.h"
#include "device/parametermap.h"
#include "link/link.h"
#include "link/portlookup.h"
#include "link/serialport.h"
#include "support/simprocess.h"
#include "text/stringtable.h"
#include "ui/drawingwindow.h"
#include "ui/layouttable.h"
#include "ui/mainwindow.h"
#include "ui/portpanel.h"
#include "ui/sectorgrid.h"
#include "ui/trafficview.h"
#include "ui/twips.h"
#include "ui/widgetfields.h"
#include "ui/windowstop.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSerialPort>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <tuple>

#include "support/captiontable.h"
#include "support/pty.h"
#include "support/screenshots.h"

#include <csignal>

namespace {

QString name(const char *n)
{
    return QString::fromLatin1(n);
}

QString zavctlPath()
{
    return QStringLiteral(ZAV_SIM_PATH)
        .replace(QStringLiteral("tools/zav-sim/zav-sim"), QStringLiteral("tools/zavctl/zavctl"));
}

// The request frames the simulator received since the mark, as hex without the note.
QStringList requestsSince(SimProcess &sim, int mark)
{
    QStringList frames;
    const QStringList log = sim.frameLog();
    for (qsizetype i = mark; i < log.size(); ++i) {
        const qsizetype rx = log[i].indexOf(QLatin1String(" RX "));
        if (rx >= 0)
            frames << log[i].mid(rx + 4, 23);
    }
    return frames;
}

// The page frame a widget lies on (1..5), 0 outside the pages.
int pageOfWidget(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (w->objectName().startsWith(QLatin1String("FrameP(")))
            return w->objectName().mid(7, 1).toInt();
    }
    return 0;
}

// What the technician can see of the window: a control that is not hidden, in
// frames that are not hidden, on a page whose tab is there (page frames other
// than the current one are hidden only until their tab is picked).
bool seenByTheTechnician(frmMain &window, const QString &control)
{
    QWidget *widget = window.fields().widget(control);
    if (!widget)
        return false;
    const int page = pageOfWidget(widget);
    QWidget *top = page ? window.fields().widget(arrayName("FrameP", page)) : &window;
    if (!widget->isVisibleTo(top))
        return false;
    auto *tabs = qobject_cast<QTabBar *>(window.fields().widget(QStringLiteral("TabStrip1")));
    return page == 0 || tabs->count() >= page;
}

// Notes and closes every dialog and message box as it comes up: "open" or "save"
// for a file dialog, the text of a message box.
struct ModalCloser
{
    QStringList seen;
    QTimer timer;

    ModalCloser()
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
                seen << (dialog->acceptMode() == QFileDialog::AcceptOpen ? QStringLiteral("open")
                                                                         : QStringLiteral("save"));
                dialog->reject();
            } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                seen << box->text();
                box->reject();
            } else if (auto *other = qobject_cast<QDialog *>(modal)) {
                seen << other->windowTitle();
                other->reject();
            }
        });
        timer.start();
    }
};

// What the window shows: every control of the layout with its text, caption, list
// choice, check and visibility, the page tabs and the sector grid's cells. The
// status line, the port list and the traffic box are left out.
QStringList windowSnapshot(frmMain &window)
{
    WidgetFields &f = window.fields();
    QStringList lines;
    for (const LayoutItem &item : mainLayout()) {
        const QString control = name(item.name);
        if (control == QLatin1String("TDebug") || control == QLatin1String("ComboCom"))
            continue;
        lines << QStringLiteral("%1 text=%2 caption=%3 index=%4 value=%5 visible=%6")
                     .arg(control, f.text(control), f.caption(control))
                     .arg(f.listIndex(control))
                     .arg(f.value(control))
                     .arg(f.isVisible(control));
    }
    lines << QStringLiteral("tabs=") + f.listEntries(QStringLiteral("TabStrip1")).join(QLatin1Char('|'));
    auto *grid = qobject_cast<SectorGridWidget *>(f.widget(QStringLiteral("MSFlexGridPautas")));
    for (int row = 1; row < SectorGrid::kRows; ++row) {
        QStringList cells;
        for (int column = 1; column < SectorGrid::kColumns; ++column)
            cells << grid->cellText(row, column);
        lines << QStringLiteral("row %1: ").arg(row) + cells.join(QLatin1Char(' '));
    }
    return lines;
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    Pty m_pty;
    StartupSettings m_settings;
    std::unique_ptr<frmMain> m_window;

    frmMain &window() { return *m_window; }
    WidgetFields &fields() { return m_window->fields(); }

    // A fresh window started with another factory code.
    void restart(qint16 factoryCode)
    {
        m_window.reset();
        m_settings = StartupSettings{};
        m_settings.FactoryCode = factoryCode;
        m_window = std::make_unique<frmMain>(m_settings, m_dir.filePath(QStringLiteral("zav.ini")));
        m_window->setCalibrationEnabled(false);
        m_window->Form_Load();
    }

    // Puts "Com2:" on the simulator.
    void useSimulator(SimProcess &sim)
    {
        qputenv("ZAV_COM2", sim.devicePath().toLocal8Bit());
        fields().setListIndex(QStringLiteral("ComboCom"), 1);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           m_dir.filePath(QStringLiteral("store")));
        QVERIFY(!m_pty.slave.isEmpty());
        qputenv("ZAV_COM1", m_pty.slave.toLocal8Bit());
    }

    void init()
    {
        m_settings = StartupSettings{};
        m_window = std::make_unique<frmMain>(m_settings, m_dir.filePath(QStringLiteral("zav.ini")));
        m_window->setCalibrationEnabled(false);
        QCOMPARE(fields().statusLine(), QStringLiteral("Estado"));
        m_window->Form_Load();
    }

    void cleanup()
    {
        m_window.reset();
        QSettings(QStringLiteral("ZAV"), QStringLiteral("ZAV")).clear();
    }

    void captionAndFixedSize()
    {
        QCOMPARE(window().windowTitle(), QStringLiteral("ZAV 1.3.5  "));
        QVERIFY(window().isVisible());
        QCOMPARE(window().minimumSize(), window().maximumSize());
        QVERIFY(!(window().windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window().windowFlags() & Qt::WindowMinimizeButtonHint);
    }

    // Every control lies inside its parent, so nothing of the layout is cut off.
    void layoutFitsItsFrames()
    {
        for (const LayoutItem &item : mainLayout()) {
            QWidget *w = fields().widget(name(item.name));
            QVERIFY2(w, item.name);
            QWidget *parent = w->parentWidget();
            const QRect inParent(QPoint(0, 0), parent->size());
            QVERIFY2(inParent.contains(w->geometry()), qPrintable(QStringLiteral("%1 %2 outside %3 %4")
                                                                      .arg(name(item.name))
                                                                      .arg(QVariant(w->geometry()).toString())
                                                                      .arg(parent->objectName())
                                                                      .arg(QVariant(inParent).toString())));
        }
    }

    void startsOnPageOneWithParameterFieldsHidden()
    {
        QCOMPARE(window().CurrentPage(), 1);
        QVERIFY(fields().isVisible(QStringLiteral("FrameP(1)")));
        for (int page = 2; page <= 5; ++page)
            QVERIFY(!fields().isVisible(arrayName("FrameP", page)));
        for (const LayoutItem &item : mainLayout()) {
            if (item.hiddenAtStep == 8 || item.hiddenAtStep == 13)
                QVERIFY2(!fields().isVisible(name(item.name)), item.name);
        }
        // Step 7 hid eight indicator rows; the changer rule for "CX1" then showed
        // the last-lamp-alarm, lamp-ON and lamp-alarm rows again.
        for (const char *hidden :
             {"label1(9)", "LedAzulLampara1", "label1(10)", "label1(2)", "label1(4)", "label1(7)"})
            QVERIFY2(!fields().isVisible(name(hidden)), hidden);
        for (const char *shown : {"label1(1)", "LedRojoPrealarmaLampara", "label1(5)", "label1(6)"})
            QVERIFY2(fields().isVisible(name(shown)), shown);
        // Hidden fields keep their design texts.
        QCOMPARE(fields().text(QStringLiteral("TFotocelulaInterior")), QStringLiteral("10"));
        QCOMPARE(fields().text(QStringLiteral("TNumeroID")), QStringLiteral("0"));
        for (const char *shown : {"Frame1(0)", "CInterrogar", "ComboCom", "Label(17)", "LedOn", "LedOff",
                                  "LedTimerON", "label1(0)", "CLeer", "Csalir", "PictureInicio"})
            QVERIFY2(fields().isVisible(name(shown)), shown);
        QVERIFY(!fields().isVisible(QStringLiteral("ComboIdioma")));
    }

    void listsHaveTheirFirstEntries()
    {
        QCOMPARE(fields().listEntries(QStringLiteral("ComboCom")).size(), 9);
        QCOMPARE(fields().listIndex(QStringLiteral("ComboCom")), 0);
        QCOMPARE(fields().listIndex(QStringLiteral("ComboIdioma")), 0);
        QCOMPARE(fields().text(QStringLiteral("ComboTipoCambiador")), QStringLiteral("CX1"));
        QCOMPARE(fields().listIndex(QStringLiteral("cmbModofuncionamiento")), 0);
        // The function-mode rule ran: night attenuation off for "Night ON".
        QVERIFY(!fields().isEnabled(QStringLiteral("txtAtenuacionNocturna")));
    }

    void hintIsAboveThePanelAndTheTabStrip()
    {
        QWidget *hint = fields().widget(QStringLiteral("PictureInicio"));
        const QObjectList siblings = hint->parentWidget()->children();
        const auto at = [&](const char *n) { return siblings.indexOf(fields().widget(name(n))); };
        QVERIFY(at("PictureInicio") > at("Frame1(0)"));
        QVERIFY(at("PictureInicio") > at("TabStrip1"));
        QVERIFY(at("PictureInicio") > at("FrameP(1)"));
        QCOMPARE(hint->pos(), QPoint(twipsToPixels(1800), twipsToPixels(2760)));
    }

    // The status captions of page 3 keep their larger face when the captions are loaded.
    void indicatorCaptionsKeepTheirFace()
    {
        for (const char *caption : {"label1(0)", "label1(8)", "label1(3)"})
            QCOMPARE(fields().widget(name(caption))->font().pointSizeF(), 9.75);
        QCOMPARE(fields().widget(QStringLiteral("Label(17)"))->font().pointSizeF(), 8.25);
    }

    void tabSwitchShowsOnePage()
    {
        auto *tabs = qobject_cast<QTabBar *>(fields().widget(QStringLiteral("TabStrip1")));
        QCOMPARE(tabs->count(), 4);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
        QCOMPARE(window().CurrentPage(), 3);
        QVERIFY(fields().isVisible(QStringLiteral("FrameP(3)")));
        QVERIFY(!fields().isVisible(QStringLiteral("FrameP(1)")));

        // The same tab again changes nothing.
        fields().setListIndex(QStringLiteral("TabStrip1"), 2);
        QCOMPARE(window().CurrentPage(), 3);
        QVERIFY(fields().isVisible(QStringLiteral("FrameP(3)")));

        fields().setListIndex(QStringLiteral("TabStrip1"), 3);
        QCOMPARE(window().CurrentPage(), 4);
        QVERIFY(fields().isVisible(QStringLiteral("FrameP(4)")));
        QVERIFY(!fields().isVisible(QStringLiteral("FrameP(3)")));

        // Identification adds the fifth tab through the tab list.
        QStringList entries = fields().listEntries(QStringLiteral("TabStrip1"));
        fields().setListEntries(QStringLiteral("TabStrip1"), entries << QStringLiteral("Visualization"));
        QCOMPARE(tabs->count(), 5);
        QCOMPARE(window().CurrentPage(), 4);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(4).center());
        QCOMPARE(window().CurrentPage(), 5);
        QVERIFY(fields().isVisible(QStringLiteral("FrameP(5)")));
    }

    void focusFieldBringsItsPageForward()
    {
        fields().setListIndex(QStringLiteral("TabStrip1"), 2);
        fields().setVisible(QStringLiteral("TLuxON"), true);
        fields().focusField(QStringLiteral("TLuxON"));
        QCOMPARE(window().CurrentPage(), 1);
        QCOMPARE(fields().listIndex(QStringLiteral("TabStrip1")), 0);
    }

    void listSelectionFromCodeRunsTheHandlerEveryTime()
    {
        int runs = 0;
        fields().setClickHandler(QStringLiteral("ComboTipoLampara1"), [&] { ++runs; });
        fields().setListIndex(QStringLiteral("ComboTipoLampara1"), 1);
        fields().setListIndex(QStringLiteral("ComboTipoLampara1"), 1);
        QCOMPARE(runs, 2);
        QCOMPARE(fields().text(QStringLiteral("ComboTipoLampara1")), QStringLiteral("AC"));

        // The user's pick runs it too.
        auto *combo = qobject_cast<QComboBox *>(fields().widget(QStringLiteral("ComboTipoLampara1")));
        combo->activated(0);
        QCOMPARE(runs, 3);

        // Typed text that is no entry leaves the list without a choice.
        fields().setText(QStringLiteral("ComboTipoLampara1"), QStringLiteral("XY"));
        QCOMPARE(fields().listIndex(QStringLiteral("ComboTipoLampara1")), -1);
        fields().setText(QStringLiteral("ComboTipoLampara1"), QStringLiteral("DC"));
        QCOMPARE(fields().listIndex(QStringLiteral("ComboTipoLampara1")), 0);
    }

    void changerRuleRunsOnSelection()
    {
        fields().setVisible(QStringLiteral("ComboTipoCambiador"), true);
        fields().setListIndex(QStringLiteral("ComboTipoCambiador"), 3); // LED
        QVERIFY(fields().isVisible(QStringLiteral("TPWMLed")));
        QVERIFY(fields().isVisible(QStringLiteral("label1(6)")));
        QVERIFY(!fields().isVisible(QStringLiteral("Frame1(2)")));
        // The mains-failure Off button is not inside its frame and is hidden by itself.
        QVERIFY(!fields().isVisible(QStringLiteral("CFalloRedOff")));
    }

    void typingIntoThePortListTriesThePort()
    {
        QTest::keyClicks(qobject_cast<QComboBox *>(fields().widget(QStringLiteral("ComboCom")))->lineEdit(),
                         QStringLiteral("x"));
        // No such entry: the trial fails and falls back to Com1 (the pseudo-terminal).
        QCOMPARE(fields().listIndex(QStringLiteral("ComboCom")), 0);
        QCOMPARE(fields().statusLine(), QStringLiteral("Serial Port  1"));
    }

    void checkBoxValues()
    {
        fields().setValue(QStringLiteral("chkEstado"), 1);
        QCOMPARE(fields().value(QStringLiteral("chkEstado")), 1);
        fields().setValue(QStringLiteral("chkEstado"), 2);
        QCOMPARE(fields().value(QStringLiteral("chkEstado")), 2);
        QCOMPARE(qobject_cast<QCheckBox *>(fields().widget(QStringLiteral("chkEstado")))->checkState(),
                 Qt::PartiallyChecked);
        fields().setValue(QStringLiteral("chkEstado"), 0);
        QCOMPARE(fields().value(QStringLiteral("chkEstado")), 0);
    }

    // The identifier's text box holds every byte value and gives it back; a
    // character typed among the zero-byte placeholders changes only its own byte.
    void identifierTextBoxKeepsEveryByte()
    {
        const QString name = QStringLiteral("TIdentificacion");
        for (int first = 0; first < 256; first += 16) {
            ParameterImage image{};
            for (int k = 0; k < 16; ++k)
                image[size_t(231 + k)] = first + k;
            ReadMapping(fields(), image, MappingMode::FileOpen);
            const ParameterImage back = WriteMapping(fields(), MappingMode::WriteAll);
            for (int k = 0; k < 16; ++k)
                QCOMPARE(back[size_t(231 + k)], qint64(first + k));
        }

        ParameterImage image{};
        image[231] = 'Z';
        image[232] = 'A';
        image[233] = 'V';
        ReadMapping(fields(), image, MappingMode::FileOpen);
        auto *edit = qobject_cast<QLineEdit *>(fields().widget(name));
        QVERIFY(edit);
        edit->setFocus();
        edit->setCursorPosition(3);
        QTest::keyClick(edit, Qt::Key_7);
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, Qt::Key_Backspace);
        image[234] = '7';
        const ParameterImage back = WriteMapping(fields(), MappingMode::WriteAll);
        for (int k = 0; k < 16; ++k)
            QCOMPARE(back[size_t(231 + k)], image[size_t(231 + k)]);
    }

    void unknownFieldDoesNotCrash()
    {
        QTest::ignoreMessage(QtWarningMsg,
                             "WidgetFields: no control named TNoSuchBox; its value is kept in memory");
        fields().setText(QStringLiteral("TNoSuchBox"), QStringLiteral("5"));
        QCOMPARE(fields().text(QStringLiteral("TNoSuchBox")), QStringLiteral("5"));
    }

    void pollingOnAndOff_data()
    {
        QTest::addColumn<QString>("period");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("interval");
        QTest::newRow("2.5 s") << "2.5" << true << 2500;
        QTest::newRow("3 s") << "3" << true << 3000;
        QTest::newRow("no number") << "abc" << false << 0;
        QTest::newRow("zero") << "0" << false << 0;
    }

    void pollingOnAndOff()
    {
        QFETCH(QString, period);
        QFETCH(bool, running);
        QFETCH(int, interval);
        QVERIFY(!window().TimerEstado().isActive());
        fields().setText(QStringLiteral("TTiempoModoVerboso"), period);
        QTest::mouseClick(qobject_cast<QPushButton *>(fields().widget(QStringLiteral("CModoVerboso"))),
                          Qt::LeftButton);
        QVERIFY(!fields().isEnabled(QStringLiteral("CModoVerboso")));
        QCOMPARE(window().TimerEstado().isActive(), running);
        if (running)
            QCOMPARE(window().TimerEstado().interval(), interval);
        QTest::mouseClick(qobject_cast<QPushButton *>(fields().widget(QStringLiteral("Command1"))),
                          Qt::LeftButton);
        QVERIFY(!window().TimerEstado().isActive());
        QVERIFY(fields().isEnabled(QStringLiteral("CModoVerboso")));
    }

    void dialogsAreRefusedWhileTheLinkIsBusy()
    {
        QVERIFY(window().link().tryBegin());
        // Neither the file dialog nor the colour chooser may open inside a reply wait.
        QTest::mouseClick(qobject_cast<QPushButton *>(fields().widget(QStringLiteral("CAbrir"))),
                          Qt::LeftButton);
        QCOMPARE(fields().statusLine(), DeviceOperations::busyText());
        fields().setStatusLine(QString());
        QTest::mouseClick(fields().widget(QStringLiteral("LColor(2)")), Qt::LeftButton);
        QCOMPARE(fields().statusLine(), DeviceOperations::busyText());
        QVERIFY(!QApplication::activeModalWidget());
        window().link().end();
    }

    void closingWhileTheLinkIsBusyWaitsForIt()
    {
        QVERIFY(window().link().tryBegin());
        window().close();
        QVERIFY(window().isVisible());
        QVERIFY(window().link().aborted());
        window().link().end();
        QTRY_VERIFY(!window().isVisible());
    }

    // Logout sends SIGTERM while a request waits for its answer and a box waits
    // for OK: the box goes, the answer is taken, and then the window goes as from
    // its close box, cutting the operation short and letting the port go.
    void stopSignalClosesThePortAfterTheAnswer()
    {
        WindowStop windowStop(window());
        StopSignals stopSignals;
        bool waitedForTheAnswer = false;
        stopSignals.caught = [&](int signal) {
            windowStop.onStopSignal(signal);
            waitedForTheAnswer = window().isVisible() && !window().link().aborted();
            const QByteArray reply = QByteArray::fromHex("4A51000105000700");
            QCOMPARE(::write(m_pty.master, reply.constData(), reply.size()), qsizetype(reply.size()));
        };
        QStringList traffic;
        window().traffic().addSink([&traffic](const QString &line) { traffic << line; });
        QVERIFY2(window().link().AbrirCom(), qPrintable(window().link().failureText()));
        QSerialPort other(m_pty.slave);
        QVERIFY(!other.open(QIODevice::ReadWrite));
        auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("ZAV"), QStringLiteral("OK?"),
                                    QMessageBox::Ok, &window());
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        const QPointer<QMessageBox> watch(box);

        QVERIFY(window().link().tryBegin());
        QTimer::singleShot(0, [] { std::raise(SIGTERM); });
        QCOMPARE(window().link().ExchangeFrame({0, 1, 5, 0}).Status, kAck);
        QVERIFY(waitedForTheAnswer);
        // Closed at once; its deletion may wait for the next turn of the event loop.
        QVERIFY(watch.isNull() || !watch->isVisible());
        QVERIFY(window().link().aborted());
        window().link().end();
        QTRY_VERIFY(!window().isVisible());
        QVERIFY(!window().link().port().isOpen());
        QVERIFY2(other.open(QIODevice::ReadWrite), qPrintable(other.errorString()));
        const QStringList end = traffic.mid(traffic.indexOf(QRegularExpression(QStringLiteral(".* RX .*"))));
        QVERIFY2(end.size() >= 3 && end[1].endsWith(QLatin1String(" interrupted by SIGTERM")) &&
                     end.last().endsWith(QLatin1String(" port closed")),
                 qPrintable(traffic.join(QLatin1Char('\n'))));
        QCOMPARE(StopSignals::first(), SIGTERM);
    }

    void placementIsStoredWhenNormal()
    {
        QTest::mouseClick(qobject_cast<QPushButton *>(fields().widget(QStringLiteral("Csalir"))),
                          Qt::LeftButton);
        QVERIFY(!window().isVisible());
        QSettings store(QStringLiteral("ZAV"), QStringLiteral("ZAV"));
        store.beginGroup(QStringLiteral("Settings"));
        const QRect frame = window().frameGeometry();
        const QList<QPair<const char *, int>> expected = {{"MainLeft", frame.x()},
                                                          {"MainTop", frame.y()},
                                                          {"MainWidth", frame.width()},
                                                          {"MainHeight", frame.height()}};
        for (const auto &[key, pixels] : expected) {
            const QString text = store.value(name(key)).toString();
            QVERIFY2(!text.isEmpty(), key);
            QCOMPARE(text.toFloat(), float(pixelsToTwips(pixels)));
            QVERIFY2(!text.contains(QLatin1Char('e')) && !text.endsWith(QLatin1String(".0")),
                     qPrintable(text));
        }
    }

    // Far out on a wide desktop the twips are round numbers: still plain decimals.
    void placementFarOutIsPlainDecimal()
    {
        window().move(twipsToPixels(300000), twipsToPixels(600000));
        const QRect frame = window().frameGeometry();
        window().close();
        QSettings store(QStringLiteral("ZAV"), QStringLiteral("ZAV"));
        const QString left = store.value(QStringLiteral("Settings/MainLeft")).toString();
        const QString top = store.value(QStringLiteral("Settings/MainTop")).toString();
        QCOMPARE(left.toFloat(), float(pixelsToTwips(frame.x())));
        QCOMPARE(top.toFloat(), float(pixelsToTwips(frame.y())));
        for (const QString &text : {left, top})
            QVERIFY2(!text.contains(QLatin1Char('e')), qPrintable(text));
    }

    void placementIsNotStoredWhenMinimised()
    {
        window().showMinimized();
        QTRY_VERIFY(window().isMinimized());
        window().close();
        QSettings store(QStringLiteral("ZAV"), QStringLiteral("ZAV"));
        QVERIFY(!store.contains(QStringLiteral("Settings/MainLeft")));
    }

    // The buttons reach the operations: a read of a simulated CX2 lantern shows its
    // fields, hides the hint for good, and a refresh lights the indicators.
    void readButtonReadsTheSimulatedController()
    {
        SimProcess sim;
        QVERIFY2(sim.start(QStringLiteral("cx2"), {QStringLiteral("--no-line-rate")}),
                 qPrintable(sim.errorText()));
        qputenv("ZAV_COM2", sim.devicePath().toLocal8Bit());
        fields().setListIndex(QStringLiteral("ComboCom"), 1);
        QCOMPARE(fields().statusLine(), QStringLiteral("Serial Port  2"));
        // The periodic look (every 2 s) notices the new device; one look now does.
        window().portPanel().look();
        QCOMPARE(window().portPanel().routeLabel()->text(),
                 QStringLiteral("opens %1 (ZAV_COM2), present").arg(sim.devicePath()));

        QTest::mouseClick(qobject_cast<QPushButton *>(fields().widget(QStringLiteral("CLeer"))),
                          Qt::LeftButton);
        QCOMPARE(fields().statusLine(), QStringLiteral("Ended"));
        // The Communications page shows the frames of the read as they went.
        const QString traffic = window().trafficView().text();
        QVERIFY(traffic.contains(QStringLiteral(" Com2 -- port opened: ") + sim.devicePath()));
        QVERIFY(traffic.contains(QStringLiteral(" Com2 TX 4A 51 00 00 80 00 00 7F  try 1\n")));
        QVERIFY(traffic.contains(QStringLiteral(" Com2 TX 4A 51 00 00 01 11 00 EF  try 1\n")));
        QVERIFY(traffic.contains(
            QRegularExpression(QStringLiteral(" Com2 RX 4A 51 00 01 11 00 [0-9A-F]{2} [0-9A-F]{2}\n"))));
        QVERIFY(traffic.endsWith(QStringLiteral(" Com2 -- port closed")));
        QVERIFY(!fields().isVisible(QStringLiteral("PictureInicio")));
        QVERIFY(fields().isVisible(QStringLiteral("TModeloR")));
        QVERIFY(fields().isVisible(QStringLiteral("TLuxON")));
        QVERIFY(!fields().text(QStringLiteral("TLuxON")).isEmpty());
        QVERIFY(fields().isEnabled(QStringLiteral("CLeer")));
        QVERIFY(!window().link().busy());

        fields().setValue(QStringLiteral("chkEstado"), 1);
        QTest::mouseClick(qobject_cast<QPushButton *>(fields().widget(QStringLiteral("CInterrogar"))),
                          Qt::LeftButton);
        QCOMPARE(fields().statusLine(), QStringLiteral("End check"));

        QTest::mouseClick(qobject_cast<QPushButton *>(fields().widget(QStringLiteral("CDia"))),
                          Qt::LeftButton);
        QCOMPARE(fields().statusLine(), QStringLiteral(" ZAV is in day mode"));
        QVERIFY(window().grab().save(screenshotPath(QStringLiteral("zav-main-after-read.png"))));
    }

    // A read cut short by a hang-up, then a colour read that cannot start: what the
    // window shows stays as the last whole read left it, the failure stays in the
    // status line with what was left unchanged, and no firmware notice comes up.
    void unfinishedReadsLeaveTheWindowAsItWas()
    {
        ModalCloser closer;
        const auto click = [this](const char *button) {
            qobject_cast<QPushButton *>(fields().widget(name(button)))->click();
        };
        SimProcess sim;
        QVERIFY2(sim.start(QStringLiteral("cx2"), {QStringLiteral("--no-line-rate")}),
                 qPrintable(sim.errorText()));
        useSimulator(sim);
        click("CLeer");
        QCOMPARE(fields().statusLine(), QStringLiteral("Ended"));
        const QStringList before = windowSnapshot(window());
        QVERIFY(fields().text(QStringLiteral("TIdentificacion")).startsWith(QLatin1String("CX2")));

        // Other values, then the line goes in the read, after the identification.
        // (The simulator hangs up once the line is quiet: the request it leaves
        // unanswered makes it so at once.)
        QCOMPARE(sim.command(QStringLiteral("set u16 17 999")), QStringLiteral("ok"));
        QCOMPARE(sim.command(QStringLiteral("set param 252 0")), QStringLiteral("ok"));
        QCOMPARE(sim.command(QStringLiteral("fault silent 1:24")), QStringLiteral("ok"));
        QCOMPARE(sim.command(QStringLiteral("fault hangup-after 40")), QStringLiteral("ok"));
        click("CLeer");
        const QString lost = window().link().failureText();
        QVERIFY2(lost.contains(QLatin1String("the line was lost")), qPrintable(fields().statusLine()));
        QCOMPARE(fields().statusLine(), lost + QStringLiteral(" - read not finished, nothing was changed"));
        QCOMPARE(windowSnapshot(window()), before);
        QVERIFY(fields().isEnabled(QStringLiteral("CEscribir")));
        QVERIFY(window().grab().save(screenshotPath(QStringLiteral("zav-main-read-not-finished.png"))));

        // The device is gone with the hang-up: the colour read cannot start.
        // (Which banks a colour read cut short keeps is the transfer's own test.)
        click("CLeerColores");
        QCOMPARE(fields().statusLine(),
                 window().link().failureText() +
                     QStringLiteral(" - colour read not finished, nothing was changed"));
        QCOMPARE(windowSnapshot(window()), before);
        QVERIFY(closer.seen.isEmpty());
        QVERIFY(!window().link().busy());
    }

    // zav.ini on Com3, assigned to an adapter not plugged in: start-up falls back to
    // "Com1:" for the session, zav.ini keeps 3, the page says Com3 is not connected,
    // and the adapter plugged in makes "Com3:" the choice again.
    void assignedPortMissingAtStartUpIsKept()
    {
        const QString adapter = m_dir.filePath(QStringLiteral("usb-ZAV_adapter-if00"));
        PortLookup::system().assign(3, adapter);
        m_window.reset();
        m_settings = StartupSettings{};
        m_settings.PortNumber = 3;
        const QString ini = m_dir.filePath(QStringLiteral("zav.ini"));
        m_window = std::make_unique<frmMain>(m_settings, ini);
        m_window->setCalibrationEnabled(false);
        m_window->Form_Load();
        const auto stored = [&ini] {
            QFile file(ini);
            return file.open(QIODevice::ReadOnly) ? file.readAll().left(3) : QByteArray();
        };

        QCOMPARE(fields().listIndex(QStringLiteral("ComboCom")), 0);
        QCOMPARE(window().link().port().portNumber(), 1);
        QCOMPARE(stored(), QByteArray("3\r\n"));
        QCOMPARE(m_settings.PortNumber, qint16(3));
        window().portPanel().look();
        QVERIFY2(window().portPanel().routeLabel()->text().startsWith(QLatin1String("Com3: not connected; ")),
                 qPrintable(window().portPanel().routeLabel()->text()));
        // Another writer of zav.ini, the language list, keeps 3 as well.
        fields().setListIndex(QStringLiteral("ComboIdioma"), 1);
        QCOMPARE(stored(), QByteArray("3\r\n"));

        QVERIFY(QFile::link(m_pty.slave, adapter));
        window().portPanel().look();
        QCOMPARE(fields().listIndex(QStringLiteral("ComboCom")), 2);
        QCOMPARE(window().link().port().portNumber(), 3);
        QCOMPARE(fields().statusLine(), QStringLiteral("Serial Port  3"));
        QVERIFY2(window().portPanel().routeLabel()->text().startsWith(QLatin1String("opens ")),
                 qPrintable(window().portPanel().routeLabel()->text()));
        QCOMPARE(stored(), QByteArray("3\r\n"));
        QFile::remove(adapter);
    }

    // The demo where there are no pseudo-terminals: "Com1:" is the controller
    // inside the process, and Read ZAV fills the fields through the same link.
    void demoReadsTheInProcessController()
    {
        const QByteArray com1 = qgetenv("ZAV_COM1");
        const auto restore = qScopeGuard([com1] { qputenv("ZAV_COM1", com1); });
        qputenv("ZAV_COM1", SimulatedPort::deviceLabel().toLocal8Bit());
        PortLookup::system().addInProcessDevice(SimulatedPort::deviceLabel());
        ControllerState controller;
        QString error;
        QVERIFY2(SimulatedPort::loadProfile(QStringLiteral("cx2"), &controller, &error), qPrintable(error));
        LineOptions quick;
        quick.lineRate = false;
        m_window.reset();
        m_settings = StartupSettings{};
        m_window = std::make_unique<frmMain>(
            m_settings, m_dir.filePath(QStringLiteral("zav.ini")),
            [controller, quick](Clock &clock) -> std::unique_ptr<SerialPort> {
                return std::make_unique<DemoPort>(createSystemSerialPort(),
                                                  std::make_unique<SimulatedPort>(clock, controller, quick));
            });
        m_window->setCalibrationEnabled(false);
        m_window->Form_Load();
        QCOMPARE(fields().statusLine(), QStringLiteral("Serial Port  1"));
        QCOMPARE(window().portPanel().routeLabel()->text(),
                 QStringLiteral("opens simulated controller (ZAV_COM1), present"));

        QTest::mouseClick(qobject_cast<QPushButton *>(fields().widget(QStringLiteral("CLeer"))),
                          Qt::LeftButton);
        QCOMPARE(fields().statusLine(), QStringLiteral("Ended"));
        QVERIFY(fields().isVisible(QStringLiteral("TLuxON")));
        QCOMPARE(fields().text(QStringLiteral("TLuxON")), QStringLiteral("50"));
        QCOMPARE(fields().text(QStringLiteral("TIdentificacion")).trimmed(),
                 QStringLiteral("CX2 PORT LIGHT"));
        const QString traffic = window().trafficView().text();
        QVERIFY(traffic.contains(QStringLiteral(" Com1 -- port opened: simulated controller")));
        QVERIFY(traffic.contains(QStringLiteral(" Com1 RX 4A 51 00 01 11 00 01 EE\n")));
    }

    // Hours of polling keep only the last lines in the box; they save and clear.
    // The progress digits stand out at 4.5:1 or more from the fill and from the groove.
    void progressDigitsReadOnBothSidesOfTheFill()
    {
        auto *bar = window().findChild<QProgressBar *>(QStringLiteral("OperationProgress"));
        QVERIFY(bar);
        bar->setRange(0, 100);
        bar->setValue(50);
        bar->setFormat(QStringLiteral("88888888888888888888888888"));
        bar->show();
        const QImage image = bar->grab().toImage();
        const auto luminance = [](QRgb c) {
            const auto linear = [](int v) {
                const double s = v / 255.0;
                return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * linear(qRed(c)) + 0.7152 * linear(qGreen(c)) + 0.0722 * linear(qBlue(c));
        };
        const auto contrast = [&](QRgb a, QRgb b) {
            const double x = luminance(a) + 0.05, y = luminance(b) + 0.05;
            return std::max(x, y) / std::min(x, y);
        };
        const int middle = image.height() / 2;
        const int edge = image.width() / 2;
        // Each side's ground beside the border, then its strongest digit pixel.
        for (const auto &[from, to, ground] :
             {std::tuple{3, edge - 2, image.pixel(3, middle)},
              std::tuple{edge + 2, image.width() - 3, image.pixel(image.width() - 4, middle)}}) {
            double best = 1;
            for (int y = 3; y < image.height() - 3; ++y)
                for (int x = from; x < to; ++x)
                    best = std::max(best, contrast(image.pixel(x, y), ground));
            QVERIFY2(best >= 4.5, qPrintable(QStringLiteral("digits at %1:1 from x %2").arg(best).arg(from)));
        }
        bar->hide();
    }

    // A long device name gives way in its middle; the state stays at the end of the
    // line and the whole line is in the tooltip.
    void portLineKeepsItsStateInView()
    {
        const QString device = QStringLiteral(
            "/dev/serial/by-id/usb-Prolific_Technology_Inc._USB-Serial_Controller_D-if00-port0-no-such");
        const QByteArray pty = qgetenv("ZAV_COM1");
        qputenv("ZAV_COM1", device.toLocal8Bit());
        window().portPanel().look();
        const QLabel *line = window().portPanel().routeLabel();
        const QString shown = line->text(), tip = line->toolTip();
        qputenv("ZAV_COM1", pty);
        window().portPanel().look();
        QVERIFY2(shown.endsWith(QLatin1String("(ZAV_COM1), not connected")), qPrintable(shown));
        QVERIFY(shown.contains(QChar(0x2026)));
        QVERIFY(line->fontMetrics().horizontalAdvance(shown) <= line->contentsRect().width());
        QVERIFY2(tip.startsWith(QStringLiteral("opens %1 (ZAV_COM1), not connected\n").arg(device)),
                 qPrintable(tip));
    }

    void trafficBoxKeepsTheLastLines()
    {
        TrafficView &view = window().trafficView();
        const int lines = TrafficView::kMaxLines + 1000;
        for (int i = 1; i <= lines; ++i) {
            view.append(QStringLiteral("line %1").arg(i));
            if (i % 2500 == 0)
                QCoreApplication::processEvents();
        }
        const QStringList shown = view.text().split(QLatin1Char('\n'));
        QCOMPARE(shown.size(), TrafficView::kMaxLines);
        QCOMPARE(shown.last(), QStringLiteral("line %1").arg(lines));
        const QString path = m_dir.filePath(QStringLiteral("traffic.txt"));
        QString error;
        QVERIFY2(view.saveTo(path, &error), qPrintable(error));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), (shown.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        view.clear();
        QVERIFY(view.text().isEmpty());
        QVERIFY(qobject_cast<QPlainTextEdit *>(fields().widget(QStringLiteral("TDebug")))->isReadOnly());
    }

    // Every caption of the window against the table written out by hand: the
    // layout names the right string-table text (or fixed text) for each control,
    // and the window shows it in the user's language (English here; the start-up
    // test walks it in French, the string-table test every text in every version).
    void everyCaptionComesFromItsText()
    {
        QSet<QString> listed;
        for (const ExpectedCaption &expected : kExpectedCaptions) {
            const QString control = name(expected.control);
            QVERIFY2(!listed.contains(control), expected.control);
            listed.insert(control);
            const auto layout = mainLayout();
            const auto item = std::find_if(layout.begin(), layout.end(),
                                           [&](const LayoutItem &i) { return control == name(i.name); });
            QVERIFY2(item != layout.end(), expected.control);
            QVERIFY2(item->captionId == expected.id, expected.control);
            const QString want = expected.id ? LoadText(expected.id) : QString::fromUtf8(expected.fixed);
            if (!expected.id)
                QVERIFY2(item->caption && QString::fromUtf8(item->caption) == want, expected.control);
            QVERIFY2(
                fields().caption(control) == want,
                qPrintable(
                    QStringLiteral("%1: \"%2\", not \"%3\"").arg(control, fields().caption(control), want)));
        }
        // No caption of the layout is missing from the table.
        for (const LayoutItem &item : mainLayout()) {
            if (item.captionId != 0 || item.caption)
                QVERIFY2(listed.contains(name(item.name)), item.name);
        }

        QStringList tabs;
        for (int i = 0; i < 4; ++i)
            tabs << LoadText(kExpectedTabIds[i]);
        QCOMPARE(fields().listEntries(QStringLiteral("TabStrip1")), tabs);
        for (const ExpectedList &list : kExpectedLists) {
            QStringList entries;
            for (int i = 0; i < 3; ++i) {
                if (i == 0 && list.fixedFirst)
                    entries << QString::fromUtf8(list.fixedFirst);
                else if (list.ids[i] != 0)
                    entries << LoadText(list.ids[i]);
            }
            QCOMPARE(fields().listEntries(name(list.list)), entries);
        }
        QVERIFY(window().helpFile().endsWith(QLatin1Char('/') + LoadText(2000)));
    }

    // Every button of the window runs its own handler. Clicked one after the other
    // in a factory-mode window (every command group shown) against a simulated
    // controller, each puts its own first frame on the line or shows its own effect.
    void everyButtonRunsItsHandler()
    {
        enum class Effect
        {
            Frame,
            TimerOn,
            TimerOff,
            TableCleared,
            Drawing,
            OpenDialog,
            SaveDialog,
            Help,
            Closes,
        };
        struct Case
        {
            const char *button;
            Effect effect;
            const char *firstFrame; // the request's first bytes, hex
        };
        // clang-format off
        const Case cases[] = {
            {"CLeer",              Effect::Frame, "4A 51 00 00 80 00 00 7F"}, // identification first
            {"CEscribir",          Effect::Frame, "4A 51 00 00 02 1B 01 E7"}, // changer type first
            {"CInterrogar",        Effect::Frame, "4A 51 00 00 05 00 00 FA"},
            {"CCambioLamparaOn",   Effect::Frame, "4A 51 00 00 06 00 01 F8"},
            {"CCambioLamparaOff",  Effect::Frame, "4A 51 00 00 06 00 00 F9"},
            {"CNormal",            Effect::Frame, "4A 51 00 00 06 01 00 F8"},
            {"CNoche",             Effect::Frame, "4A 51 00 00 06 01 02 FA"},
            {"CDia",               Effect::Frame, "4A 51 00 00 06 01 01 F9"},
            {"CFalloRedOn",        Effect::Frame, "4A 51 00 00 06 02 01 FA"},
            {"CFalloRedOff",       Effect::Frame, "4A 51 00 00 06 02 00 FB"},
            {"btnTelemandoMotor1", Effect::Frame, "4A 51 00 00 06 03 00 FA"},
            {"btnTelamandoMotor2", Effect::Frame, "4A 51 00 00 06 03 01 FB"},
            {"CLeerColores",       Effect::Frame, "4A 51 00 00 87 00 00 78"}, // bank 1, address 0
            {"CEscribirColores",   Effect::Frame, "4A 51 00 00 83 00"},       // bank 1, address 0
            {"CBorrarTabla",       Effect::TableCleared, nullptr},
            {"Command2",           Effect::Drawing, nullptr},
            {"CModoVerboso",       Effect::TimerOn, nullptr},
            {"Command1",           Effect::TimerOff, nullptr},
            {"CAbrir",             Effect::OpenDialog, nullptr},
            {"CGuardar",           Effect::SaveDialog, nullptr},
            {"CAyuda",             Effect::Help, nullptr},
            {"Csalir",             Effect::Closes, nullptr},
        };
        // clang-format on
        QSet<QString> listed;
        for (const Case &c : cases)
            listed.insert(name(c.button));
        for (const LayoutItem &item : mainLayout()) {
            if (item.kind == ControlKind::Button)
                QVERIFY2(listed.contains(name(item.name)), item.name);
        }
        QCOMPARE(listed.size(), qsizetype(std::size(cases)));

        // A CX2 changer (its rule shows the mains-failure group) and the fifth page;
        // few parameters, so the read and the write are short.
        const QString profile = m_dir.filePath(QStringLiteral("buttons.txt"));
        {
            QFile file(profile);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("present 27 225 252\nparam 27 1\nparam 252 50\n");
        }
        restart(731);
        SimProcess sim;
        QVERIFY2(sim.start(profile, {QStringLiteral("--no-line-rate")}), qPrintable(sim.errorText()));
        useSimulator(sim);
        fields().setValue(QStringLiteral("chkEstado"), 1);

        // Help starts a stand-in viewer that notes the file it was given.
        const QString viewer = m_dir.filePath(QStringLiteral("viewer.sh"));
        const QString viewerNote = m_dir.filePath(QStringLiteral("viewer-argument.txt"));
        {
            QFile script(viewer);
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\nprintf '%s' \"$1\" > \"$0-note.tmp\" && mv \"$0-note.tmp\" \"" +
                         viewerNote.toLocal8Bit() + "\"\n");
            script.close();
            QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner));
        }
        const QByteArray oldViewer = qgetenv("ZAV_HELP_VIEWER");
        qputenv("ZAV_HELP_VIEWER", viewer.toLocal8Bit());

        ModalCloser closer;
        QStringList &modals = closer.seen;

        auto *grid = qobject_cast<SectorGridWidget *>(fields().widget(QStringLiteral("MSFlexGridPautas")));
        QVERIFY(grid);
        for (const Case &c : cases) {
            const QString button = name(c.button);
            auto *widget = qobject_cast<QAbstractButton *>(fields().widget(button));
            QVERIFY2(widget, c.button);
            // Its page in front, as the technician would have it.
            if (const int page = pageOfWidget(widget))
                fields().setListIndex(QStringLiteral("TabStrip1"), page - 1);
            QVERIFY2(seenByTheTechnician(window(), button), c.button);
            QVERIFY2(widget->isVisible() && widget->isEnabled(), c.button);

            if (c.effect == Effect::TableCleared)
                grid->setCellText(1, 1, QStringLiteral("045"));
            FormDibujo::closeIfOpen();
            modals.clear();
            const int mark = int(sim.frameLog().size());

            QTest::mouseClick(widget, Qt::LeftButton);

            const QStringList sent = requestsSince(sim, mark);
            switch (c.effect) {
            case Effect::Frame:
                QVERIFY2(sent.value(0).startsWith(QLatin1String(c.firstFrame)),
                         qPrintable(button + QStringLiteral(" sent ") + sent.value(0)));
                break;
            case Effect::TimerOn:
                QVERIFY2(window().TimerEstado().isActive(), c.button);
                break;
            case Effect::TimerOff:
                QVERIFY2(!window().TimerEstado().isActive(), c.button);
                QVERIFY2(fields().isEnabled(QStringLiteral("CModoVerboso")), c.button);
                break;
            case Effect::TableCleared:
                QVERIFY2(grid->cellText(1, 1).isEmpty(), c.button);
                break;
            case Effect::Drawing:
                QVERIFY2(FormDibujo::instance(), c.button);
                FormDibujo::closeIfOpen();
                break;
            case Effect::OpenDialog:
                QTRY_COMPARE(modals, QStringList{QStringLiteral("open")});
                break;
            case Effect::SaveDialog:
                QTRY_COMPARE(modals, QStringList{QStringLiteral("save")});
                break;
            case Effect::Help: {
                QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(viewerNote), 5000);
                QFile note(viewerNote);
                QVERIFY(note.open(QIODevice::ReadOnly));
                QCOMPARE(QString::fromLocal8Bit(note.readAll()), window().helpFile());
                break;
            }
            case Effect::Closes:
                QVERIFY2(!window().isVisible(), c.button);
                break;
            }
            if (c.effect != Effect::Frame)
                QVERIFY2(sent.isEmpty(),
                         qPrintable(button + QStringLiteral(" sent ") + sent.join(QLatin1Char(','))));
            if (c.effect != Effect::OpenDialog && c.effect != Effect::SaveDialog)
                QVERIFY2(modals.isEmpty(),
                         qPrintable(button + QStringLiteral(": ") + modals.join(QLatin1Char(','))));
            QVERIFY2(!window().link().busy(), c.button);
        }
        qputenv("ZAV_HELP_VIEWER", oldViewer);
    }

    // zavctl lists exactly the parameter fields the window shows after a read of
    // the same controller with the same factory code.
    void zavctlListsWhatTheWindowShows_data()
    {
        QTest::addColumn<QString>("profile"); // a shipped profile's name, or a profile's text
        QTest::addColumn<int>("factoryCode");
        QTest::addColumn<QStringList>("mustShow");

        // The identity's bits and the fifth page (bit 225 adds its tab) with its fields.
        const QString identityOnly = QStringLiteral("present 221-225 240 250 255\n"
                                                    "text 231 16 HARBOUR LIGHT 7\n"
                                                    "u16 249 877\n"
                                                    "u16 254 4321\n"
                                                    "param 224 36\n");
        QTest::newRow("identifier, ID and manufacturer bits, factory")
            << identityOnly << 731
            << QStringList{"TIdentificacion", "TNumeroFabricacion", "TNumeroID", "TDientesDisco"};
        QTest::newRow("identifier, ID and manufacturer bits")
            << identityOnly << 0
            << QStringList{"TGradosOffset", "TLuminosidadLeds", "TDientesDisco", "TIdentificacion",
                           "TNumeroID"};
        QTest::newRow("motor type only")
            << QStringLiteral("present 50\n") << 0 << QStringList{"ComboTipoMotor", "TVelocidadUsuario1"};
        QTest::newRow("full, factory")
            << QStringLiteral("full") << 731 << QStringList{"ComboTipoCambiador", "TLuminosidadLeds"};
    }

    void zavctlListsWhatTheWindowShows()
    {
        QFETCH(QString, profile);
        QFETCH(int, factoryCode);
        QFETCH(QStringList, mustShow);

        if (profile.contains(QLatin1Char('\n'))) {
            const QString path = m_dir.filePath(QStringLiteral("profile.txt"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(profile.toUtf8());
            profile = path;
        }
        SimProcess sim;
        QVERIFY2(sim.start(profile, {QStringLiteral("--no-line-rate")}), qPrintable(sim.errorText()));

        restart(qint16(factoryCode));
        useSimulator(sim);
        ModalCloser closer; // the notice of an old firmware
        QTest::mouseClick(qobject_cast<QPushButton *>(fields().widget(QStringLiteral("CLeer"))),
                          Qt::LeftButton);
        QCOMPARE(fields().statusLine(), QStringLiteral("Ended"));
        QStringList shown;
        for (const ParameterRow &row : parameterRows()) {
            if (seenByTheTechnician(window(), name(row.field)))
                shown << name(row.field);
        }
        for (const QString &field : mustShow)
            QVERIFY2(shown.contains(field), qPrintable(field));

        const QString ini = m_dir.filePath(QStringLiteral("zavctl.ini"));
        {
            QFile file(ini);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QStringLiteral("1\r\n0\r\n0\r\n\"1\"\r\n%1\r\n").arg(factoryCode).toLatin1());
        }
        QProcess zavctl;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        env.insert(QStringLiteral("ZAV_INI"), ini);
        env.insert(QStringLiteral("ZAV_UNPACED"), QStringLiteral("1"));
        zavctl.setProcessEnvironment(env);
        zavctl.start(zavctlPath(), {QStringLiteral("--device"), sim.devicePath(), QStringLiteral("-q"),
                                    QStringLiteral("read"), QStringLiteral("--json")});
        QVERIFY(zavctl.waitForFinished(30000));
        QVERIFY2(zavctl.exitCode() == 0, zavctl.readAllStandardError().constData());
        QStringList listed;
        const QJsonObject json = QJsonDocument::fromJson(zavctl.readAllStandardOutput()).object();
        for (const QJsonValue &p : json.value(QStringLiteral("parameters")).toArray())
            listed << p[QStringLiteral("field")].toString();
        QCOMPARE(listed, shown);
    }

    // Closing the window in the middle of a read: the read ends at once, the
    // port is closed and the window goes.
    void closingDuringARead()
    {
        SimProcess sim;
        QVERIFY2(sim.start(QStringLiteral("full")), qPrintable(sim.errorText()));
        qputenv("ZAV_COM2", sim.devicePath().toLocal8Bit());
        fields().setListIndex(QStringLiteral("ComboCom"), 1);
        QTimer::singleShot(150, &window(), [this] { window().close(); });
        QElapsedTimer elapsed;
        elapsed.start();
        QTest::mouseClick(qobject_cast<QPushButton *>(fields().widget(QStringLiteral("CLeer"))),
                          Qt::LeftButton);
        QVERIFY(elapsed.elapsed() < 3000);
        QTRY_VERIFY(!window().isVisible());
        QVERIFY(!window().link().busy());
        QVERIFY(!window().link().port().isOpen());
    }
};

int main(int argc, char *argv[])
{
    // Captions in English whatever the machine's language.
    qputenv("LC_ALL", "C");
    QApplication app(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ui_mainwindow_test.moc"
