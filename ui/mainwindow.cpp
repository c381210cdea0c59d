#include "ui/mainwindow.h"

#include "desktop/helplauncher.h"
#include "desktop/languagechoice.h"
#include "desktop/porttrial.h"
#include "device/directcommands.h"
#include "device/lighttables.h"
#include "device/operations.h"
#include "device/parameterlists.h"
#include "device/rules.h"
#include "files/parameterfileops.h"
#include "link/portlookup.h"
#include "link/serialport.h"
#include "sectors/colourtransfer.h"
#include "sectors/sectoreditor.h"
#include "text/stringtable.h"
#include "ui/classicstyle.h"
#include "ui/dialogface.h"
#include "ui/drawingwindow.h"
#include "ui/elidinglineedit.h"
#include "ui/layouttable.h"
#include "ui/pictures.h"
#include "ui/portpanel.h"
#include "ui/sectorgrid.h"
#include "ui/textfit.h"
#include "ui/trafficview.h"
#include "ui/twips.h"
#include "ui/widgetfields.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QTime>

#include <algorithm>
#include <charconv>

namespace {

// Border and title bar as the desktop usually draws them around a fixed window;
// the client area is the outer size less these.
constexpr int kDecorationWidthTwips = 120;
constexpr int kDecorationHeightTwips = 525;
// Lowest edge of the controls in the client area (the main buttons), plus a margin.
constexpr int kControlsBottomTwips = 6735 + 90;

const QString kTabStrip = QStringLiteral("TabStrip1");

QString pageName(int page)
{
    return arrayName("FrameP", page);
}

// A window coordinate in twips as the shortest decimal text of its single-precision
// value, never in exponent form ("300000", not "3e+05").
QString twipsText(int pixels)
{
    const float twips = float(pixelsToTwips(pixels));
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, twips, std::chars_format::fixed);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

QString fieldName(const char *name)
{
    return QString::fromLatin1(name);
}

} // namespace

