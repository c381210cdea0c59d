// The frame transaction under read all, the colour read and the status
// interrogation, over a port whose every answer the input scripts (length,
// timing, pieces, stray bytes, hang-ups), in virtual time. Clicks arrive while
// replies are awaited. Every request goes out whole and well formed, no click
// reaches the line while an operation runs, every operation leaves the port
// closed and the buttons enabled, and as long as the controller's answers were
// clean every reply read carries the right byte.
#include "device/capabilitymap.h"
#include "device/operations.h"
#include "device/parameterlists.h"
#include "device/rules.h"
#include "fields/memoryfields.h"
#include "fuzz/fuzzcheck.h"
#include "fuzz/scriptedport.h"
#include "link/delay.h"
#include "link/link.h"
#include "link/trafficrecord.h"
#include "sectors/colourrecord.h"
#include "sectors/colourtransfer.h"
#include "sectors/memorysectorgrid.h"
#include "sectors/sectoreditor.h"

#include <QLocale>
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

namespace {

const char *const kButtons[] = {"CAbrir", "CGuardar", "CLeer", "CEscribir"};
const char *const kCheckBoxes[] = {"chkEstado", "chkCorrienteActual", "chkVelocidadActual",
                                   "chkCorrienteLeds"};

// The window over the scripted controller.
struct Station
{
    FuzzedDataProvider &script;
    ManualClock clock;
    ScriptedPort port{clock, script};
    Delay delay{clock};
    Link link{port, clock, delay};
    MemoryFields fields;
    CapabilityMap map;
    DeviceOperations ops;
    SectorState state;
    MemorySectorGrid grid;
    SectorEditor editor{state, grid, fields};
    ColourTransfer colours{link, fields, editor};
    // A click the technician makes during the next reply wait (0: none).
    int clickDuringWait = 0;

    Station(FuzzedDataProvider &input, qint16 factoryCode)
        : script(input), ops(fields, link, map, factoryCode)
    {
        delay.setDelayLoopCount(1000);
        link.statusLine = [this](const QString &s) { fields.setStatusLine(s); };
        link.processEvents = [this] { click(); };
        link.traffic = [this](const TrafficEvent &event) { observe(event); };
        port.setPortNumber(1);
        installDependencyRules(fields);
        fields.setListEntries(QStringLiteral("TabStrip1"),
                              {QStringLiteral("Main"), QStringLiteral("Motor"),
                               QStringLiteral("Remote control"), QStringLiteral("Sectors")});
        fillParameterLists(fields);
        editor.FormatearGrid();
        editor.BorrarDatosGrid();
        for (int i = 1; i <= SectorColours::kCount; ++i)
            fields.setCaption(SectorEditor::colourLabel(i), QString::number(i));
    }

    void observe(const TrafficEvent &event)
    {
        FUZZ_CHECK(!TrafficRecord::formatLine(event, 0).isEmpty());
        if (event.kind == TrafficEvent::Sent) {
            FUZZ_CHECK(event.bytes == port.frames.last());
            clickDuringWait = script.remaining_bytes() > 0 ? script.ConsumeIntegralInRange<int>(0, 15) : 0;
        } else if (event.kind == TrafficEvent::Received) {
            FUZZ_CHECK(event.bytes.size() >= 8);
            if (port.clean) {
                FUZZ_CHECK(event.bytes.size() == 8);
                FUZZ_CHECK(decodeReply(event.bytes).Data3 == port.expectedByte);
            }
        }
    }

    // Buttons that stay usable during a long operation; each must see the link held.
    void click()
    {
        const int which = clickDuringWait;
        clickDuringWait = 0;
        if (which == 0 || which > 5)
            return;
        const qsizetype framesBefore = port.frames.size();
        const bool wasOpen = port.isOpen();
        switch (which) {
        case 1:
            ops.CInterrogar_Click();
            break;
        case 2:
            ops.directCommand(1);
            break;
        case 3:
            colours.CLeerColores_Click();
            break;
        case 4:
            ops.TimerEstado_Timer();
            break;
        default:
            ops.CLeer_Click();
            break;
        }
        FUZZ_CHECK(port.frames.size() == framesBefore);
        FUZZ_CHECK(port.isOpen() == wasOpen);
        FUZZ_CHECK(link.busy());
    }

    // Runs one operation of at most `transactions` transactions and checks what it leaves.
    template <typename Operation> void run(Operation operation, int transactions)
    {
        const qsizetype framesBefore = port.frames.size();
        operation();
        FUZZ_CHECK(!port.isOpen());
        FUZZ_CHECK(!link.busy());
        for (const char *name : kButtons)
            FUZZ_CHECK(fields.isEnabled(QLatin1String(name)));
        FUZZ_CHECK(port.frames.size() - framesBefore <= 3 * transactions);
        for (qsizetype i = framesBefore; i < port.frames.size(); ++i) {
            const QByteArray &frame = port.frames[i];
            RequestFrame request;
            request.Command = quint8(frame[4]);
            request.Param1 = quint8(frame[5]);
            request.Param2 = quint8(frame[6]);
            FUZZ_CHECK(frame == encodeRequest(request));
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QLocale::setDefault(QLocale::c());
    FuzzedDataProvider script(data, size);

    // What the technician set up, and which controller this is.
    const int operations = script.ConsumeIntegralInRange<int>(1, 7);
    Station station(script, script.ConsumeBool() ? 731 : 0);
    station.fields.setListIndex(QStringLiteral("ComboTipoCambiador"),
                                script.ConsumeIntegralInRange<int>(-1, 3));
    for (const char *box : kCheckBoxes)
        station.fields.setValue(QLatin1String(box), script.ConsumeBool() ? 1 : 0);
    if (script.ConsumeBool()) {
        std::array<quint8, 32> map{};
        for (quint8 &byte : map)
            byte = script.ConsumeIntegral<quint8>();
        station.port.setCapability(map);
    }

    if (operations & 1)
        station.run([&] { station.ops.CLeer_Click(); }, 32 + 256);
    if (operations & 2)
        station.run([&] { station.colours.CLeerColores_Click(); }, ColourRecord::kTransactions);
    if (operations & 4)
        station.run([&] { station.ops.CInterrogar_Click(); }, 8);
    return 0;
}
