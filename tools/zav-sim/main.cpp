// zav-sim: a ZAV lantern controller on a pseudo-terminal, for trying the tool and for
// end-to-end tests without hardware.

#include "sim/profile.h"
#include "simulator.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const char kHelp[] = R"help(Usage: zav-sim [options] [PROFILE]

Simulates a ZAV lantern controller on a pseudo-terminal. The first line on stdout is
the slave device path (e.g. /dev/pts/3); point the tool's port at it. It serves until
it gets SIGTERM or SIGINT (Ctrl+C), or "quit" on its control input.

PROFILE is a profile file, or the name of a shipped one (full, cx2, led, empty).
Without it the "full" profile is used.

Running:
  --background            print the device path, then serve on in the background,
                          detached from the terminal and the shell:
                            dev=$(zav-sim --background --pid-file sim.pid cx2)
                            zavctl --device "$dev" read
                            kill "$(cat sim.pid)"
  --pid-file FILE         write the process id to FILE (removed again at the end)
  --control               take control commands on stdin (below); the end of stdin
                          then ends the simulator. Without it stdin is not read.
  --log FILE              write the frame log (every frame in hex with its time) to
                          FILE; "-" for stderr. Without it there is no log.
  --version               print the version and end

Line options:
  --no-line-rate          answer at once instead of taking 1/960 s per byte each way
                          (10 bits at 9600 baud)
  --reaction-ms MS        fixed pause between a complete request and its answer (0)
  --answer-bad-checksum   answer frames whose checksum is wrong (dropped by default)

Faults (each also settable at run time with "fault ..."):
  --silent CMD[:ADDR]     never answer command CMD (only with Param1 ADDR); repeatable
  --answer-from-try N     answer a frame only on its N-th identical consecutive try
  --short-reply           answer with 7 bytes only
  --short-once CMD[:ADDR] answer the next such request with 7 bytes only; repeatable
  --keep-old CMD[:ADDR]   acknowledge such writes (2, 131-134) as usual but keep the
                          old byte (2:17 parameter 17, 131:5 cell 5 of colour bank 1);
                          repeatable
  --long-reply            answer with 12 bytes (4 zero bytes after the checksum)
  --bad-reply             answer with header 00 00 and an inverted checksum
  --late-ms MS            wait MS more before answering
  --late-once CMD[:ADDR]=MS
                          answer the next such request MS late (1:17=2013 the next
                          read of parameter 17 2013 ms late); repeatable
  --stop-after N          answer N frames, then none
  --hangup-after N        after N frames (and their answers) close the line; the
                          device node disappears

Reply frame (8 bytes): 4A 51 00 CMD P1 P2 ANSWER SUM, SUM = FF ^ bytes 2..6.
ANSWER is the byte read (1), the byte written (2), the status answer (5), the setting
stored (6), the capability byte (128), the bank byte written (131-134) or read
(135-138). Unknown commands, and indexes beyond a table, answer 0.

Control commands on stdin with --control, one per line:
  dump                    the whole state in profile format, then "end"
  set PROFILE-LINE        e.g. "set param 17 200", "set present 0-5", "set status 0 3"
  fault silent CMD[:ADDR] | fault short-once CMD[:ADDR] | fault keep-old CMD[:ADDR]
  fault hold CMD[:ADDR]   take the next such request, answer it only at "release"
  fault answer-from-try N
  fault short|long|bad [on|off]
  fault late MS | fault late-once CMD[:ADDR]=MS
  fault stop-after N|off | fault hangup-after N|off | fault clear
                          (stop-after and hangup-after count from the moment they are set)
  frames                  number of frames received
  release                 answer the held requests now, and hold no more
  lateness                the most (in microseconds) an answer byte went out after
                          its time since the last ask: the machine's load on the line
  log                     the frame log so far (its last 100000 lines), then "end"
  device                  the device path ("hung up" after a hang-up)
  quit                    exit (so does the end of stdin)
Setters answer "ok" or "error: ...".

Profile lines (# starts a comment):
  param A V | params A V1 V2 ... | u16 A V | u24 A V | text A LEN WORDS...
  present all|none|A|A-B ... | absent A|A-B ... | capability K B1 B2 ...
  status Q V | direct F V | bank N A V1 V2 ... | record I COLOUR [ENTRY...]
)help";

