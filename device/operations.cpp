#include "device/operations.h"

#include "device/capabilitymap.h"
#include "device/directcommands.h"
#include "device/numbers.h"
#include "device/parametermap.h"
#include "device/statusinterrogation.h"
#include "device/visibility.h"
#include "fields/fields.h"
#include "link/delay.h"
#include "link/link.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>

namespace {

constexpr quint8 kReadCommand = 1;
constexpr quint8 kWriteCommand = 2;
constexpr quint8 kStatusCommand = 5;
constexpr quint8 kDirectCommand = 6;
constexpr quint8 kIdentifyCommand = 128;
constexpr int kIdentifySteps = 32;

constexpr int kFailurePauseMs = 1000;
constexpr int kBeepAfterAddress = 223;
constexpr int kMaxPeriodMs = 65535;

// The manufacturing cells are built with the image but never sent.
bool isSentByWrite(int address)
{
    return address <= 246 || address >= 254;
}

const char *const kCommandButtons[] = {"CAbrir", "CGuardar", "CLeer", "CEscribir"};

} // namespace

DeviceOperations::DeviceOperations(Fields &fields, Link &link, CapabilityMap &map, qint16 factoryCode)
    : m_fields(fields), m_link(link), m_map(map), m_factoryCode(factoryCode)
{
}

QString DeviceOperations::busyText()
{
    return QCoreApplication::translate("DeviceOperations", "Busy: wait for the running operation to end");
}

void DeviceOperations::reportBusy()
{
    m_fields.setStatusLine(busyText());
}

void DeviceOperations::DeshabilitaBotones()
{
    for (const char *button : kCommandButtons)
        m_fields.setEnabled(QLatin1String(button), false);
}

void DeviceOperations::HabilitaBotones()
{
    for (const char *button : kCommandButtons)
        m_fields.setEnabled(QLatin1String(button), true);
}

bool DeviceOperations::openPort()
{
    if (m_link.AbrirCom())
        return true;
    m_fields.setStatusLine(m_link.failureText());
    return false;
}

ReplyFrame DeviceOperations::exchange(quint8 command, quint8 param1, quint8 param2)
{
    RequestFrame request;
    request.HeadWord = 0;
    request.Command = command;
    request.Param1 = param1;
    request.Param2 = param2;
    return m_link.ExchangeFrame(request);
}

std::optional<CapabilityMap> DeviceOperations::fetchCapabilityMap()
{
    if (!openPort())
        return std::nullopt;
    CapabilityMap found;
    int unanswered = -1;
    for (int index = 0; index < kIdentifySteps && !m_link.aborted(); ++index) {
        const ReplyFrame reply = exchange(kIdentifyCommand, quint8(index), 0);
        // A byte taken as 0 would hide those eight parameters from the read and
        // the write: the map is whole or it is not used.
        if (reply.Status != kAck) {
            unanswered = index;
            break;
        }
        found.bytes[index] = reply.Data3;
        m_fields.setStatusLine(QStringLiteral(" %1").arg(index));
        m_link.progress().advance();
    }
    m_link.closePort();
    if (m_link.aborted())
        return std::nullopt;
    if (m_link.failed()) {
        m_fields.setStatusLine(m_link.failureText());
        return std::nullopt;
    }
    if (unanswered >= 0) {
        m_fields.setStatusLine(
            QCoreApplication::translate("DeviceOperations", "Identification Error in step %1")
                .arg(unanswered));
        m_fields.beep();
        return std::nullopt;
    }
    return found;
}

void DeviceOperations::IdentificarZAV()
{
    DeshabilitaBotones();
    if (const std::optional<CapabilityMap> found = fetchCapabilityMap()) {
        m_map = *found;
        applyCapabilityVisibility(m_fields, m_map, m_factoryCode);
        m_fields.setStatusLine(QStringLiteral("Ended"));
    }
    HabilitaBotones();
}

