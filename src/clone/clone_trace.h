// SPDX-License-Identifier: GPL-3.0-or-later
// The opt-in clone trace: every frame sent and every chunk received as hex,
// with milliseconds since the run started, plus notes about the port.
// The first thing to look at when a unit "does not answer".
#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>

namespace vireo {

/** A text file of timestamped clone traffic. */
class CloneTrace {
  public:
    /// Creates or replaces the trace file; false (with ErrorText) when it
    /// cannot, or when something other than a regular file is at path (a
    /// FIFO is never waited on).
    bool Open(const QString &path);
    bool IsOpen() const { return m_file.isOpen(); }
    QString ErrorText() const { return m_error; }
    void Close() { m_file.close(); }
    /// Why a line could not be written (a full disk), the first time it
    /// happened; empty while every line was written.
    QString WriteError() const { return m_writeError; }

    /// Sets the origin of the timestamps (the run's start on the clone clock).
    void Begin(double now) { m_origin = now; }
    /// A frame handed to the port (hexadecimal text) and how many bytes the port took.
    void Sent(double now, QByteArrayView hex, qint64 taken);
    /// A chunk of received bytes.
    void Received(double now, QByteArrayView bytes);
    void Note(double now, const QString &text);

  private:
    void Line(double now, QByteArrayView tag, QByteArrayView text);

    QFile m_file;
    QString m_error;
    QString m_writeError;
    double m_origin = 0;
};

/// Hexadecimal text spaced into bytes: "FEFE" gives "FE FE".
QByteArray SpacedHex(QByteArrayView hex);

} // namespace vireo