frmMain::frmMain(StartupSettings &settings, QString settingsPath, const PortMaker &makePort, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_settings(settings), m_settingsPath(std::move(settingsPath)),
      m_port(makePort ? makePort(m_clock) : createSystemSerialPort()), m_delay(m_clock),
      m_link(*m_port, m_clock, m_delay), m_traffic(m_clock.nowNs())
{
    setObjectName(QStringLiteral("frmMain"));
    m_fields = new WidgetFields(this);

    m_link.statusLine = [this](const QString &text) { m_fields->setStatusLine(text); };
    m_link.processEvents = [] { QCoreApplication::processEvents(); };
    m_link.traffic = [this](const TrafficEvent &event) { m_traffic.record(event); };

    buildLayout();
    m_link.progress().changed = [this](const OperationProgress &progress) { showProgress(progress); };

    // The Communications page: the traffic record live in TDebug, and the device
    // behind the port list.
    m_trafficView =
        new TrafficView(qobject_cast<QPlainTextEdit *>(m_fields->widget(QStringLiteral("TDebug"))));
    m_trafficView->refusedWhileBusy = [this] { return refusedWhileBusy(); };
    m_traffic.addSink([this](const QString &line) { m_trafficView->append(line); });
    m_portPanel = new PortPanel(m_fields->widget(pageName(4)),
                                qobject_cast<QComboBox *>(m_fields->widget(QStringLiteral("ComboCom"))),
                                m_link, PortLookup::system());
    m_portPanel->refusedWhileBusy = [this] { return refusedWhileBusy(); };

    m_portTrial = std::make_unique<PortTrial>(*m_fields, *m_port, m_delay, m_settings, m_settingsPath);
    m_portTrial->isBusy = [this] { return m_link.busy(); };
    m_portTrial->hasAssignment = [](int number) {
        return PortLookup::system().route(number).source == PortRoute::Assignment;
    };
    m_portPanel->keptPort = [this] { return m_portTrial->keptPort(); };
    m_portPanel->returnToPort = [this](int number) {
        m_fields->setListIndex(QStringLiteral("ComboCom"), number - 1);
    };
    m_languageChoice = std::make_unique<LanguageChoice>(*m_fields, m_settings, m_settingsPath);
    m_operations =
        std::make_unique<DeviceOperations>(*m_fields, m_link, m_capabilities, m_settings.FactoryCode);
    m_sectorEditor = std::make_unique<SectorEditor>(m_sectorState, *m_grid, *m_fields);
    m_sectorEditor->chooseColour = [this] { return chooseColour(); };
    static_cast<SectorGridWidget *>(m_grid)->attach(*m_sectorEditor);
    m_colourTransfer = std::make_unique<ColourTransfer>(m_link, *m_fields, *m_sectorEditor);
    m_files = std::make_unique<ParameterFileOps>(*m_fields, *m_sectorEditor);
    m_files->askOpenName = [this] {
        return QFileDialog::getOpenFileName(this, QString(), QString(), ParameterFileOps::filter());
    };
    m_files->askSaveName = [this] {
        return QFileDialog::getSaveFileName(this, QString(), QString(), ParameterFileOps::filter());
    };

    m_timerEstado.setObjectName(QStringLiteral("TimerEstado"));
    m_timerEstado.setInterval(500);
    connect(&m_timerEstado, &QTimer::timeout, this, [this] { m_operations->TimerEstado_Timer(); });

    wireHandlers();

    m_clockTimer.setInterval(1000);
    connect(&m_clockTimer, &QTimer::timeout, this, &frmMain::updateClock);
    updateClock();
    m_clockTimer.start();
}

frmMain::~frmMain()
{
    m_timerEstado.stop();
    m_link.closePort();
    // TDebug goes with the widgets: nothing more is recorded.
    m_link.traffic = nullptr;
    m_link.progress().changed = nullptr;
    // The widgets go before the operations their handlers call into.
    delete takeCentralWidget();
}

void frmMain::buildLayout()
{
    // The layout's twip boxes fit the classic 8-point dialog face: the window uses the
    // face closest to it whatever the desktop's own face and style are.
    setFont(dialogFont());
    if (!dialogFaceInstalled())
        qWarning("frmMain: the face Carlito (fonts-crosextra-carlito) is missing; captions may shrink");
    QStyle *classic = ClassicStyle::instance();
    const qreal dpr = devicePixelRatioF();

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);

    QHash<QString, QWidget *> parents;
    parents.insert(QString(), m_client);

    for (const LayoutItem &item : mainLayout()) {
        const QString name = fieldName(item.name);
        const QString parentName = fieldName(item.parent);
        const bool onTabStrip = parentName == kTabStrip;
        QWidget *parent = onTabStrip ? m_client : parents.value(parentName);
        Q_ASSERT_X(parent, "frmMain::buildLayout", item.name);
        const QString caption = item.caption ? QString::fromUtf8(item.caption) : QString();
        const QString design = item.designText ? QString::fromUtf8(item.designText) : QString();
        const QRect rect = twipsRect(item.left, item.top, item.width, item.height);

        QWidget *widget = nullptr;
        switch (item.kind) {
        case ControlKind::Label: {
            auto *label = new QLabel(caption, parent);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            if (item.style == ControlStyle::TwoLines) {
                label->setWordWrap(true);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            }
            if (item.style == ControlStyle::Indicator)
                label->setFont(dialogFont(kIndicatorPoints));
            if (name.startsWith(QLatin1String("LColor("))) {
                label->setFrameShape(QFrame::Box);
                label->setAlignment(Qt::AlignCenter);
                label->setCursor(Qt::PointingHandCursor);
                label->installEventFilter(this);
            }
            widget = label;
            break;
        }
        case ControlKind::Text: {
            auto *edit = new QLineEdit(design, parent);
            if (item.style == ControlStyle::DisplayBox) {
                QPalette palette = edit->palette();
                palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
                palette.setColor(QPalette::Text, palette.color(QPalette::ToolTipText));
                edit->setPalette(palette);
            }
            widget = edit;
            break;
        }
        case ControlKind::Memo: {
            auto *memo = new QPlainTextEdit(design, parent);
            widget = memo;
            break;
        }
        case ControlKind::List:
        case ControlKind::FixedList: {
            auto *combo = new QComboBox(parent);
            if (item.kind == ControlKind::List) {
                combo->setEditable(true);
                combo->setLineEdit(new ElidingLineEdit(combo));
                combo->lineEdit()->setStyle(classic);
                combo->setInsertPolicy(QComboBox::NoInsert);
                // Typed text stays as typed: no completion into an entry.
                combo->setCompleter(nullptr);
                combo->setEditText(design.isEmpty() ? name : design);
            } else {
                combo->setPlaceholderText(design.isEmpty() ? name : design);
            }
            widget = combo;
            break;
        }
        case ControlKind::Check:
            widget = new QCheckBox(caption, parent);
            break;
        case ControlKind::Button:
            widget = new QPushButton(caption, parent);
            break;
        case ControlKind::Frame:
            widget = new QGroupBox(caption, parent);
            break;
        case ControlKind::Lamp: {
            auto *lamp = new QLabel(parent);
            lamp->setPixmap(drawLamp(item.lamp, qMin(rect.width(), rect.height()), dpr));
            widget = lamp;
            break;
        }
        case ControlKind::Logo: {
            auto *logo = new QLabel(parent);
            logo->setPixmap(drawLogo(rect.size(), dpr));
            widget = logo;
            break;
        }
        case ControlKind::Hint: {
            auto *hint = new QLabel(parent);
            // Drawn on top of the panel and the tab strip, but never in the way of a click.
            hint->setAttribute(Qt::WA_TransparentForMouseEvents);
            widget = hint;
            break;
        }
        case ControlKind::Shape: {
            auto *shape = new QFrame(parent);
            shape->setFrameShape(QFrame::Box);
            widget = shape;
            break;
        }
        case ControlKind::Grid: {
            auto *grid = new SectorGridWidget(parent);
            m_grid = grid;
            widget = grid;
            break;
        }
        case ControlKind::TabStrip: {
            // The strip's border and client area; the page frames are placed over it.
            auto *panel = new QFrame(parent);
            panel->setObjectName(QStringLiteral("TabStrip1Panel"));
            panel->setFrameShape(QFrame::StyledPanel);
            m_tabPanel = panel;
            auto *tabs = new QTabBar(parent);
            tabs->setExpanding(false);
            tabs->setDrawBase(false);
            for (int i = 0; i < 5; ++i)
                tabs->addTab(QStringLiteral(" "));
            m_tabStrip = tabs;
            const int tabHeight = tabs->sizeHint().height();
            tabs->setGeometry(rect.x(), rect.y(), rect.width(), tabHeight);
            panel->setGeometry(rect.x(), rect.y() + tabHeight - 1, rect.width(),
                               rect.height() - tabHeight + 1);
            widget = tabs;
            break;
        }
        }

        widget->setObjectName(name);
        widget->setStyle(classic);
        if (item.kind == ControlKind::TabStrip)
            m_tabPanel->setStyle(classic);
        if (item.kind != ControlKind::TabStrip && !onTabStrip)
            widget->setGeometry(rect);
        m_fields->addField(name, widget);
        parents.insert(name, widget);
    }

    // Captions fit once every neighbour stands where it belongs: a label may take
    // a second line from the free space around its row.
    for (const LayoutItem &item : mainLayout()) {
        if (item.kind == ControlKind::Label || item.kind == ControlKind::Button ||
            item.kind == ControlKind::Check)
            fitCaption(m_fields->widget(fieldName(item.name)));
    }

    if (QWidget *hint = m_fields->widget(QStringLiteral("PictureInicio")))
        hint->raise();

    // The pulse box sits in the gap the run of spaces leaves in its label's caption;
    // with a face wider than the design's, the gap starts further right.
    if (auto *label =
            qobject_cast<QLabel *>(m_fields->widget(QStringLiteral("lblDuracionpulsosincronismo")))) {
        QWidget *box = m_fields->widget(QStringLiteral("txtDuracionPulsoSincronismo"));
        const int wordsEnd =
            label->x() + label->fontMetrics().horizontalAdvance(QStringLiteral("Pulso sincronismo ")) + 2;
        if (box->x() < wordsEnd)
            box->move(wordsEnd, box->y());
    }

    // Status bar: the status line, the date and the time.
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    bar->setSizeGripEnabled(false);
    m_statusLine = new QLabel(QStringLiteral("Estado"), bar);
    m_statusLine->setObjectName(QStringLiteral("StatusLine"));
    // Status texts are plain: one that quotes a file or zav.ini is never taken for markup.
    m_statusLine->setTextFormat(Qt::PlainText);
    m_date = new QLabel(bar);
    m_date->setObjectName(QStringLiteral("StatusDate"));
    m_time = new QLabel(bar);
    m_time->setObjectName(QStringLiteral("StatusTime"));
    for (QLabel *panel : {m_statusLine, m_date, m_time}) {
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(3, 0, 3, 0);
    }
    // How far a read, a write or a colour transfer is; there only while one runs.
    m_progressBar = new QProgressBar(bar);
    m_progressBar->setObjectName(QStringLiteral("OperationProgress"));
    m_progressBar->setTextVisible(true);
    m_progressBar->setAlignment(Qt::AlignCenter);
    m_progressBar->setFixedWidth(twipsToPixels(2400));
    // White digits on a dark fill, black ones on the light groove: a digit read half
    // over the fill's edge still stands out on both sides.
    QPalette progressColours = m_progressBar->palette();
    progressColours.setColor(QPalette::Highlight, QColor(0x1c, 0x4a, 0x86));
    progressColours.setColor(QPalette::HighlightedText, Qt::white);
    progressColours.setColor(QPalette::Text, Qt::black);
    progressColours.setColor(QPalette::Base, Qt::white);
    progressColours.setColor(QPalette::Window, QColor(0xef, 0xef, 0xef));
    m_progressBar->setPalette(progressColours);
    m_progressBar->hide();
    bar->addWidget(m_statusLine, 1);
    bar->addWidget(m_progressBar);
    bar->addPermanentWidget(m_date);
    bar->addPermanentWidget(m_time);
    m_fields->setStatusLabel(m_statusLine);
}

