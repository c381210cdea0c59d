#include "desktop/tracefile.h"

#include <QDateTime>

namespace {

// Local time with its offset from UTC, so a record sent elsewhere still says when.
QString startTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    return now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

} // namespace

bool TraceFile::open(const QString &path, const QString &program, QString *error)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        if (error)
            *error =
                QStringLiteral("Cannot open %1 for the traffic record: %2").arg(path, m_file.errorString());
        return false;
    }
    writeLine(QStringLiteral("# %1 traffic record, started %2; times in ms since the start")
                  .arg(program, startTime()));
    return true;
}

void TraceFile::writeLine(const QString &line)
{
    if (m_file.isOpen())
        m_file.write((line + QLatin1Char('\n')).toUtf8());
}