bool isFile(const std::string &path)
{
    struct stat info
    {
    };
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string executableDir()
{
    char path[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return ".";
    std::string dir(path, size_t(length));
    return dir.substr(0, dir.rfind('/'));
}

// A path as given, or a shipped profile's name looked up beside the program and in the source tree.
std::string findProfile(const std::string &name)
{
    if (isFile(name))
        return name;
    if (name.find('/') != std::string::npos)
        return {};
    std::vector<std::string> dirs = {executableDir() + "/profiles",
                                     executableDir() + "/../share/zav-sim/profiles"};
#ifdef ZAV_SIM_PROFILE_DIR
    dirs.push_back(ZAV_SIM_PROFILE_DIR);
#endif
    for (const std::string &dir : dirs) {
        for (const std::string &candidate : {dir + "/" + name, dir + "/" + name + ".txt"}) {
            if (isFile(candidate))
                return candidate;
        }
    }
    return {};
}

// Writes the process id, whole or not at all.
bool writePidFile(const std::string &path, pid_t pid, std::string *error)
{
    const std::string temporary = path + ".new";
    FILE *file = std::fopen(temporary.c_str(), "w");
    const bool written = file && std::fprintf(file, "%ld\n", long(pid)) > 0;
    const bool closed = file && std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

// Removes the pid file if it still names this process (a newer one may have taken it over).
void removePidFile(const std::string &path)
{
    FILE *file = std::fopen(path.c_str(), "r");
    if (!file)
        return;
    long pid = 0;
    const bool ours = std::fscanf(file, "%ld", &pid) == 1 && pid == long(getpid());
    std::fclose(file);
    if (ours)
        std::remove(path.c_str());
}

std::string absolutePath(const std::string &path)
{
    if (path.empty() || path[0] == '/')
        return path;
    char cwd[PATH_MAX] = {};
    return getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" + path : path;
}

// Leaves the shell: the parent goes back at once, the child serves on in a session
// of its own, with stdin, stdout and stderr on /dev/null so that nothing waits on
// it ($(...) ends, a closed terminal does not hang it up). Returns the child's pid
// in the parent, 0 in the child, -1 when there is no child.
pid_t detach()
{
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child != 0)
        return child;
    setsid();
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
            dup2(null, fd);
        if (null > STDERR_FILENO)
            close(null);
    }
    // Holds no folder, so it never keeps one from being removed or unmounted.
    if (chdir("/") != 0)
        std::perror("zav-sim: chdir");
    return 0;
}

int usageError(const std::string &text)
{
    std::fprintf(stderr, "zav-sim: %s (see --help)\n", text.c_str());
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    std::signal(SIGPIPE, SIG_IGN);
    SimOptions options;
    std::vector<std::vector<std::string>> faults;
    std::string profileName;
    bool background = false;
    std::string pidFile;

    // Options that take a value, with the fault words they stand for ("" = not a fault).
    struct ValueOption
    {
        const char *name;
        const char *fault;
    };
    const ValueOption valueOptions[] = {{"--silent", "silent"},
                                        {"--short-once", "short-once"},
                                        {"--keep-old", "keep-old"},
                                        {"--answer-from-try", "answer-from-try"},
                                        {"--late-ms", "late"},
                                        {"--late-once", "late-once"},
                                        {"--stop-after", "stop-after"},
                                        {"--hangup-after", "hangup-after"},
                                        {"--reaction-ms", ""},
                                        {"--log", ""},
                                        {"--pid-file", ""}};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::fputs("zav-sim " ZAV_VERSION "\n", stdout);
            return 0;
        }
        if (arg == "--no-line-rate") {
            options.line.lineRate = false;
            continue;
        }
        if (arg == "--answer-bad-checksum") {
            options.line.answerBadChecksum = true;
            continue;
        }
        // The frame log is off unless asked for; older scripts still say so.
        if (arg == "--quiet")
            continue;
        if (arg == "--control") {
            options.control = true;
            continue;
        }
        if (arg == "--background") {
            background = true;
            continue;
        }
        if (arg == "--short-reply" || arg == "--long-reply" || arg == "--bad-reply") {
            faults.push_back({arg.substr(2, arg.find("-reply") - 2)});
            continue;
        }
        bool taken = false;
        for (const ValueOption &option : valueOptions) {
            if (arg != option.name)
                continue;
            if (i + 1 >= argc)
                return usageError(arg + " needs a value");
            const std::string value = argv[++i];
            if (*option.fault) {
                faults.push_back({option.fault, value});
            } else if (arg == "--log") {
                options.logPath = value;
            } else if (arg == "--pid-file") {
                pidFile = absolutePath(value);
            } else {
                char *end = nullptr;
                const long ms = std::strtol(value.c_str(), &end, 10);
                if (value.empty() || *end || ms < 0 || ms > 60000)
                    return usageError("bad --reaction-ms value '" + value + "'");
                options.line.reactionMs = int(ms);
            }
            taken = true;
        }
        if (taken)
            continue;
        if (arg.rfind("--", 0) == 0 || !profileName.empty())
            return usageError("unexpected argument '" + arg + "'");
        profileName = arg;
    }

    if (background && options.control)
        return usageError("--control needs stdin, which --background lets go");
    if (background && options.logPath == "-")
        return usageError("--log - needs stderr, which --background lets go");
    if (profileName.empty())
        profileName = "full";
    const std::string profilePath = findProfile(profileName);
    if (profilePath.empty())
        return usageError("no profile '" + profileName + "'");
    ControllerState state;
    std::string error;
    if (!loadProfile(profilePath, state, &error)) {
        std::fprintf(stderr, "zav-sim: %s\n", error.c_str());
        return 1;
    }

    Simulator simulator(state, options);
    for (const std::vector<std::string> &fault : faults) {
        error = simulator.setFault(fault);
        if (!error.empty())
            return usageError(error);
    }
    if (!simulator.openLine(&error)) {
        std::fprintf(stderr, "zav-sim: %s\n", error.c_str());
        return 1;
    }
    if (background) {
        const pid_t child = detach();
        if (child < 0) {
            std::fprintf(stderr, "zav-sim: cannot start in the background: %s\n", std::strerror(errno));
            return 1;
        }
        if (child > 0) {
            // The pid file is there before the caller gets the device.
            if (!pidFile.empty() && !writePidFile(pidFile, child, &error)) {
                kill(child, SIGTERM);
                std::fprintf(stderr, "zav-sim: %s\n", error.c_str());
                return 1;
            }
            std::printf("%s\n", simulator.devicePath().c_str());
            return 0;
        }
    } else {
        if (!pidFile.empty() && !writePidFile(pidFile, getpid(), &error)) {
            std::fprintf(stderr, "zav-sim: %s\n", error.c_str());
            return 1;
        }
        std::printf("%s\n", simulator.devicePath().c_str());
        std::fflush(stdout);
    }
    Simulator::catchStopSignals();
    const int status = simulator.run();
    if (!pidFile.empty())
        removePidFile(pidFile);
    return status;
}
