#pragma once

#include "device/parameterimage.h"

#include <QString>
#include <functional>

class Fields;
class SectorEditor;
namespace ParameterFile {
struct Content;
}

// Save and open of parameter files from the window (or headless): the fields
// through the parameter map, the colours and the sector table.
class ParameterFileOps
{
public:
    ParameterFileOps(Fields &fields, SectorEditor &editor);

    // The save and open dialogs with the filter "Parametros|*.zav"; an empty
    // name is a cancelled dialog.
    std::function<QString()> askSaveName;
    std::function<QString()> askOpenName;

    void CGuardar_Click() { GuardarArchivoZAV(); }
    void CAbrir_Click() { AbrirArchivoZAV(); }
    void GuardarArchivoZAV();
    void AbrirArchivoZAV();

    // The same without dialogs; false with the reason when nothing was saved or loaded.
    bool saveTo(const QString &path, QString *error);
    bool openFrom(const QString &path, QString *error);
    // What the open does once the file is read and checked: grid, colours, fields.
    void load(const ParameterFile::Content &content);

    static QString filter() { return QStringLiteral("Parametros (*.zav)"); }

private:
    bool writeFile(const QString &path, const ParameterImage &image, QString *error);

    Fields &m_fields;
    SectorEditor &m_editor;
};
