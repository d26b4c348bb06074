// SPDX-License-Identifier: GPL-3.0-or-later
// QSerialPort backend of the clone link's serial port.
#include "qt_serial_port.h"

#include "base/regular_file.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include <csignal>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace vireo {

PortFailure ClassifyPermissionError(const QString &device)
{
    // QSerialPort reports a port held by another program (lock file, exclusive
    // access) as a permission error too; only the file itself can tell.
    const QByteArray path = QFile::encodeName(device);
    if (::access(path.constData(), R_OK | W_OK) != 0)
        return PortFailure::PermissionDenied;
    return PortFailure::InUse;
}

std::unique_ptr<SerialPort> MakeSystemSerialPort()
{
    return std::make_unique<QtSerialPort>();
}

QString PortHeldText(const QString &device, const QString &lockFolder)
{
    // The serial port's lock: "LCK.." and the device's name below /dev ('/'
    // as '_'), in the first of these folders where it exists or could be made.
    QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
    name = QStringLiteral("LCK..") + name.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QStringList folders = lockFolder.isEmpty() ? QStringList{QStringLiteral("/var/lock"),
                                                                   QStringLiteral("/etc/locks"),
                                                                   QStringLiteral("/var/spool/locks"),
                                                                   QStringLiteral("/var/spool/uucp"),
                                                                   QStringLiteral("/tmp"),
                                                                   QStringLiteral("/var/tmp"),
                                                                   QStringLiteral("/var/lock/lockdev"),
                                                                   QStringLiteral("/run/lock")}
                                                     : QStringList{lockFolder};
    const QString inUse = QStringLiteral("in use by another program");
    for (const QString &folder : folders) {
        const QString path = folder + QLatin1Char('/') + name;
        QFile lock;
        if (!OpenRegularFile(lock, path))
            continue;
        // The lock names its holder on its first line; a run killed between
        // creating the file and writing it leaves it empty.
        const QByteArray holder = lock.read(64).split('\n').first().trimmed();
        bool isNumber = false;
        const qint64 pid = holder.toLongLong(&isNumber);
        if (isNumber && pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM))
            return inUse + QStringLiteral(" (process %1, lock %2)").arg(pid).arg(path);
        return QStringLiteral("held by a stale lock %1 that an interrupted run left; it clears within 30 s")
            .arg(path);
    }
    return inUse;
}

QtSerialPort::QtSerialPort(QObject *parent) : SerialPort(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialPort::readyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPort::OnError);
}

QtSerialPort::~QtSerialPort()
{
    if (m_port.isOpen())
        m_port.close();
}

bool QtSerialPort::Fail(PortFailure kind, const QString &text)
{
    m_failure = kind;
    m_failureText = text;
    if (m_port.isOpen())
        m_port.close();
    m_opening = false;
    return false;
}

namespace {

// What would give the user access: membership of the device's group when that
// group may read and write it (serial adapters belong to "dialout"), else a
// rule that gives the device to such a group.
QString PermissionAdvice(const QString &device)
{
    const QFileInfo info(device);
    const QString group = info.group();
    const bool groupMayUse = info.permission(QFile::ReadGroup) && info.permission(QFile::WriteGroup);
    if (groupMayUse && !group.isEmpty() && group != QLatin1String("root"))
        return QStringLiteral("the user must be a member of the %1 group").arg(group);
    return QStringLiteral("the device gives no group read and write access; a udev rule can give it to "
                          "the dialout group");
}

} // namespace

bool QtSerialPort::Open(const QString &device, qint32 speed)
{
    if (m_port.isOpen())
        m_port.close();
    m_device = device;
    m_failure = PortFailure::None;
    m_failureText.clear();
    m_opening = true;

    m_port.setPortName(device);
    if (!m_port.setBaudRate(speed) || !m_port.setDataBits(QSerialPort::Data8) ||
        !m_port.setParity(QSerialPort::NoParity) || !m_port.setStopBits(QSerialPort::OneStop) ||
        !m_port.setFlowControl(QSerialPort::NoFlowControl))
        return Fail(PortFailure::SettingRefused,
                    QStringLiteral("%1: line settings refused (%2)").arg(device, m_port.errorString()));

    if (!m_port.open(QIODevice::ReadWrite)) {
        const QString reason = m_port.errorString();
        switch (m_port.error()) {
        case QSerialPort::DeviceNotFoundError:
            return Fail(PortFailure::NoSuchDevice,
                        QStringLiteral("%1: no such device (%2)").arg(device, reason));
        case QSerialPort::PermissionError:
            if (ClassifyPermissionError(device) == PortFailure::PermissionDenied)
                return Fail(PortFailure::PermissionDenied,
                            QStringLiteral("%1: permission denied; %2 (%3)")
                                .arg(device, PermissionAdvice(device), reason));
            return Fail(PortFailure::InUse,
                        QStringLiteral("%1: %2 (%3)").arg(device, PortHeldText(device), reason));
        case QSerialPort::UnsupportedOperationError:
            return Fail(PortFailure::SettingRefused,
                        QStringLiteral("%1: line settings refused (%2)").arg(device, reason));
        default:
            return Fail(PortFailure::Other, QStringLiteral("%1: cannot open (%2)").arg(device, reason));
        }
    }

    // A pseudo-terminal, and some adapters, have no modem lines: QSerialPort
    // then refuses DTR and RTS as an unsupported operation. That is no failure.
    const auto setLine = [this, &device](bool ok, const char *name) {
        if (ok)
            return true;
        if (m_port.error() == QSerialPort::UnsupportedOperationError) {
            emit note(QStringLiteral("%1: %2 not supported by the device (%3); going on without it")
                          .arg(device, QLatin1String(name), m_port.errorString()));
            m_port.clearError();
            return true;
        }
        return false;
    };
    if (!setLine(m_port.setDataTerminalReady(true), "DTR"))
        return Fail(PortFailure::SettingRefused,
                    QStringLiteral("%1: DTR refused (%2)").arg(device, m_port.errorString()));
    if (!setLine(m_port.setRequestToSend(true), "RTS"))
        return Fail(PortFailure::SettingRefused,
                    QStringLiteral("%1: RTS refused (%2)").arg(device, m_port.errorString()));
    m_port.clear(QSerialPort::AllDirections);
    m_port.clearError();
    m_canHold = ::tcgetattr(static_cast<int>(m_port.handle()), &m_standing) == 0;
    m_currentMin = m_standing.c_cc[VMIN];
    m_opening = false;
    return true;
}

