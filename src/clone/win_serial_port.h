// SPDX-License-Identifier: GPL-3.0-or-later
// The serial port on Windows: the system's comm API on a plain (not
// overlapped) handle, read without waiting and polled while a run is on.
#pragma once

#include "serial_port.h"

#include <QTimer>

namespace vireo {

/**
 * SerialPort on a Windows COM port. Reads never wait (the port's read
 * time-outs say "return what is there"), so one thread does all I/O: on a
 * plain handle Windows lets one call at a time through, and a read waiting
 * for bytes would hold every write up behind it. A 1 ms timer runs only
 * while the port is open, takes in what arrived and announces it once as
 * many bytes wait as the run awaits.
 */
class WinSerialPort : public SerialPort {
    Q_OBJECT
  public:
    explicit WinSerialPort(QObject *parent = nullptr);
    ~WinSerialPort() override;

    bool Open(const QString &device, qint32 speed) override;
    bool IsOpen() const override { return m_handle != nullptr; }
    void Close() override;
    qint64 BytesWaiting() const override { return m_received.size(); }
    QByteArray ReadAll() override;
    void ClearInput() override;
    qint64 Write(const QByteArray &bytes) override;
    qint64 BytesToSend() const override;
    bool WaitUntilSent(int msecs) override;
    void AwaitBytes(qint64 count) override;
    PortFailure FailureKind() const override { return m_failure; }
    QString FailureText() const override { return m_failureText; }

  private:
    /// Moves what the driver received into m_received; false when the port
    /// failed for good (it is then closed and portLost emitted).
    bool TakeIn();
    void OnPoll();
    bool Fail(PortFailure kind, const QString &text);
    void Lost(const QString &what);

    void *m_handle = nullptr; // the open HANDLE, or nullptr
    QString m_device;
    QByteArray m_received;
    qint64 m_awaited = 1;
    QTimer m_poll;
    PortFailure m_failure = PortFailure::None;
    QString m_failureText;
};

/// The name CreateFile takes for a port: "COM3" and "COM12" become
/// "\\.\COM3" and "\\.\COM12"; a name already in that form stays.
QString WindowsPortPath(const QString &device);

} // namespace vireo
