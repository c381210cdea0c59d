#include "support/simprocess.h"

#include <QDeadlineTimer>
#include <QFileInfo>

namespace {
constexpr int kReplyTimeoutMs = 5000;

// Collects the numbers of the dump lines "<keyword> [<prefix>] <address> <v1> <v2> ...".
void collectDumpBytes(const QString &dump, const QString &keyword, const QString &prefix, quint8 *to)
{
    const QString start = keyword + QLatin1Char(' ') + prefix;
    for (const QString &line : dump.split(QLatin1Char('\n'))) {
        if (!line.startsWith(start))
            continue;
        const QStringList words = line.mid(start.size()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        int address = words[0].toInt();
        for (qsizetype i = 1; i < words.size() && address < 256; ++i, ++address)
            to[address] = quint8(words[i].toInt());
    }
}
} // namespace

SimProcess::~SimProcess()
{
    stop();
}

bool SimProcess::start(const QString &profile, const QStringList &extraArgs)
{
    stop();
    QString path = profile;
    if (!QFileInfo(path).isFile())
        path = QStringLiteral(ZAV_SIM_PROFILES "/") + profile + QStringLiteral(".txt");
    m_process.setProgram(QStringLiteral(ZAV_SIM_PATH));
    m_process.setArguments(QStringList{path, QStringLiteral("--control")} + extraArgs);
    m_process.start();
    if (!m_process.waitForStarted(kReplyTimeoutMs)) {
        m_error = m_process.errorString();
        return false;
    }
    m_devicePath = readLine(kReplyTimeoutMs);
    if (!m_devicePath.startsWith(QLatin1String("/dev/"))) {
        m_process.waitForFinished(1000);
        m_error =
            QStringLiteral("no device path: ") + QString::fromLocal8Bit(m_process.readAllStandardError());
        m_devicePath.clear();
        stop();
        return false;
    }
    return true;
}

void SimProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.write("quit\n");
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(2000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

QString SimProcess::readLine(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!m_process.canReadLine()) {
        if (m_process.state() == QProcess::NotRunning || deadline.hasExpired() ||
            !m_process.waitForReadyRead(int(deadline.remainingTime())))
            return {};
    }
    QString line = QString::fromUtf8(m_process.readLine());
    if (line.endsWith(QLatin1Char('\n')))
        line.chop(1);
    return line;
}

QString SimProcess::command(const QString &line)
{
    m_process.write(line.toUtf8() + '\n');
    const QString word = line.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    const bool block = word == QLatin1String("dump") || word == QLatin1String("log");
    QStringList lines;
    QDeadlineTimer deadline(kReplyTimeoutMs);
    forever
    {
        if (deadline.hasExpired()) {
            m_error = QStringLiteral("no answer to ") + line;
            return {};
        }
        const QString reply = readLine(int(deadline.remainingTime()));
        if (reply.isNull()) {
            m_error = QStringLiteral("no answer to ") + line;
            return {};
        }
        if (!block)
            return reply;
        if (reply == QLatin1String("end"))
            return lines.join(QLatin1Char('\n'));
        lines << reply;
    }
}

std::array<quint8, 256> SimProcess::dumpParams()
{
    std::array<quint8, 256> params{};
    collectDumpBytes(command(QStringLiteral("dump")), QStringLiteral("params"), QString(), params.data());
    return params;
}

QByteArray SimProcess::dumpBank(int bank)
{
    std::array<quint8, 256> bytes{};
    collectDumpBytes(command(QStringLiteral("dump")), QStringLiteral("bank"),
                     QString::number(bank) + QLatin1Char(' '), bytes.data());
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

QStringList SimProcess::frameLog()
{
    return command(QStringLiteral("log")).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

int SimProcess::framesReceived()
{
    return command(QStringLiteral("frames")).toInt();
}
