#include "progressprinter.h"

#include "link/operationprogress.h"
#include "text/visibletext.h"

#include <QRegularExpression>
#include <unistd.h>

namespace {
QString duration(qint64 ms)
{
    const qint64 seconds = (ms + 500) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

ProgressPrinter::ProgressPrinter(std::FILE *stream)
    : m_stream(stream), m_terminal(isatty(fileno(stream)) != 0)
{
}

bool ProgressPrinter::isCounter(const QString &text)
{
    // An address or step (" 17", "203") or a colour transfer byte (" 1 - 064 - 255").
    static const QRegularExpression counter(QStringLiteral("^\\s*\\d+(\\s-\\s\\d+\\s-\\s\\d+)?$"));
    return counter.match(text).hasMatch();
}

void ProgressPrinter::clearLine()
{
    if (m_shown.isEmpty())
        return;
    std::fprintf(m_stream, "\r%*s\r", int(m_shown.size()), "");
}

void ProgressPrinter::drawLine(const QString &text)
{
    clearLine();
    std::fprintf(m_stream, "\r%s", text.toLocal8Bit().constData());
    m_shown = text;
    std::fflush(m_stream);
}

void ProgressPrinter::status(const QString &text)
{
    // The progress says how far the loops are: their counters would only scroll by.
    if (m_quiet || isCounter(text))
        return;
    // Status texts may quote zav.ini or a file: control characters are shown escaped.
    const QByteArray line = visibleText(text.trimmed()).toLocal8Bit();
    // On a terminal the text goes above the updating line, which is drawn again under it.
    const QString shown = m_shown;
    clearLine();
    std::fprintf(m_stream, "%s\n", line.constData());
    m_shown.clear();
    if (!shown.isEmpty())
        drawLine(shown);
    std::fflush(m_stream);
}

QString ProgressPrinter::logLine(const OperationProgress &progress, int &tenthsPrinted)
{
    if (!progress.running()) {
        // The end: how much was done, and in how long.
        tenthsPrinted = 0;
        return QStringLiteral("Progress: %1/%2 in %3")
            .arg(progress.done())
            .arg(progress.total())
            .arg(duration(progress.elapsedMs()));
    }
    // A total corrected upwards never prints a tenth twice.
    const int tenths = progress.total() > 0 ? progress.done() * 10 / progress.total() : 0;
    if (tenths <= tenthsPrinted || progress.done() >= progress.total())
        return {};
    tenthsPrinted = tenths;
    return QStringLiteral("Progress: ") + progress.text();
}

void ProgressPrinter::progress(const OperationProgress &progress)
{
    if (m_quiet)
        return;
    if (m_terminal) {
        int unused = 0;
        drawLine(progress.running() ? QStringLiteral("Progress: ") + progress.text()
                                    : logLine(progress, unused));
        if (!progress.running())
            finish();
        return;
    }
    const QString line = logLine(progress, m_tenthsPrinted);
    if (!line.isEmpty()) {
        std::fprintf(m_stream, "%s\n", line.toLocal8Bit().constData());
        std::fflush(m_stream);
    }
}

void ProgressPrinter::finish()
{
    if (!m_shown.isEmpty()) {
        std::fputc('\n', m_stream);
        m_shown.clear();
        std::fflush(m_stream);
    }
}
