// SPDX-License-Identifier: GPL-3.0-or-later
// The serial port on QSerialPort: real serial devices, USB adapters and
// pseudo-terminals. Failures keep the operating system's reason as text.
#pragma once

#include "serial_port.h"

#include <QSerialPort>

#include <termios.h>

namespace vireo {

/** SerialPort backed by QSerialPort. */
class QtSerialPort : public SerialPort {
    Q_OBJECT
  public:
    explicit QtSerialPort(QObject *parent = nullptr);
    ~QtSerialPort() override;

    bool Open(const QString &device, qint32 speed) override;
    bool IsOpen() const override { return m_port.isOpen(); }
    void Close() override;
    qint64 BytesWaiting() const override { return m_port.bytesAvailable(); }
    QByteArray ReadAll() override;
    void ClearInput() override;
    qint64 Write(const QByteArray &bytes) override;
    qint64 BytesToSend() const override { return m_port.bytesToWrite() + SystemQueued(); }
    bool WaitUntilSent(int msecs) override;
    void AwaitBytes(qint64 count) override;
    PortFailure FailureKind() const override { return m_failure; }
    QString FailureText() const override { return m_failureText; }

  private:
    /// Bytes in the system's output queue of the open device (0 when unknown).
    qint64 SystemQueued() const;
    void OnError(QSerialPort::SerialPortError error);
    bool Fail(PortFailure kind, const QString &text);

    QSerialPort m_port;
    QString m_device;
    PortFailure m_failure = PortFailure::None;
    QString m_failureText;
    bool m_opening = false;
    bool m_writeFailed = false;
    // The line's settings as the port opened them (VMIN and VTIME say when the
    // line counts as readable) and the VMIN set now; no holding back where unreadable.
    bool m_canHold = false;
    termios m_standing{};
    cc_t m_currentMin = 0;
};

/// The failure of an open refused with QSerialPort's PermissionError: the
/// device file's own access decides between "permission denied" and "in use".
PortFailure ClassifyPermissionError(const QString &device);

/// Why a device that opens for us is held, judged by its lock file in the
/// system's lock folder: "in use by another program", or a stale lock that a
/// run killed while opening the port left (empty, or naming a process that
/// has ended), which the port's lock handling clears after 30 s.
QString PortHeldText(const QString &device, const QString &lockFolder = QString());

} // namespace vireo
