#pragma once

#include <QString>
#include <cstdio>

class OperationProgress;

// Writes to standard error what zavctl is doing: the StatusLine texts as plain
// lines, without the bare counters of the long loops (an address, a bank byte),
// and the progress of a read, a write or a colour transfer instead: on a
// terminal one line that updates in place under the texts, elsewhere a plain
// line at every tenth of the way and one at the end.
class ProgressPrinter
{
public:
    explicit ProgressPrinter(std::FILE *stream);

    void setQuiet(bool quiet) { m_quiet = quiet; }
    void status(const QString &text);
    void progress(const OperationProgress &progress);
    // Ends an updating progress line before other output.
    void finish();

    static bool isCounter(const QString &text);
    // The plain line a log gets for this change of the count, or an empty text:
    // one at every tenth of the way and one at the end. tenthsPrinted carries
    // what was printed between calls (0 at the start of each operation).
    static QString logLine(const OperationProgress &progress, int &tenthsPrinted);

private:
    void clearLine();
    void drawLine(const QString &text);

    std::FILE *m_stream;
    bool m_terminal = false;
    bool m_quiet = false;
    QString m_shown; // the updating line on the terminal, empty when none
    int m_tenthsPrinted = 0;
};
