#include "link/trafficrecord.h"

#include "link/frame.h"

void TrafficRecord::record(const TrafficEvent &event)
{
    if (m_sinks.empty())
        return;
    const QString line = formatLine(event, m_originNs);
    for (const Sink &sink : m_sinks)
        sink(line);
}

QString TrafficRecord::hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString TrafficRecord::formatLine(const TrafficEvent &event, qint64 originNs)
{
    const double ms = double(event.timeNs - originNs) / 1e6;
    QString what;
    QString tag = QStringLiteral("--");
    switch (event.kind) {
    case TrafficEvent::Opened:
        what = QStringLiteral("port opened: ") + event.text;
        break;
    case TrafficEvent::OpenFailed:
        what = QStringLiteral("port not opened: ") + event.text;
        break;
    case TrafficEvent::Closed:
        what = QStringLiteral("port closed");
        break;
    case TrafficEvent::Sent:
        tag = QStringLiteral("TX");
        what = hex(event.bytes) + QStringLiteral("  try %1").arg(event.tryNumber);
        break;
    case TrafficEvent::Received:
        tag = QStringLiteral("RX");
        what = hex(event.bytes);
        if (event.bytes.size() > kFrameSize)
            what += QStringLiteral("  long reply: %1 bytes").arg(event.bytes.size());
        break;
    case TrafficEvent::TimedOut:
        what = QStringLiteral("time-out on try %1: ").arg(event.tryNumber);
        if (event.bytes.isEmpty())
            what += QStringLiteral("no reply");
        else
            what += QStringLiteral("short reply, %1 of %2 bytes waiting: %3")
                        .arg(event.bytes.size())
                        .arg(kFrameSize)
                        .arg(hex(event.bytes));
        break;
    case TrafficEvent::NoAnswer:
        what = QStringLiteral("no answer after %1 tries").arg(event.tryNumber);
        break;
    case TrafficEvent::Dropped:
        what = QStringLiteral("dropped %1 stale bytes: %2").arg(event.bytes.size()).arg(hex(event.bytes));
        break;
    case TrafficEvent::Overlapped:
        what = QStringLiteral("try %1 failed: %2 bytes came in while the request was being sent "
                              "(an earlier reply): %3")
                   .arg(event.tryNumber)
                   .arg(event.bytes.size())
                   .arg(hex(event.bytes));
        break;
    case TrafficEvent::OpenNote:
        what = event.text;
        break;
    case TrafficEvent::LineLost:
        what = QStringLiteral("line lost: ") + event.text;
        break;
    case TrafficEvent::Abandoned:
        what = QStringLiteral("operation abandoned");
        break;
    case TrafficEvent::Stopped:
        what = QStringLiteral("interrupted by ") + event.text;
        break;
    }
    return QStringLiteral("%1 Com%2 %3 %4").arg(ms, 10, 'f', 3).arg(event.port).arg(tag, what);
}
