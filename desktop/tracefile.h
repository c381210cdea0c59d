#pragma once

#include <QFile>
#include <QString>
#include <functional>

// The traffic record written to a file as it goes (--trace FILE): one write per
// line, nothing held back in a buffer, so a crash keeps every line before it.
// A run appends to what the file holds, after a header line of its own. "-" is
// standard error; a device or a pipe is written as it comes, without seeking.
class TraceFile
{
public:
    // False, with *error set, when the file cannot be opened for appending or
    // its header line cannot be written.
    bool open(const QString &path, const QString &program, QString *error);
    bool isOpen() const { return m_file.isOpen(); }
    // False once a write has failed: the record is closed then and error() says why.
    bool writeLine(const QString &line);
    QString error() const { return m_error; }

    // Runs once, at the first failed write after open().
    std::function<void(const QString &error)> failed;

private:
    bool openFile(const QString &path);

    QFile m_file;
    QString m_path;
    QString m_error;
};
