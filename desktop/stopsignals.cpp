#include "desktop/stopsignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

std::atomic<int> firstSignal{0};
std::atomic<int> signalCount{0};
std::atomic<bool> installed{false};
#ifdef Q_OS_UNIX
int wakeUpPipe[2] = {-1, -1};
#endif

// Async-signal-safe: atomics, write(2), signal(2) and raise(2) only.
extern "C" void onStopSignal(int signal)
{
    int expected = 0;
    firstSignal.compare_exchange_strong(expected, signal);
    const int count = ++signalCount;
#ifdef Q_OS_UNIX
    const int savedErrno = errno;
    if (wakeUpPipe[1] >= 0) {
        const unsigned char byte = static_cast<unsigned char>(signal);
        [[maybe_unused]] const ssize_t ignored = ::write(wakeUpPipe[1], &byte, 1);
    }
    errno = savedErrno;
#endif
    if (count >= 3) {
        // Whoever insists gets the plain end of the process.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}

} // namespace

void StopSignals::install()
{
    if (installed.exchange(true))
        return;
#ifdef Q_OS_UNIX
    if (::pipe(wakeUpPipe) == 0) {
        for (int fd : wakeUpPipe) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // The reply wait polls the port a millisecond at a time: restarted calls are fine.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#else
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
#endif
}

int StopSignals::first()
{
    return firstSignal.load();
}

int StopSignals::count()
{
    return signalCount.load();
}

QString StopSignals::name(int signal)
{
    switch (signal) {
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    default:
        return QStringLiteral("signal %1").arg(signal);
    }
}

StopSignals::StopSignals(QObject *parent) : QObject(parent)
{
    install();
#ifdef Q_OS_UNIX
    if (wakeUpPipe[0] >= 0) {
        m_notifier = new QSocketNotifier(wakeUpPipe[0], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &StopSignals::readPipe);
    }
#endif
}

void StopSignals::readPipe()
{
#ifdef Q_OS_UNIX
    unsigned char bytes[16];
    for (;;) {
        const ssize_t n = ::read(wakeUpPipe[0], bytes, sizeof bytes);
        if (n <= 0)
            break;
        for (ssize_t i = 0; i < n; ++i) {
            if (caught)
                caught(bytes[i]);
        }
    }
#endif
}
