#pragma once

#include "desktop/startupsettings.h"
#include "device/capabilitymap.h"
#include "link/clock.h"
#include "link/delay.h"
#include "link/link.h"
#include "link/trafficrecord.h"
#include "sectors/sectortable.h"

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>

class ColourTransfer;
class DeviceOperations;
class LanguageChoice;
class ParameterFileOps;
class PortPanel;
class PortTrial;
class QLabel;
class QProgressBar;
class QTabBar;
class SectorEditor;
class SectorGrid;
class SerialPort;
class TrafficView;
class WidgetFields;

// The main window: identification panel, five pages behind the tab strip, main
// buttons and status bar. It owns the serial link and every field, and wires
// the buttons and lists to the operations.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    // Makes the window's serial port, timed on the window's clock.
    using PortMaker = std::function<std::unique_ptr<SerialPort>(Clock &clock)>;

    // settings is the process-wide copy of zav.ini; settingsPath the file the
    // language and port lists rewrite. Without makePort the port is the system's.
    frmMain(StartupSettings &settings, QString settingsPath, const PortMaker &makePort = {},
            QWidget *parent = nullptr);
    ~frmMain() override;

    // Start-up of the window, steps 5 to 16: fills, selects, lays out, shows and
    // calibrates. settingsProblem (what was wrong with zav.ini) ends in the status line.
    void Form_Load(const QString &settingsProblem = QString());

    // Tests skip the one-second delay calibration.
    void setCalibrationEnabled(bool enabled) { m_calibrate = enabled; }

    WidgetFields &fields() { return *m_fields; }
    Link &link() { return m_link; }
    Delay &delay() { return m_delay; }
    QTimer &TimerEstado() { return m_timerEstado; }
    int CurrentPage() const { return m_currentPage; }
    QString helpFile() const { return m_helpFile; }
    // The link's traffic record: TDebug shows it; --trace adds a file.
    TrafficRecord &traffic() { return m_traffic; }
    TrafficView &trafficView() { return *m_trafficView; }
    PortPanel &portPanel() { return *m_portPanel; }
    // After start-up, outside the tests: a single USB adapter and no assignment
    // are offered for the port in use.
    void offerAdapterOnFirstStart();

    void TabStrip1_Click();
    void CModoVerboso_Click();
    void Command1_Click();
    void CAyuda_Click();
    void Csalir_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    // Writes the busy text and is true while an operation holds the line.
    bool refusedWhileBusy();
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void wireHandlers();
    void sizeAndCentre();
    void layoutPages();
    void loadCaptions();
    void Form_Unload();
    void savePlacement();
    void updateClock();
    void showProgress(const OperationProgress &progress);
    quint32 chooseColour();
    // After a read that did not finish: says what it left unchanged.
    void noteNothingChanged(const QString &what);

    StartupSettings &m_settings;
    QString m_settingsPath;

    SteadyClock m_clock;
    std::unique_ptr<SerialPort> m_port;
    Delay m_delay;
    Link m_link;
    TrafficRecord m_traffic;
    CapabilityMap m_capabilities;
    SectorState m_sectorState;

    WidgetFields *m_fields = nullptr;
    QWidget *m_client = nullptr;
    QTabBar *m_tabStrip = nullptr;
    QWidget *m_tabPanel = nullptr;
    QLabel *m_statusLine = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QLabel *m_date = nullptr;
    QLabel *m_time = nullptr;
    SectorGrid *m_grid = nullptr;
    TrafficView *m_trafficView = nullptr;
    PortPanel *m_portPanel = nullptr;

    std::unique_ptr<PortTrial> m_portTrial;
    std::unique_ptr<LanguageChoice> m_languageChoice;
    std::unique_ptr<DeviceOperations> m_operations;
    std::unique_ptr<SectorEditor> m_sectorEditor;
    std::unique_ptr<ColourTransfer> m_colourTransfer;
    std::unique_ptr<ParameterFileOps> m_files;

    QTimer m_timerEstado;
    QTimer m_clockTimer;
    int m_currentPage = 1;
    QString m_helpFile;
    quint32 m_lastColour = 0;
    bool m_calibrate = true;
};
