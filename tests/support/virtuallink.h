#pragma once

#include "fields/memoryfields.h"
#include "link/delay.h"
#include "link/link.h"
#include "support/fakecontrollerport.h"

// The link on Com1: over an in-process controller in virtual time, writing its
// texts to an in-memory field store: whole operations, time-outs included, run
// in microseconds.
struct VirtualLink
{
    ManualClock clock;
    FakeControllerPort port{clock};
    Delay delay{clock};
    Link link{port, clock, delay};
    MemoryFields fields;

    VirtualLink()
    {
        delay.setDelayLoopCount(1000);
        link.statusLine = [this](const QString &s) { fields.setStatusLine(s); };
        port.setPortNumber(1);
    }
    VirtualLink(const VirtualLink &) = delete;
    VirtualLink &operator=(const VirtualLink &) = delete;

    // The request frames of one command, in the order sent.
    QList<QByteArray> framesOf(int command) const
    {
        QList<QByteArray> out;
        for (const QByteArray &f : port.frames) {
            if (quint8(f[4]) == command)
                out.append(f);
        }
        return out;
    }
};
