#pragma once

#include "device/parameterimage.h"
#include "sectors/colourrecord.h"

#include <QList>
#include <QString>
#include <QStringList>

class Fields;
class Link;

// Proves a write by reading back what it sent, with the read's own transactions
// (command 1 per address, 134 + n per bank byte), one after the other and paced
// as every transaction is. A controller may acknowledge a write and keep the old
// byte: only a read-back tells. Every answered transaction counts on the link's
// progress; the caller starts the count.
class WriteCheck
{
public:
    WriteCheck(Link &link, Fields &fields);

    // Reads the addresses in ascending order into stored; false when one went
    // unanswered or the line failed (the read's failure text is in the StatusLine).
    bool readParameters(const QList<int> &addresses, ParameterImage &stored);
    // Reads both records of bank n (1..4); false as above.
    bool readColourBank(int bank, ColourRecord::TransferBuffer &stored);

    // One line per parameter whose cells differ, by the caption the window shows:
    // "Delay Lamp 1: sent 7.7 Seg., stored 2.0 Seg. (cell 29: sent 77, stored 20)".
    // labels gives the captions; cells no field maps are named by their address.
    static QStringList parameterDifferences(const Fields &labels, const ParameterImage &sent,
                                            const ParameterImage &stored, const QList<int> &addresses);
    // One line per differing byte of bank n, with what the byte holds:
    // "Colour bank 2, cell 5: sent 45, stored 0 (colour 3, entry 1 low byte)".
    static QStringList colourDifferences(int bank, const ColourRecord::TransferBuffer &sent,
                                         const ColourRecord::TransferBuffer &stored);

    // The image's values as the window shows them after a read.
    static void showImage(Fields &fields, const ParameterImage &image);

private:
    bool readFailed(int address);

    Link &m_link;
    Fields &m_fields;
};
