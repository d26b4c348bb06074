// SPDX-License-Identifier: GPL-3.0-or-later
// WinSerialPort: CreateFile, a DCB for the line settings, COMMTIMEOUTS that
// make reads return at once, and ClearCommError for the queues and errors.
#include "win_serial_port.h"

#include <QDeadlineTimer>
#include <QThread>

#include <windows.h>

#include <algorithm>
#include <utility>

namespace vireo {

namespace {

// A driver that takes longer than this for one frame has stopped sending.
constexpr DWORD WriteTimeoutMs = 5000;
constexpr DWORD QueueSize = 4096;

HANDLE Native(void *handle)
{
    return static_cast<HANDLE>(handle);
}

QString SystemText(DWORD error)
{
    wchar_t *text = nullptr;
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                              FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    QString message = length > 0 ? QString::fromWCharArray(text, int(length)).trimmed()
                                 : QStringLiteral("system error %1").arg(error);
    ::LocalFree(text);
    return message;
}

} // namespace

std::unique_ptr<SerialPort> MakeSystemSerialPort()
{
    return std::make_unique<WinSerialPort>();
}

QString WindowsPortPath(const QString &device)
{
    return device.startsWith(QLatin1String("\\\\.\\")) ? device : QStringLiteral("\\\\.\\") + device;
}

WinSerialPort::WinSerialPort(QObject *parent) : SerialPort(parent)
{
    m_poll.setTimerType(Qt::PreciseTimer);
    m_poll.setInterval(1);
    connect(&m_poll, &QTimer::timeout, this, &WinSerialPort::OnPoll);
}

WinSerialPort::~WinSerialPort()
{
    Close();
}

bool WinSerialPort::Fail(PortFailure kind, const QString &text)
{
    m_failure = kind;
    m_failureText = text;
    Close();
    return false;
}

bool WinSerialPort::Open(const QString &device, qint32 speed)
{
    Close();
    m_device = device;
    m_failure = PortFailure::None;
    m_failureText.clear();
    m_received.clear();
    m_awaited = 1;

    const std::wstring path = WindowsPortPath(device).toStdWString();
    const HANDLE handle =
        ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        const QString reason = SystemText(error);
        switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return Fail(PortFailure::NoSuchDevice,
                        QStringLiteral("%1: no such device (%2)").arg(device, reason));
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            // A COM port is opened for one program at a time: refused access means another holds it.
            return Fail(PortFailure::InUse,
                        QStringLiteral("%1: in use by another program (%2)").arg(device, reason));
        default:
            return Fail(PortFailure::Other, QStringLiteral("%1: cannot open (%2)").arg(device, reason));
        }
    }
    m_handle = handle;

    DCB line{};
    line.DCBlength = sizeof line;
    if (!::GetCommState(handle, &line))
        return Fail(PortFailure::Other,
                    QStringLiteral("%1: not a serial port (%2)").arg(device, SystemText(::GetLastError())));
    line.BaudRate = DWORD(speed);
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = ONESTOPBIT;
    line.fBinary = TRUE;
    line.fParity = FALSE;
    line.fOutxCtsFlow = FALSE;
    line.fOutxDsrFlow = FALSE;
    line.fDsrSensitivity = FALSE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    line.fNull = FALSE;
    line.fAbortOnError = FALSE;
    line.fDtrControl = DTR_CONTROL_ENABLE;
    line.fRtsControl = RTS_CONTROL_ENABLE;
    if (!::SetCommState(handle, &line))
        return Fail(
            PortFailure::SettingRefused,
            QStringLiteral("%1: line settings refused (%2)").arg(device, SystemText(::GetLastError())));
    ::SetupComm(handle, QueueSize, QueueSize); // a request only; drivers may keep their own sizes

    // Reads return at once with what has arrived; a write gives up after a bound.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutConstant = WriteTimeoutMs;
    if (!::SetCommTimeouts(handle, &timeouts))
        return Fail(PortFailure::SettingRefused,
                    QStringLiteral("%1: time-outs refused (%2)").arg(device, SystemText(::GetLastError())));
    ::PurgeComm(handle, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
    m_poll.start();
    return true;
}

void WinSerialPort::Close()
{
    m_poll.stop();
    if (m_handle)
        ::CloseHandle(Native(m_handle));
    m_handle = nullptr;
}

void WinSerialPort::Lost(const QString &what)
{
    const QString reason =
        QStringLiteral("%1: the line went away (adapter unplugged, or the other end closed it): %2 (%3)")
            .arg(m_device, what, SystemText(::GetLastError()));
    Close();
    emit portLost(reason);
}

bool WinSerialPort::TakeIn()
{
    if (!m_handle)
        return false;
    DWORD errors = 0;
    if (!::ClearCommError(Native(m_handle), &errors, nullptr)) {
        Lost(QStringLiteral("the port's state cannot be read"));
        return false;
    }
    if ((errors & (CE_RXOVER | CE_OVERRUN)) != 0)
        emit receiveOverflow();
    char chunk[QueueSize];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(Native(m_handle), chunk, sizeof chunk, &got, nullptr)) {
            Lost(QStringLiteral("read failed"));
            return false;
        }
        m_received.append(chunk, qsizetype(got));
        if (got < sizeof chunk)
            return true;
    }
}

void WinSerialPort::OnPoll()
{
    const qsizetype before = m_received.size();
    if (TakeIn() && m_received.size() > before && m_received.size() >= m_awaited)
        emit readyRead();
}

void WinSerialPort::AwaitBytes(qint64 count)
{
    m_awaited = std::max<qint64>(count, 1);
    // Every byte counts again: what was held back, or has just arrived, is
    // announced now so that whoever asked sees it before deciding anything.
    if (m_awaited == 1 && TakeIn() && !m_received.isEmpty())
        emit readyRead();
}

QByteArray WinSerialPort::ReadAll()
{
    TakeIn();
    return std::exchange(m_received, QByteArray());
}

void WinSerialPort::ClearInput()
{
    m_received.clear();
    if (m_handle)
        ::PurgeComm(Native(m_handle), PURGE_RXABORT | PURGE_RXCLEAR);
}

qint64 WinSerialPort::Write(const QByteArray &bytes)
{
    if (!m_handle)
        return -1;
    DWORD written = 0;
    if (!::WriteFile(Native(m_handle), bytes.constData(), DWORD(bytes.size()), &written, nullptr)) {
        emit note(QStringLiteral("%1: write failed (%2)").arg(m_device, SystemText(::GetLastError())));
        return -1;
    }
    return qint64(written);
}

qint64 WinSerialPort::BytesToSend() const
{
    COMSTAT queues{};
    DWORD errors = 0;
    if (!m_handle || !::ClearCommError(Native(m_handle), &errors, &queues))
        return 0;
    return qint64(queues.cbOutQue);
}

bool WinSerialPort::WaitUntilSent(int msecs)
{
    // The driver's output queue empties at the line's pace; polled in short
    // steps, since flushing the handle would wait without a bound.
    const QDeadlineTimer deadline(msecs);
    while (m_handle && BytesToSend() > 0 && !deadline.hasExpired())
        QThread::msleep(1);
    return !m_handle || BytesToSend() == 0;
}

} // namespace vireo
