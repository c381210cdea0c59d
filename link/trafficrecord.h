#pragma once

#include "link/trafficevent.h"

#include <QString>
#include <functional>
#include <vector>

// The traffic record of one link: every frame sent and received and the events
// between them, as lines of text with the time in milliseconds since the record
// began. It observes only: the link hands it events after the bytes are on
// their way, and nothing here touches the port or the link's timing.
//
//     12.345 Com1 TX 4A 51 00 00 06 01 01 F9  try 1
//     29.871 Com1 RX 4A 51 00 06 01 01 01 F9
class TrafficRecord
{
public:
    using Sink = std::function<void(const QString &line)>;

    // originNs: the moment (on the link's clock) the times count from.
    explicit TrafficRecord(qint64 originNs = 0) : m_originNs(originNs) {}

    void addSink(Sink sink) { m_sinks.push_back(std::move(sink)); }
    bool hasSinks() const { return !m_sinks.empty(); }

    // Link::traffic hands every event here.
    void record(const TrafficEvent &event);

    static QString formatLine(const TrafficEvent &event, qint64 originNs);
    // "4A 51 00 00"
    static QString hex(const QByteArray &bytes);

private:
    qint64 m_originNs;
    std::vector<Sink> m_sinks;
};