void DeviceOperations::CLeer_Click()
{
    m_readFailed = false;
    LinkSession session(m_link);
    if (!session) {
        reportBusy();
        return;
    }
    // The identification's steps and one read per present address. Until the
    // identification has found the map, the last one known stands in for it (all
    // 256 before the first), so the count only ever moves forward.
    const int known = m_map.presentCount();
    OperationProgress::Scope progress(m_link.progress(), kIdentifySteps + (known > 0 ? known : 256));
    DeshabilitaBotones();
    const std::optional<CapabilityMap> found = fetchCapabilityMap();
    if (!found) {
        m_readFailed = !m_link.aborted();
        HabilitaBotones();
        return;
    }
    // The read goes by the map just found, but the window shows it only with a
    // whole image: a read cut short leaves map, fields and visibility as they were.
    const CapabilityMap before = m_map;
    m_map = *found;
    m_fields.setStatusLine(QStringLiteral("Ended"));
    HabilitaBotones();
    m_link.progress().setTotal(kIdentifySteps + m_map.presentCount());
    m_fields.setStatusLine(QStringLiteral("Reading"));
    m_fields.setVisible(QStringLiteral("PictureInicio"), false);
    DeshabilitaBotones();
    ParameterImage image{};
    if (!readImage(image)) {
        m_map = before;
        m_readFailed = !m_link.aborted();
        HabilitaBotones();
        return;
    }
    applyCapabilityVisibility(m_fields, m_map, m_factoryCode);
    showImage(image);
}

void DeviceOperations::LeerZAV()
{
    DeshabilitaBotones();
    ParameterImage image{};
    if (readImage(image))
        showImage(image);
    else
        HabilitaBotones();
}

bool DeviceOperations::readImage(ParameterImage &image)
{
    if (!openPort())
        return false;
    bool whole = true;
    for (int address = 0; address < 256 && !m_link.aborted(); ++address) {
        if (!m_map.ComprobarParametro(address))
            continue;
        const ReplyFrame reply = exchange(kReadCommand, quint8(address), 0);
        if (reply.Status != kAck) {
            m_fields.setStatusLine(QStringLiteral("Reading Error in data %1").arg(address));
            m_fields.beep();
            m_link.delay().DelayMs(kFailurePauseMs);
            whole = false;
            break;
        }
        image[address] = reply.Data3;
        m_fields.setStatusLine(QString::number(address));
        m_link.progress().advance();
    }
    m_link.closePort();
    if (m_link.failed())
        m_fields.setStatusLine(m_link.failureText());
    return whole && !m_link.failed() && !m_link.aborted();
}

void DeviceOperations::showImage(const ParameterImage &image)
{
    m_fields.setStatusLine(QStringLiteral("Ended"));
    ReadMapping(m_fields, image, MappingMode::ReadAll);
    HabilitaBotones();
    m_fields.processEvents();
}

void DeviceOperations::CEscribir_Click()
{
    LinkSession session(m_link);
    if (!session) {
        reportBusy();
        return;
    }
    m_fields.setStatusLine(QStringLiteral("Writing"));
    EscribirZAV();
}

bool DeviceOperations::writeRun(const ParameterImage &image, int first, int last)
{
    for (int address = first; address <= last; ++address) {
        if (m_link.aborted())
            return false;
        if (m_map.ComprobarParametro(address)) {
            const ReplyFrame reply = exchange(kWriteCommand, quint8(address), quint8(image[address]));
            if (reply.Status != kAck) {
                m_fields.setStatusLine(QStringLiteral("Reading Error in data %1").arg(address));
                m_fields.beep();
                m_link.delay().DelayMs(kFailurePauseMs);
                // The rest of this run will not be sent: settled all the same.
                m_link.progress().advance(m_map.presentCount(address, last));
                return false;
            }
            m_fields.setStatusLine(QString::number(address));
            m_link.progress().advance();
        }
        if (address == kBeepAfterAddress)
            m_fields.beep();
    }
    return true;
}

void DeviceOperations::EscribirZAV()
{
    DeshabilitaBotones();
    const ParameterImage image = WriteMapping(m_fields, MappingMode::WriteAll);
    const auto sent = [this](int address) {
        return isSentByWrite(address) && m_map.ComprobarParametro(address);
    };
    // Nothing goes out until every cell to be sent is a byte: a typing mistake
    // must not leave the controller half-written.
    if (const std::optional<WriteProblem> problem = checkImageForWrite(m_fields, image, sent)) {
        m_fields.setStatusLine(problem->text);
        m_fields.focusField(problem->field);
        HabilitaBotones();
        return;
    }
    OperationProgress::Scope progress(m_link.progress(), int(writtenAddresses().size()));
    if (!openPort()) {
        HabilitaBotones();
        return;
    }
    writeRun(image, 0, 246);
    // The ID number goes out even after a failure in the first run, unless the line is gone.
    if (!m_link.aborted() && !m_link.failed())
        writeRun(image, 254, 255);
    m_link.closePort();
    if (m_link.failed())
        m_fields.setStatusLine(m_link.failureText());
    HabilitaBotones();
    m_fields.processEvents();
}

