// SPDX-License-Identifier: GPL-3.0-or-later
// The serial port as the clone session uses it: exactly the operations one
// clone run needs. The QSerialPort backend drives real devices and
// pseudo-terminals; unit tests script a fake.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

namespace vireo {

/// Why a port could not be opened or set up.
enum class PortFailure {
    None,
    NoSuchDevice,     ///< the device file does not exist
    PermissionDenied, ///< the device file refuses us (the dialout group)
    InUse,            ///< held by another program (lock file, exclusive access)
    SettingRefused,   ///< open, but a line setting was refused
    Other,
};

/** A serial port: open with line settings, read, write, drain, close. */
class SerialPort : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    ~SerialPort() override = default;

    /// Opens the device at `speed` bits per second, 8 data bits, no parity,
    /// 1 stop bit, no flow control, DTR and RTS on, both buffers emptied.
    /// On failure the port is closed and FailureKind()/FailureText() say why.
    virtual bool Open(const QString &device, qint32 speed) = 0;
    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;
    /// Received bytes waiting to be read.
    virtual qint64 BytesWaiting() const = 0;
    /// Every waiting byte at once (empty when none or on a read failure).
    virtual QByteArray ReadAll() = 0;
    /// Drops every waiting received byte.
    virtual void ClearInput() = 0;
    /// Queues bytes for sending in one operation; returns how many were taken (-1 on failure).
    virtual qint64 Write(const QByteArray &bytes) = 0;
    /// Bytes not yet on the line: queued in the port and in the system's output queue.
    virtual qint64 BytesToSend() const = 0;
    /// Waits at most `msecs` until every written byte has left the machine,
    /// the system's output queue included; true when none is left. Closing
    /// restores the device's standing line settings, so a frame must be out first.
    virtual bool WaitUntilSent(int msecs) = 0;
    /// The run can change nothing before `count` more bytes arrive: the port may
    /// hold readyRead back until that many wait. At 1 or less every byte counts
    /// again, and bytes held back are taken in (readyRead) before this returns.
    virtual void AwaitBytes(qint64 count) { Q_UNUSED(count) }

    /// Why the last Open failed.
    virtual PortFailure FailureKind() const = 0;
    /// The operating system's reason for the last failure, for the CLI and the trace.
    virtual QString FailureText() const = 0;

  signals:
    /// Received bytes arrived.
    void readyRead();
    /// Received bytes were lost because the receive buffer was full.
    void receiveOverflow();
    /// The port failed for good (device unplugged); it is already closed.
    void portLost(const QString &reason);
    /// Something worth a line in the trace that is not a failure.
    void note(const QString &text);
};

/// The serial port of the system the program runs on (one backend per
/// system, chosen when the program is built).
std::unique_ptr<SerialPort> MakeSystemSerialPort();

} // namespace vireo