void frmMain::showProgress(const OperationProgress &progress)
{
    if (!progress.running()) {
        m_progressBar->hide();
        return;
    }
    m_progressBar->setRange(0, std::max(progress.total(), 1));
    m_progressBar->setValue(progress.done());
    m_progressBar->setFormat(progress.text());
    m_progressBar->show();
}

void frmMain::wireHandlers()
{
    WidgetFields &f = *m_fields;

    // The three rules are the click handlers of their lists; typing into the changer
    // and motor lists, and leaving the function-mode list, run them as well.
    installDependencyRules(f);
    for (const char *list : {"ComboTipoCambiador", "ComboTipoMotor"}) {
        const QString name = fieldName(list);
        f.setChangeHandler(name, [this, name] { m_fields->runClickHandler(name); });
    }
    f.setFocusOutHandler(QStringLiteral("cmbModofuncionamiento"),
                         [this] { m_fields->runClickHandler(QStringLiteral("cmbModofuncionamiento")); });

    f.setClickHandler(kTabStrip, [this] { TabStrip1_Click(); });
    f.setClickHandler(QStringLiteral("ComboIdioma"), [this] { m_languageChoice->ComboIdioma_Click(); });
    f.setClickHandler(QStringLiteral("ComboCom"), [this] { m_portTrial->ComboCom_Click(); });
    f.setChangeHandler(QStringLiteral("ComboCom"), [this] { m_portTrial->ComboCom_Change(); });

    auto onClick = [this](const char *button, auto handler) {
        auto *widget = qobject_cast<QAbstractButton *>(m_fields->widget(fieldName(button)));
        Q_ASSERT_X(widget, "frmMain::wireHandlers", button);
        connect(widget, &QAbstractButton::clicked, this, handler);
    };
    // A dialog opened from inside a reply wait would hold that transaction until it
    // closes, and a file open would change the colours under a colour write.
    onClick("CAbrir", [this] {
        if (!refusedWhileBusy())
            m_files->CAbrir_Click();
    });
    onClick("CGuardar", [this] {
        if (!refusedWhileBusy())
            m_files->CGuardar_Click();
    });
    onClick("CLeer", [this] {
        m_operations->CLeer_Click();
        if (m_operations->lastReadFailed())
            noteNothingChanged(tr("read not finished, nothing was changed"));
    });
    onClick("CEscribir", [this] { m_operations->CEscribir_Click(); });
    onClick("Csalir", [this] { Csalir_Click(); });
    onClick("CAyuda", [this] { CAyuda_Click(); });
    onClick("CInterrogar", [this] { m_operations->CInterrogar_Click(); });
    onClick("CModoVerboso", [this] { CModoVerboso_Click(); });
    onClick("Command1", [this] { Command1_Click(); });
    const auto commands = directCommands();
    for (int i = 0; i < int(commands.size()); ++i)
        onClick(commands[i].button, [this, i] { m_operations->directCommand(i); });
    onClick("CBorrarTabla", [this] { m_sectorEditor->CBorrarTabla_Click(); });
    onClick("CLeerColores", [this] {
        m_colourTransfer->CLeerColores_Click();
        const QString note = m_colourTransfer->unchangedNote();
        if (!note.isEmpty())
            noteNothingChanged(note);
    });
    onClick("CEscribirColores", [this] { m_colourTransfer->CEscribirColores_Click(); });
    onClick("Command2", [this] { FormDibujo::Command2_Click(this, *m_fields); });
}