QList<int> DeviceOperations::writtenAddresses() const
{
    QList<int> addresses;
    for (int address = 0; address < 256; ++address) {
        if (isSentByWrite(address) && m_map.ComprobarParametro(address))
            addresses << address;
    }
    return addresses;
}

void DeviceOperations::readStatusFlags()
{
    // Unanswered queries give 0: their indicators go inactive.
    const quint8 general = exchange(kStatusCommand, 0, 0).Data3;
    const auto generalRows = generalFlagRows();
    for (int bit = 0; bit < int(generalRows.size()); ++bit) {
        if (generalRows[bit] != NoRow)
            setIndicator(m_fields, generalRows[bit], general & (1u << bit));
    }
    if (m_link.aborted())
        return;

    const quint8 lamp = exchange(kStatusCommand, 1, 0).Data3;
    const int entry = m_fields.listIndex(QStringLiteral("ComboTipoCambiador"));
    const auto lampRows = lampFlagRows(entry);
    for (int bit = 0; bit < int(lampRows.size()); ++bit) {
        if (lampRows[bit] != NoRow)
            setIndicator(m_fields, lampRows[bit], lamp & (1u << bit));
    }
    if (entry == 3) {
        m_fields.setVisible(QStringLiteral("Label(39)"), true);
        m_fields.setVisible(QStringLiteral("TPWMLed"), true);
        m_fields.setVisible(QStringLiteral("LabelUnidades(20)"), true);
    }
}

void DeviceOperations::CInterrogar_Click()
{
    LinkSession session(m_link);
    if (!session) {
        reportBusy();
        return;
    }
    DeshabilitaBotones();
    if (!openPort()) {
        HabilitaBotones();
        return;
    }
    // A greyed box (2) counts as not ticked.
    if (m_fields.value(QStringLiteral("chkEstado")) == 1)
        readStatusFlags();
    for (const LiveValue &live : liveValues()) {
        if (m_link.aborted())
            break;
        if (m_fields.value(QLatin1String(live.checkBox)) != 1)
            continue;
        const quint8 high = exchange(kStatusCommand, live.highQuery, 0).Data3;
        const quint8 low = exchange(kStatusCommand, quint8(live.highQuery + 1), 0).Data3;
        m_fields.setText(QLatin1String(live.textBox), liveValueText(high, low));
    }
    m_link.closePort();
    if (m_link.aborted())
        return;
    m_fields.setStatusLine(m_link.failed() ? m_link.failureText() : QStringLiteral("End check"));
    HabilitaBotones();
    m_fields.processEvents();
}

void DeviceOperations::TimerEstado_Timer()
{
    // A tick that comes while an operation holds the link is dropped, not queued.
    if (m_link.busy() || m_link.aborted())
        return;
    m_fields.setVisible(QStringLiteral("LedTimerON"), true);
    m_fields.setVisible(QStringLiteral("LedTimerOff"), false);
    CInterrogar_Click();
    m_fields.setVisible(QStringLiteral("LedTimerON"), false);
    m_fields.setVisible(QStringLiteral("LedTimerOff"), true);
}

int DeviceOperations::pollingPeriodMs(const QString &text)
{
    const DecimalNumber seconds = LeadingNumber(text);
    const std::optional<qint64> ms = scaledWhole(seconds, 3);
    if (!ms) // beyond any whole number: as far out of range as it gets
        return seconds.negative ? 1 : kMaxPeriodMs;
    if (*ms == 0)
        return 0;
    return int(std::clamp<qint64>(*ms, 1, kMaxPeriodMs));
}

void DeviceOperations::directCommand(int which)
{
    const auto commands = directCommands();
    if (which < 0 || which >= int(commands.size()))
        return;
    const DirectCommand &command = commands[which];
    LinkSession session(m_link);
    if (!session) {
        reportBusy();
        return;
    }
    if (!openPort())
        return;
    const ReplyFrame reply = exchange(kDirectCommand, command.Param1, command.Param2);
    m_link.closePort();
    if (m_link.failed())
        m_fields.setStatusLine(m_link.failureText());
    else
        m_fields.setStatusLine(QLatin1String(reply.Status == kAck ? command.success : command.failure));
}
