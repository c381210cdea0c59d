#include "files/parameterfileops.h"

#include "device/parametermap.h"
#include "fields/fields.h"
#include "files/parameterfile.h"
#include "files/wholefilewriter.h"
#include "sectors/sectoreditor.h"
#include "sectors/sectorgrid.h"
#include "text/visibletext.h"

#include <QCoreApplication>

ParameterFileOps::ParameterFileOps(Fields &fields, SectorEditor &editor) : m_fields(fields), m_editor(editor)
{
}

void ParameterFileOps::GuardarArchivoZAV()
{
    const ParameterImage image = WriteMapping(m_fields, MappingMode::FileSave);
    const QString path = askSaveName ? askSaveName() : QString();
    if (path.isEmpty())
        return;
    QString error;
    if (!writeFile(path, image, &error))
        m_fields.messageBox(error);
}

bool ParameterFileOps::saveTo(const QString &path, QString *error)
{
    return writeFile(path, WriteMapping(m_fields, MappingMode::FileSave), error);
}

bool ParameterFileOps::writeFile(const QString &path, const ParameterImage &image, QString *error)
{
    const QByteArray bytes = ParameterFile::encode(image, m_editor.state());

    // Written whole or not at all: a failed save leaves an existing file as it was.
    WholeFileWriter file(path);
    bool written = file.open();
    qint64 offset = 0;
    int line = 0;
    while (written && offset < bytes.size()) {
        const qint64 end = bytes.indexOf('\n', offset) + 1;
        if (!file.write(bytes.mid(offset, end - offset))) {
            written = false;
            break;
        }
        offset = end;
        ++line;
        if (line <= ParameterFile::kImageLines)
            m_fields.setStatusLine(QString::number(line - 1));
        else if ((line - ParameterFile::kImageLines) % ParameterFile::kRowLines == 0)
            m_fields.setStatusLine(
                QString::number((line - ParameterFile::kImageLines) / ParameterFile::kRowLines));
    }
    if (!written || !file.commit()) {
        *error = QCoreApplication::translate("ParameterFileOps", "Cannot save %1: %2")
                     .arg(visibleText(path), file.errorString());
        return false;
    }
    m_fields.setStatusLine(QStringLiteral(" Saved file"));
    return true;
}

void ParameterFileOps::AbrirArchivoZAV()
{
    const QString path = askOpenName ? askOpenName() : QString();
    if (path.isEmpty())
        return;
    QString error;
    if (!openFrom(path, &error))
        m_fields.messageBox(error);
}

bool ParameterFileOps::openFrom(const QString &path, QString *error)
{
    // The whole file is read and checked before anything in the window changes.
    const ParameterFile::DecodeResult decoded = ParameterFile::readFile(path);
    if (!decoded.content) {
        *error = decoded.error;
        return false;
    }
    load(*decoded.content);
    return true;
}

void ParameterFileOps::load(const ParameterFile::Content &content)
{
    for (int address = 0; address < ParameterFile::kImageLines; ++address)
        m_fields.setStatusLine(QString::number(address));

    SectorState &state = m_editor.state();
    SectorGrid &grid = m_editor.grid();
    for (int row = 1; row <= SectorTable::kRows; ++row) {
        state.colours.setColour(row, qint32(content.colours[size_t(row)]));
        for (int column = 1; column <= SectorTable::kEntries; ++column) {
            const qint64 x = content.entries[size_t(row)][size_t(column)];
            // A sector may start at 0 degrees; whatever else the grid cannot show
            // empties its cell and its entry alike.
            if (x >= 0 && x <= 360) {
                grid.setCellText(row, column, SectorEditor::formatAngle(qint32(x)));
                state.table.setEntry(row, column, qint32(x));
            } else {
                grid.setCellText(row, column, QString());
                state.table.setEntry(row, column, SectorTable::kEmpty);
            }
        }
    }
    m_editor.MSFlexGridPautas_LeaveCell();
    grid.repaint();
    m_fields.setStatusLine(QStringLiteral("Ended"));
    // The labels and row headers show the loaded colours, so a colour write sends them.
    m_editor.RellenarColores();

    ReadMapping(m_fields, content.image, MappingMode::FileOpen);
    m_fields.processEvents();
}
