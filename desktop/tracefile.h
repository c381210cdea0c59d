#pragma once

#include <QFile>
#include <QString>

// The traffic record written to a file as it goes (--trace FILE): one write per
// line, nothing held back in a buffer, so a crash keeps every line before it.
// A run appends to what the file holds, after a header line of its own.
class TraceFile
{
public:
    // False, with *error set, when the file cannot be opened for appending.
    bool open(const QString &path, const QString &program, QString *error);
    bool isOpen() const { return m_file.isOpen(); }
    void writeLine(const QString &line);

private:
    QFile m_file;
};
