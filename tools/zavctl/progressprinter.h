#pragma once

#include <QString>
#include <cstdio>

// Writes the StatusLine texts to standard error, one line a step. The counters
// of the long loops (an address, a bank byte) are collapsed: on a terminal into
// one line that updates in place, elsewhere into every 32nd count.
class ProgressPrinter
{
public:
    explicit ProgressPrinter(std::FILE *stream);

    void setQuiet(bool quiet) { m_quiet = quiet; }
    void status(const QString &text);
    // Ends an updating counter line before other output.
    void finish();

    static bool isCounter(const QString &text);

private:
    std::FILE *m_stream;
    bool m_terminal = false;
    bool m_quiet = false;
    bool m_counterShown = false;
    int m_counters = 0;
};
