#pragma once

#include "files/parameterfile.h"

#include <QList>
#include <QString>

// One place where two parameter files differ, named as the window names it.
struct FileDifference
{
    QString what; // a parameter's label, "Cell N", "Colour N" or "Sectors N"
    QString first;
    QString second;
};

// Compares two decoded parameter files: every parameter as the window shows it
// after opening the file (the manufacturing fields, which an open leaves alone,
// as a read shows them), then cells no field maps, the colours, and the sector
// table row by row.
QList<FileDifference> diffParameterFiles(const ParameterFile::Content &first,
                                         const ParameterFile::Content &second);

// "<what>: <first> | <second>", one difference a line.
QString formatDifferences(const QList<FileDifference> &differences);
