// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated unit's line on POSIX terminals: pseudo-terminal or device set
// up raw, one poll loop on a monotonic clock, signals through the interrupt watcher.
#include "unit_line.h"

#include "base/interrupt_watcher.h"

#include "unit_simulator.h"

#include "model/settings_file.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace vireo {

namespace {

constexpr qint64 NsPerMs = 1000000;
// While no program has the pseudo-terminal open its master reports a hang-up
// at once; the loop then looks again this often.
constexpr qint64 ClosedLinePollNs = 5 * NsPerMs;
// With --once: how long to wait for the program to close its port after the
// run, so the line does not vanish under it before it has finished.
constexpr qint64 OnceGraceNs = 3000 * NsPerMs;
constexpr qint64 DeviceOnceGraceNs = 200 * NsPerMs;

qint64 NowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

QString Reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void Log(const QString &text)
{
    std::fputs(QString(QStringLiteral("vireo-unit-sim: ") + text + u'\n').toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

/** The line's file descriptor and the link to it; both go away with it. */
class Line {
  public:
    Line() = default;
    Line(const Line &) = delete;
    Line &operator=(const Line &) = delete;
    ~Line()
    {
        Close();
        RemoveLink();
    }

    int fd = -1;
    bool pty = false;
    QString path; ///< the device the program opens (the pseudo-terminal's slave side)
    QString link;

    void Close()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

    // Removes the link only while it still points at this line's device.
    void RemoveLink()
    {
        if (link.isEmpty())
            return;
        // Read the link itself: a file someone has put there since is not ours.
        const QByteArray linkName = QFile::encodeName(link);
        char target[4096];
        const ssize_t n = ::readlink(linkName.constData(), target, sizeof target);
        if (n > 0 && QByteArray(target, n) == QFile::encodeName(path))
            ::unlink(linkName.constData());
        link.clear();
    }
};

bool SetRaw(int fd, int baud)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (baud > 0 && cfsetspeed(&tio, speed_t(baud)) != 0)
        return false;
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

std::optional<QString> OpenPseudoTerminal(Line &line)
{
    line.fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (line.fd < 0)
        return QStringLiteral("cannot create a pseudo-terminal: %1").arg(Reason(errno));
    char name[256];
    if (grantpt(line.fd) != 0 || unlockpt(line.fd) != 0 || ptsname_r(line.fd, name, sizeof name) != 0)
        return QStringLiteral("cannot set up the pseudo-terminal: %1").arg(Reason(errno));
    // Raw on our side too: no echo by the terminal layer, no line editing, bytes as they are.
    if (!SetRaw(line.fd, 0))
        return QStringLiteral("cannot set the pseudo-terminal raw: %1").arg(Reason(errno));
    line.pty = true;
    line.path = QString::fromLocal8Bit(name);
    return std::nullopt;
}

std::optional<QString> OpenDevice(Line &line, const QString &device, int baud)
{
    line.path = device;
    line.fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (line.fd < 0)
        return QStringLiteral("cannot open %1: %2").arg(device, Reason(errno));
    if (!isatty(line.fd))
        return QStringLiteral("%1 is not a serial device").arg(device);
    if (!SetRaw(line.fd, baud))
        return QStringLiteral("cannot set %1 to %2 bits per second, raw: %3")
            .arg(device)
            .arg(baud)
            .arg(Reason(errno));
    tcflush(line.fd, TCIOFLUSH);
    return std::nullopt;
}

// Points `link` at the line's device; an existing symbolic link is replaced in
// one step, anything else at that path is left alone.
std::optional<QString> MakeLink(Line &line, const QString &link)
{
    const QByteArray linkName = QFile::encodeName(link);
    struct stat st {};
    if (::lstat(linkName.constData(), &st) == 0 && !S_ISLNK(st.st_mode))
        return QStringLiteral("%1 exists and is not a symbolic link; remove it or choose another --link")
            .arg(link);
    const QByteArray temp = linkName + ".tmp-" + QByteArray::number(qint64(::getpid()));
    ::unlink(temp.constData());
    if (::symlink(QFile::encodeName(line.path).constData(), temp.constData()) != 0 ||
        ::rename(temp.constData(), linkName.constData()) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        return QStringLiteral("cannot make the link %1: %2").arg(link, Reason(error));
    }
    line.link = link;
    return std::nullopt;
}

timespec Timeout(qint64 ns)
{
    ns = std::max<qint64>(ns, 0);
    return timespec{time_t(ns / 1000000000), long(ns % 1000000000)};
}

} // namespace

int RunUnitLine(const UnitLineOptions &options, UnitSimulator &unit)
{
    // SIGTERM, SIGINT and SIGHUP arrive as readable data, so the loop ends cleanly.
    InterruptWatcher stop;
    if (!stop.IsValid()) {
        Log(QStringLiteral("cannot watch for signals: %1").arg(stop.ErrorText()));
        return 2;
    }

    Line line;
    std::optional<QString> error =
        options.device.isEmpty() ? OpenPseudoTerminal(line) : OpenDevice(line, options.device, unit.Baud());
    if (!error && !options.link.isEmpty())
        error = MakeLink(line, options.link);
    if (error) {
        Log(*error);
        return 2;
    }
    if (line.pty) {
        std::fputs((line.path + u'\n').toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
    }

    int status = 0;
    QByteArray unwritten;
    bool programOpen = !line.pty; // a device is always "open"; a pseudo-terminal once bytes arrive
    bool hungUp = false;
    std::optional<qint64> finishBy;

    auto handleRunEnds = [&](qint64 now) {
        for (const UnitRunEnd &end : unit.TakeRunEnds()) {
            Log(end.Describe());
            if (end.writeComplete && !options.savePath.isEmpty()) {
                UnitModel model;
                model.UnitImage = unit.Memory();
                if (const Result<> saved = SaveDataFile(options.savePath, model); saved) {
                    Log(QStringLiteral("memory saved to %1").arg(options.savePath));
                } else {
                    Log(QStringLiteral("cannot save %1: %2").arg(options.savePath, saved.error()));
                    status = 2;
                }
            }
            // Bytes left for a program that has finished would greet its next run.
            tcflush(line.fd, TCOFLUSH);
            unwritten.clear();
            if (options.once && !finishBy)
                finishBy = now + (line.pty ? OnceGraceNs : DeviceOnceGraceNs);
        }
    };

    for (;;) {
        qint64 now = NowNs();
        if (unwritten.isEmpty())
            unwritten = unit.TakeDue(now);
        if (!unwritten.isEmpty()) {
            const ssize_t n = ::write(line.fd, unwritten.constData(), size_t(unwritten.size()));
            if (n > 0) {
                unwritten.remove(0, n);
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                if (!line.pty) {
                    Log(QStringLiteral("cannot write to %1: %2").arg(line.path, Reason(errno)));
                    return 2;
                }
                unwritten.clear(); // nobody has the pseudo-terminal open
            }
        }
        if (unit.Unplugged()) {
            Log(QStringLiteral("unplugged: %1 closed").arg(line.path));
            line.Close();
            return status;
        }
        if (finishBy && now >= *finishBy) {
            return status;
        }

        // Sleep until the next byte is due, something arrives, or a signal.
        std::optional<qint64> wake =
            unwritten.isEmpty() ? unit.NextDueNs() : std::optional<qint64>(now + 50 * NsPerMs);
        if (finishBy)
            wake = std::min(wake.value_or(*finishBy), *finishBy);
        if (hungUp)
            wake = std::min(wake.value_or(now + ClosedLinePollNs), now + ClosedLinePollNs);
        pollfd fds[2] = {{stop.Fd(), POLLIN, 0},
                         {line.fd, short(POLLIN | (unwritten.isEmpty() ? 0 : POLLOUT)), 0}};
        const timespec timeout = Timeout(wake.value_or(now) - now);
        const int ready = ::ppoll(fds, hungUp ? 1 : 2, wake ? &timeout : nullptr, nullptr);
        if (ready < 0 && errno != EINTR) {
            Log(QStringLiteral("cannot wait for the line: %1").arg(Reason(errno)));
            return 2;
        }
        if ((fds[0].revents & POLLIN) && stop.Take())
            return status;

        // A closed pseudo-terminal is looked at again after a short wait.
        bool closed = false;
        if (hungUp)
            hungUp = false;
        else if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL))
            closed = !(fds[1].revents & POLLIN);
        if (!closed && (fds[1].revents & POLLIN)) {
            // A bounded number of pieces per wake, so that a program that never
            // stops sending cannot keep the unit from answering and pacing.
            char buffer[4096];
            for (int chunk = 0; chunk < 16; ++chunk) {
                const ssize_t n = ::read(line.fd, buffer, sizeof buffer);
                if (n > 0) {
                    programOpen = true;
                    unit.Receive(NowNs(), QByteArrayView(buffer, n));
                    continue;
                }
                if (n < 0 && (errno == EAGAIN || errno == EINTR))
                    break;
                closed = true; // EIO: the program closed its port; 0: the device is gone
                break;
            }
        }
        now = NowNs();
        handleRunEnds(now);

        if (closed) {
            if (!line.pty) {
                Log(QStringLiteral("%1 went away").arg(line.path));
                return 2;
            }
            hungUp = true;
            if (programOpen) {
                programOpen = false;
                unit.LineClosed();
                handleRunEnds(now);
                tcflush(line.fd, TCOFLUSH);
                unwritten.clear();
                if (finishBy) {
                    return status;
                }
            }
        }
    }
}

} // namespace vireo
