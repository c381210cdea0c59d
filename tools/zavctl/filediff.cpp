#include "filediff.h"

#include "device/parametermap.h"
#include "fields/memoryfields.h"
#include "parameterreport.h"

#include <memory>

namespace {

// Manufacturing fields: a file open keeps what the fields held before.
bool openLeavesAlone(const ParameterRow &row)
{
    return row.address >= 247 && row.address <= 253;
}

// The fields after opening the file, and after reading the same cells from a
// controller (for the rows an open does not set).
struct FileView
{
    MemoryFields opened;
    MemoryFields read;

    explicit FileView(const ParameterFile::Content &content)
    {
        setUpParameterFields(opened);
        ReadMapping(opened, content.image, MappingMode::FileOpen);
        setUpParameterFields(read);
        ReadMapping(read, content.image, MappingMode::ReadAll);
    }

    ShownParameter shown(const ParameterRow &row) const
    {
        return shownParameter(openLeavesAlone(row) ? read : opened, row);
    }
};

QString withUnit(const ShownParameter &p)
{
    return p.unit.isEmpty() ? p.value : p.value + QLatin1Char(' ') + p.unit;
}

QString cellsText(const ParameterImage &image, const ParameterRow &row)
{
    QStringList cells;
    for (int k = 0; k < row.width; ++k)
        cells << QString::number(image[size_t(row.address + k)]);
    return cells.join(QLatin1Char(' '));
}

QString entriesText(const ParameterFile::Content &content, int row)
{
    QStringList entries;
    for (int column = 1; column <= 32; ++column) {
        const qint64 x = content.entries[size_t(row)][size_t(column)];
        const QString text = x >= 0 && x <= 360 ? sectorEntryText(qint32(x)) : QString();
        entries << (text.isEmpty() ? QStringLiteral("-") : text);
    }
    while (!entries.isEmpty() && entries.last() == QLatin1String("-"))
        entries.removeLast();
    return entries.isEmpty() ? QStringLiteral("(none)") : entries.join(QLatin1Char(' '));
}

} // namespace

QList<FileDifference> diffParameterFiles(const ParameterFile::Content &first,
                                         const ParameterFile::Content &second)
{
    const auto a = std::make_unique<FileView>(first);
    const auto b = std::make_unique<FileView>(second);
    QList<FileDifference> differences;

    for (const ParameterRow &row : parameterRows()) {
        const ShownParameter pa = a->shown(row);
        const ShownParameter pb = b->shown(row);
        if (withUnit(pa) != withUnit(pb)) {
            differences.append({pa.label, withUnit(pa), withUnit(pb)});
            continue;
        }
        // Cells that differ yet show alike (a list value beyond its last entry, a
        // light level past the table's end) still make different files.
        const QString ca = cellsText(first.image, row);
        const QString cb = cellsText(second.image, row);
        if (ca != cb)
            differences.append({pa.label + QStringLiteral(" (cells)"), ca, cb});
    }
    for (int address = 0; address < ParameterFile::kImageLines; ++address) {
        if (parameterRowAt(address))
            continue;
        if (first.image[size_t(address)] != second.image[size_t(address)])
            differences.append({QStringLiteral("Cell %1").arg(address),
                                QString::number(first.image[size_t(address)]),
                                QString::number(second.image[size_t(address)])});
    }
    for (int row = 1; row <= 8; ++row) {
        if (first.colours[size_t(row)] != second.colours[size_t(row)])
            differences.append({QStringLiteral("Colour %1").arg(row),
                                QString::number(first.colours[size_t(row)]),
                                QString::number(second.colours[size_t(row)])});
    }
    for (int row = 1; row <= 8; ++row) {
        const QString ea = entriesText(first, row);
        const QString eb = entriesText(second, row);
        if (ea != eb)
            differences.append({QStringLiteral("Sectors %1").arg(row), ea, eb});
    }
    return differences;
}

QString formatDifferences(const QList<FileDifference> &differences)
{
    QString text;
    for (const FileDifference &d : differences)
        text += QStringLiteral("%1: %2 | %3\n").arg(d.what, d.first, d.second);
    return text;
}
