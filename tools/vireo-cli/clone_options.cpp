// SPDX-License-Identifier: GPL-3.0-or-later
// The options of read and write and the choice of the port.
#include "clone_options.h"

#include "cli_common.h"
#include "clone/port_listing.h"
#include "model/unit_model.h"
#include "path_checks.h"
#include "profile/profile_location.h"
#include "profile/program_options.h"
#include "profile/serial_devices.h"

#include <algorithm>

namespace vireo::cli {

namespace {

// "COM" and digits, in any letter case: meant as a COM port, not a device.
bool IsComName(const QString &port)
{
    if (port.size() < 4 || !port.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        return false;
    return std::all_of(port.begin() + 3, port.end(), [](QChar c) { return c.isDigit(); });
}

// "COM3" (any letter case) gives 3; anything else 0.
int ComNumberOf(const QString &port)
{
    if (port.size() != 4 || !port.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        return 0;
    const int n = port.at(3).digitValue();
    return n >= 1 && n <= ComPortCount ? n : 0;
}

} // namespace

QList<QCommandLineOption> SharedCloneOptions()
{
    return {
        {QStringLiteral("port"),
         QStringLiteral("COM1 to COM4, mapped to devices by the profile (see 'vireo-cli ports'),\n"
                        "or a device path; default: the profile's Port"),
         QStringLiteral("PORT")},
        {QStringLiteral("code"),
         QStringLiteral("the unit's clone access code (default %1)").arg(DefaultAccessCode),
         QStringLiteral("NNNNN")},
        {QStringLiteral("speed"),
         QStringLiteral("line speed in bits per second (default: the profile's Speed)"),
         QStringLiteral("BPS")},
        {QStringLiteral("profile"), QStringLiteral("the profile to take Port, Speed and [PORTS] from"),
         QStringLiteral("FILE")},
        {QStringLiteral("trace"),
         QStringLiteral("write every frame sent and every byte received, as hex, to FILE,\n"
                        "and each run's result with the exit status it gives"),
         QStringLiteral("FILE")},
        {{QStringLiteral("q"), QStringLiteral("quiet")},
         QStringLiteral("no progress bar on the terminal, no summary line")},
    };
}

Result<CloneOptions> TakeCloneOptions(const QCommandLineParser &parser, const QString &runFile,
                                      const QString &clash)
{
    CloneOptions o;
    o.accessCode = DefaultAccessCode;
    o.profileFile = NamedProfile(parser);
    o.port = parser.value(QStringLiteral("port"));
    if (ComNumberOf(o.port) == 0 && IsComName(o.port))
        return Failure{QStringLiteral("PORT is COM1 to COM4 or a device path")};
    if (parser.isSet(QStringLiteral("code"))) {
        // Digits only: a sign or a space would be a typing slip, not a code.
        const QString value = parser.value(QStringLiteral("code"));
        const bool digits = std::all_of(value.begin(), value.end(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        });
        if (!digits || value.isEmpty() || value.size() > 5)
            return Failure{
                QStringLiteral("--code takes the unit's access code: up to five digits, 0 to 99999")};
        o.accessCode = value.toInt();
    }
    if (parser.isSet(QStringLiteral("speed"))) {
        bool ok = false;
        const int speed = parser.value(QStringLiteral("speed")).toInt(&ok);
        if (!ok || speed <= 0)
            return Failure{QStringLiteral("--speed takes bits per second, e.g. 9600")};
        o.speed = speed;
    }
    o.traceFile = parser.value(QStringLiteral("trace"));
    if (!o.traceFile.isEmpty() && !runFile.isEmpty() && tool::SameFile(o.traceFile, runFile))
        return Failure{clash};
    o.quiet = parser.isSet(QStringLiteral("quiet"));
    return o;
}

Result<PortTarget> ResolvePort(const CloneOptions &options)
{
    const ProfileView profile = ReadProfile(options.profileFile);
    if (ReportProfileRead(profile.path) == ProfileReadStatus::Unreadable && options.port.isEmpty())
        return Failure{QStringLiteral("without a readable profile the port is unknown: give --port")};
    const ProgramOptions &programOptions = profile.options;
    const auto &devices = profile.devices;

    PortTarget target;
    target.speed = options.speed.value_or(programOptions.ComSpeed);
    const QString port =
        options.port.isEmpty() ? QStringLiteral("COM%1").arg(programOptions.ComPortNumber) : options.port;
    if (const int n = ComNumberOf(port)) {
        target.comNumber = n;
        target.device = devices[n - 1];
        return target;
    }
    target.device = port;
    // A device path that a COM port maps to is named as that port.
    for (int n = 1; n <= ComPortCount; ++n)
        if (devices[n - 1] == port)
            target.comNumber = n;
    return target;
}

QString PortName(const PortTarget &target)
{
    return target.comNumber > 0 ? ComPortLabel(target.comNumber, target.device) : target.device;
}

} // namespace vireo::cli