void frmMain::noteNothingChanged(const QString &what)
{
    // Beside the failure the status line keeps, so both are read together.
    m_fields->setStatusLine(m_fields->statusLine() + QStringLiteral(" - ") + what);
}

bool frmMain::refusedWhileBusy()
{
    if (!m_link.busy())
        return false;
    m_fields->setStatusLine(DeviceOperations::busyText());
    return true;
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const QString name = watched->objectName();
        if (name.startsWith(QLatin1String("LColor("))) {
            const int index = QStringView(name).mid(7).chopped(1).toInt();
            if (!refusedWhileBusy())
                m_sectorEditor->LColor_Click(index);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

quint32 frmMain::chooseColour()
{
    // The chooser starts on the last colour chosen in it; a cancelled dialog keeps it.
    const QColor start(int(m_lastColour & 0xFF), int((m_lastColour >> 8) & 0xFF),
                       int((m_lastColour >> 16) & 0xFF));
    const QColor chosen = QColorDialog::getColor(start, this);
    if (chosen.isValid())
        m_lastColour = quint32(chosen.red()) | quint32(chosen.green()) << 8 | quint32(chosen.blue()) << 16;
    return m_lastColour;
}

void frmMain::Form_Load(const QString &settingsProblem)
{
    WidgetFields &f = *m_fields;

    // 5. Polling off; the window stays hidden while it is built.
    m_timerEstado.stop();
    hide();

    // 6. The sector table grid.
    m_sectorEditor->FormatearGrid();
    m_sectorEditor->BorrarDatosGrid();

    // 7. The indicator rows the changer rule decides on, and the hint's place.
    hideAtStartUpStep(f, 7);
    if (QWidget *hint = f.widget(QStringLiteral("PictureInicio")))
        hint->move(twipsToPixels(1800), twipsToPixels(2760));

    // 8. The hidden language list: its selection rewrites zav.ini.
    const QStringList languages = {QStringLiteral("English"), QString::fromUtf8("Español")};
    f.setListEntries(QStringLiteral("ComboIdioma"), languages);
    f.setListIndex(QStringLiteral("ComboIdioma"), m_settings.LanguageCode == QLatin1String("34") ? 1 : 0);
    hideAtStartUpStep(f, 8);

    // 9. The port list: its selection tries the port and rewrites zav.ini.
    QStringList ports;
    for (int i = 1; i <= 9; ++i)
        ports << QStringLiteral("Com%1:").arg(i);
    f.setListEntries(QStringLiteral("ComboCom"), ports);
    const int configuredPort = m_settings.PortNumber;
    m_port->setPortNumber(configuredPort);
    QString portProblem;
    if (configuredPort >= 1 && configuredPort <= 9) {
        f.setListIndex(QStringLiteral("ComboCom"), configuredPort - 1);
    } else {
        // No such entry: the trial finds no choice, fails and falls back to "Com1:".
        f.setText(QStringLiteral("ComboCom"), QStringLiteral("Com%1:").arg(configuredPort));
        f.runClickHandler(QStringLiteral("ComboCom"));
        portProblem = tr("PortNumber %1 is not a port 1 to 9, Com1: used").arg(configuredPort);
    }
    // The calibration's texts follow; why the port failed is said again at the end.
    const QString portTrialText = m_portTrial->lastDiagnosis().isEmpty() ? QString() : f.statusLine();
    m_portPanel->showRoute();

    // 10. The parameter lists; the changer and motor selections run their rules.
    for (const ParameterList &list : parameterLists()) {
        const QString name = fieldName(list.field);
        if (name == QLatin1String("cmbModofuncionamiento"))
            continue;
        f.setListEntries(name, listEntries(list));
        f.setListIndex(name, 0);
    }

    // 11.
    FillLightTables();

    // 12.
    sizeAndCentre();

    // 13. Pages, help file, captions, the function-mode list, the fifth tab, and
    // the parameter fields hidden until identification shows them.
    layoutPages();
    m_helpFile = helpFilePath();
    loadCaptions();
    for (const ParameterList &list : parameterLists()) {
        const QString name = fieldName(list.field);
        if (name != QLatin1String("cmbModofuncionamiento"))
            continue;
        f.setListEntries(name, listEntries(list));
        f.setListIndex(name, 0);
    }
    setUpTabStrip(f, m_settings.FactoryCode);
    hideAtStartUpStep(f, 13);

    // 14.
    show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        raise();
        activateWindow();
    }

    // 15. Until now every pause returned at once.
    if (m_calibrate) {
        m_delay.CalibrateDelay([this](const QString &text) { m_fields->setStatusLine(text); },
                               [] { QCoreApplication::processEvents(); });
    }

    // What zav.ini lacked is the last word of start-up.
    QStringList notes;
    if (!settingsProblem.isEmpty())
        notes << settingsProblem;
    if (!portProblem.isEmpty())
        notes << portProblem;
    if (!portTrialText.isEmpty())
        notes << portTrialText;
    // The two rewrites of start-up report a failure as they go, but later texts
    // cover it; a file that does not hold the settings now is said again here.
    QFile written(m_settingsPath);
    if (!written.open(QIODevice::ReadOnly) || written.readAll() != formatSettings(m_settings))
        notes << tr("%1 could not be written").arg(QFileInfo(m_settingsPath).fileName());
    if (!notes.isEmpty())
        f.setStatusLine(notes.join(QLatin1String("; ")));

    // Adapters plugged in or pulled out from now on.
    m_portPanel->startLooking();
}

void frmMain::offerAdapterOnFirstStart()
{
    m_portPanel->offerSingleAdapter();
}

void frmMain::sizeAndCentre()
{
    const int decorationWidth = twipsToPixels(kDecorationWidthTwips);
    const int clientHeight = qMax(twipsToPixels(7575 - kDecorationHeightTwips),
                                  twipsToPixels(kControlsBottomTwips) + statusBar()->sizeHint().height());

    // First size 10300 wide, centred from that size; then 10200 keeping the left edge.
    resize(twipsToPixels(10300) - decorationWidth, clientHeight);
    QRect screenArea(0, 0, 1024, 768);
    if (const QScreen *s = screen())
        screenArea = s->geometry();
    move(screenArea.x() + (screenArea.width() - twipsToPixels(10300)) / 2,
         screenArea.y() + (screenArea.height() - twipsToPixels(7575)) / 2);
    setWindowTitle(QStringLiteral("ZAV %1.%2.%3  ")
                       .arg(ZAV_VERSION_MAJOR)
                       .arg(ZAV_VERSION_MINOR)
                       .arg(ZAV_VERSION_PATCH));
    setFixedSize(twipsToPixels(10200) - decorationWidth, clientHeight);
}

void frmMain::layoutPages()
{
    // The page frames cover the strip's client area, inside its border; page 1 comes first.
    const QRect client = m_tabPanel->contentsRect().translated(m_tabPanel->pos());
    for (int page = 1; page <= 5; ++page) {
        QWidget *frame = m_fields->widget(pageName(page));
        frame->setGeometry(client);
        frame->hide();
    }
    m_currentPage = 1;
    m_fields->widget(pageName(m_tabStrip->currentIndex() + 1))->show();
    m_tabStrip->update();
}

void frmMain::loadCaptions()
{
    WidgetFields &f = *m_fields;
    for (const LayoutItem &item : mainLayout()) {
        if (item.captionId != 0)
            f.setCaption(fieldName(item.name), LoadText(item.captionId));
    }
    // The hint points at the Read button and names it as it now reads, in the same language.
    if (auto *hint = qobject_cast<QLabel *>(f.widget(QStringLiteral("PictureInicio")))) {
        const QWidget *read = f.widget(QStringLiteral("CLeer"));
        const int tipX = read->geometry().center().x() - twipsToPixels(1800);
        // The button's caption stays on one line of the call-out.
        const QString caption = f.caption(QStringLiteral("CLeer")).replace(QLatin1Char(' '), QChar::Nbsp);
        const QString text = LoadOwnText(OwnText::StartHint).arg(caption);
        hint->setPixmap(drawHint(twipsRect(0, 0, 3810, 3465).size(), tipX, text, dialogFont(),
                                 hint->devicePixelRatioF()));
    }
}

void frmMain::TabStrip1_Click()
{
    const int selected = m_tabStrip->currentIndex() + 1;
    if (selected < 1 || selected == m_currentPage)
        return;
    m_fields->setVisible(pageName(selected), true);
    m_fields->setVisible(pageName(m_currentPage), false);
    m_currentPage = selected;
}

void frmMain::CModoVerboso_Click()
{
    m_fields->setEnabled(QStringLiteral("CModoVerboso"), false);
    // The period is read here only; 0 leaves the timer silent while polling stays on.
    const int period =
        DeviceOperations::pollingPeriodMs(m_fields->text(QStringLiteral("TTiempoModoVerboso")));
    if (period > 0) {
        m_timerEstado.setInterval(period);
        m_timerEstado.start();
    } else {
        m_timerEstado.stop();
    }
}

void frmMain::Command1_Click()
{
    m_timerEstado.stop();
    m_fields->setEnabled(QStringLiteral("CModoVerboso"), true);
}

void frmMain::CAyuda_Click()
{
    QString error;
    if (!startHelpViewer(m_helpFile, &error))
        m_fields->messageBox(error);
}

void frmMain::Csalir_Click()
{
    close();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (m_link.busy()) {
        // An operation waits on the line: cut it short and close once it has let go.
        m_timerEstado.stop();
        m_link.onIdle = [this] { QTimer::singleShot(0, this, &QWidget::close); };
        m_link.abort();
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmMain::Form_Unload()
{
    m_timerEstado.stop();
    FormDibujo::closeIfOpen();
    // Every other window goes first, the most recent one first.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        QWidget *window = *it;
        if (window != this && window->isWindow() && window->isVisible())
            window->close();
    }
    if (!isMinimized())
        savePlacement();
    m_link.closePort();
}

void frmMain::savePlacement()
{
    const QRect frame = frameGeometry();
    QSettings store(QStringLiteral("ZAV"), QStringLiteral("ZAV"));
    store.beginGroup(QStringLiteral("Settings"));
    store.setValue(QStringLiteral("MainLeft"), twipsText(frame.x()));
    store.setValue(QStringLiteral("MainTop"), twipsText(frame.y()));
    store.setValue(QStringLiteral("MainWidth"), twipsText(frame.width()));
    store.setValue(QStringLiteral("MainHeight"), twipsText(frame.height()));
    store.endGroup();
    store.sync();
}

void frmMain::updateClock()
{
    const QLocale locale;
    m_date->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    m_time->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
}
