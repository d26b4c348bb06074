// SPDX-License-Identifier: GPL-3.0-or-later
// What read and write take from the command line, and the port they choose:
// a COM port mapped by the profile, or a device path.
#pragma once

#include "base/result.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

namespace vireo::cli {

/** Everything read and write take from the command line. */
struct CloneOptions {
    std::optional<QString> profileFile;
    QString port; ///< as given: COM1..COM4 or a device path; empty for the profile's Port
    std::optional<qint32> speed;
    std::int32_t accessCode = 0;
    QString traceFile;
    bool quiet = false;
};

/// The options read and write share.
QList<QCommandLineOption> SharedCloneOptions();
/// The options read and write share, taken from a parsed line; a Failure
/// names what is wrong with them (a wrong call). `runFile` is the file the run
/// reads or saves: --trace naming it too fails with `clash`.
Result<CloneOptions> TakeCloneOptions(const QCommandLineParser &parser, const QString &runFile,
                                      const QString &clash);

/** The serial device a run opens, and the COM number its messages name (0: none). */
struct PortTarget {
    QString device;
    int comNumber = 0;
    qint32 speed = 9600;
};

/// The device and speed of the run; a Failure when no --port is given and the
/// profile, which would name the port, cannot be read.
Result<PortTarget> ResolvePort(const CloneOptions &options);
/// "COM2 (/dev/ttyUSB1)", or the device alone.
QString PortName(const PortTarget &target);

} // namespace vireo::cli