void QtSerialPort::Close()
{
    // Closing puts the line's standing settings back, the wake-up threshold included.
    m_canHold = false;
    if (m_port.isOpen())
        m_port.close();
}

void QtSerialPort::AwaitBytes(qint64 count)
{
    // With VTIME 0 the terminal reports the line readable only once VMIN bytes
    // wait, so a reply that comes byte by byte is handed over in one piece.
    // VMIN is one byte wide.
    if (!m_port.isOpen() || !m_canHold)
        return;
    const int fd = static_cast<int>(m_port.handle());
    const bool hold = count > 1;
    const auto min = hold ? static_cast<cc_t>(std::min<qint64>(count, 255)) : m_standing.c_cc[VMIN];
    if (min != m_currentMin) {
        termios line = m_standing;
        line.c_cc[VMIN] = min;
        line.c_cc[VTIME] = hold ? 0 : m_standing.c_cc[VTIME];
        if (::tcsetattr(fd, TCSANOW, &line) != 0) {
            emit note(QStringLiteral("%1: wake-up threshold refused (%2); every byte is handed over")
                          .arg(m_device, QString::fromLocal8Bit(::strerror(errno))));
            m_canHold = false;
            return;
        }
        m_currentMin = min;
    }
    // Bytes held back so far are taken in now rather than on the next pass of
    // the event loop, so that whoever asked sees them at once.
    pollfd waiting{fd, POLLIN, 0};
    if (hold || ::poll(&waiting, 1, 0) <= 0 || (waiting.revents & POLLIN) == 0)
        return;
    m_port.waitForReadyRead(0);
    // Asked from within a readyRead handler, QSerialPort takes the bytes in
    // without announcing them again; announced later they are not left
    // waiting for the time-out's poll.
    if (m_port.bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &SerialPort::readyRead, Qt::QueuedConnection);
}

QByteArray QtSerialPort::ReadAll()
{
    if (!m_port.isOpen())
        return {};
    return m_port.readAll();
}

void QtSerialPort::ClearInput()
{
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Input);
}

qint64 QtSerialPort::Write(const QByteArray &bytes)
{
    if (!m_port.isOpen())
        return -1;
    m_writeFailed = false;
    const qint64 taken = m_port.write(bytes);
    // Hand the bytes to the device at once rather than on the next event loop pass.
    if (taken > 0)
        m_port.flush();
    if (m_writeFailed || !m_port.isOpen())
        return -1;
    return taken;
}

qint64 QtSerialPort::SystemQueued() const
{
    int queued = 0;
    if (!m_port.isOpen() || ::ioctl(static_cast<int>(m_port.handle()), TIOCOUTQ, &queued) != 0)
        return 0;
    return queued;
}

bool QtSerialPort::WaitUntilSent(int msecs)
{
    const QDeadlineTimer deadline(msecs);
    // First out of Qt's buffer into the system...
    while (m_port.isOpen() && m_port.bytesToWrite() > 0 && !deadline.hasExpired()) {
        if (!m_port.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
            break;
    }
    // ...then out of the system's queue onto the line, which at a low speed
    // takes the frame's wire time. Polled in short steps: tcdrain() has no bound.
    while (m_port.isOpen() && m_port.bytesToWrite() == 0 && SystemQueued() > 0 && !deadline.hasExpired())
        QThread::msleep(1);
    return !m_port.isOpen() || BytesToSend() == 0;
}

void QtSerialPort::OnError(QSerialPort::SerialPortError error)
{
    if (m_opening || error == QSerialPort::NoError)
        return;
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError:
        // Once the device is gone QSerialPort repeats these errors without end
        // while the port stays open: close on the first one.
        // The system's error text is stale here (often left from a refused
        // modem-line setting), so the reason is said in plain words.
        if (m_port.isOpen()) {
            emit note(QStringLiteral("%1: port error %2 (system text: %3)")
                          .arg(m_device)
                          .arg(int(error))
                          .arg(m_port.errorString()));
            const QString reason =
                QStringLiteral("%1: the line went away (adapter unplugged, or the other end closed it)")
                    .arg(m_device);
            m_port.close();
            emit portLost(reason);
        }
        break;
    case QSerialPort::WriteError:
        m_writeFailed = true;
        emit note(QStringLiteral("%1: write failed (%2)").arg(m_device, m_port.errorString()));
        break;
    default:
        break;
    }
}

} // namespace vireo
