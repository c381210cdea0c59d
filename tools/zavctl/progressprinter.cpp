#include "progressprinter.h"

#include "text/visibletext.h"

#include <QRegularExpression>
#include <unistd.h>

namespace {
constexpr int kCounterEvery = 32;
}

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

void ProgressPrinter::status(const QString &text)
{
    if (m_quiet)
        return;
    // Status texts may quote zav.ini or a file: control characters are shown escaped.
    const QByteArray line = visibleText(text.trimmed()).toLocal8Bit();
    if (isCounter(text)) {
        if (m_terminal) {
            std::fprintf(m_stream, "\r%-40s", line.constData());
            m_counterShown = true;
        } else if (m_counters % kCounterEvery == 0) {
            std::fprintf(m_stream, "%s\n", line.constData());
        }
        ++m_counters;
        std::fflush(m_stream);
        return;
    }
    finish();
    m_counters = 0;
    std::fprintf(m_stream, "%s\n", line.constData());
    std::fflush(m_stream);
}

void ProgressPrinter::finish()
{
    if (m_counterShown) {
        std::fputc('\n', m_stream);
        m_counterShown = false;
    }
}
