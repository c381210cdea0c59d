#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// Replaces a file whole or not at all. The bytes go to a temporary file beside
// the target, which is renamed over it only when every write, the final flush
// and the sync to disk went through; otherwise the temporary file is removed, an
// existing file stays exactly as it was and errorString() says why.
//
// QSaveFile alone is not enough: on Qt 6.4 a failed final flush (a full disk)
// does not stop commit(), which then renames a truncated file into place.
class WholeFileWriter
{
public:
    explicit WholeFileWriter(const QString &path);

    bool open();
    // Writes all of the bytes or fails; after a failure nothing more is written.
    bool write(const QByteArray &bytes);
    // Flushes, syncs and renames; cancels the whole write when any step fails.
    bool commit();
    // Drops what was written; the target is not touched.
    void cancel();

    // Why the write failed ("No space left on device").
    QString errorString() const { return m_error; }

    // open, write, commit in one.
    static bool writeFile(const QString &path, const QByteArray &bytes, QString *error);

    // Whether a write to path can succeed, asked before the work that produces its
    // bytes: the folder exists and takes new files, and nothing but a writable
    // regular file is in the way. False with *error saying why; nothing is changed.
    static bool checkTarget(const QString &path, QString *error);
    // The folder part of checkTarget().
    static bool checkFolder(const QString &folder, QString *error);

private:
    bool fail(const QString &reason);

    QSaveFile m_file;
    QString m_error;
    bool m_failed = false;
};
