// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli ports: the serial devices this machine has, with the stable
// /dev/serial/by-id name of each where there is one, and the device behind
// each of COM1 to COM4 as the profile in use maps them.
#include "cli_common.h"
#include "clone/port_listing.h"
#include "profile/profile_location.h"
#include "profile/program_options.h"
#include "profile/serial_devices.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>

#include <algorithm>

namespace vireo::cli {

namespace {

// Device path -> its /dev/serial/by-id link; these names survive re-plugging
// and so are the ones to put into the profile's [PORTS] section.
QHash<QString, QString> StableNames()
{
    QHash<QString, QString> names;
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo &link : byId.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = link.canonicalFilePath();
        if (!target.isEmpty())
            names.insert(target, link.absoluteFilePath());
    }
    return names;
}

class PortsCommand : public Command {
  public:
    PortsCommand()
        : Command(
              QStringLiteral("ports"),
              QStringLiteral("ports [--profile FILE]        list serial devices and the COM1-COM4 mapping"))
    {
        m_syntax.usage = QStringLiteral("vireo-cli ports [--profile FILE]");
        m_syntax.about =
            QStringLiteral("Lists the machine's serial devices (with their stable /dev/serial/by-id\n"
                           "names) and the device behind each of COM1 to COM4 in the profile.\n");
        m_syntax.epilogue =
            QStringLiteral("Exit status: 0 done; 1 wrong call; 2 the named profile is missing.\n");
        m_syntax.options = {ProfileOption()};
    }

  protected:
    int Execute(const QCommandLineParser &parser) override;
};

int PortsCommand::Execute(const QCommandLineParser &parser)
{
    const std::optional<QString> profileFile = NamedProfile(parser);
    if (const int status = CheckProfileFile(profileFile))
        return status;

    const QHash<QString, QString> stable = StableNames();
    QList<QSerialPortInfo> found = QSerialPortInfo::availablePorts();
    std::sort(found.begin(), found.end(), [](const QSerialPortInfo &a, const QSerialPortInfo &b) {
        return a.systemLocation() < b.systemLocation();
    });

    Out() << "Serial devices:\n";
    if (found.isEmpty())
        Out() << "  (none found)\n";
    for (const QSerialPortInfo &info : found) {
        const QString path = info.systemLocation();
        QString description = info.description();
        if (!info.manufacturer().isEmpty() && !description.contains(info.manufacturer()))
            description += QStringLiteral(", ") + info.manufacturer();
        if (description.isEmpty())
            description = QStringLiteral("-");
        Out() << "  " << qSetFieldWidth(16) << Qt::left << path << qSetFieldWidth(0) << ' ' << description;
        const QString canonical = QFileInfo(path).canonicalFilePath();
        if (const auto it = stable.constFind(canonical.isEmpty() ? path : canonical); it != stable.constEnd())
            Out() << "\n" << QString(19, QLatin1Char(' ')) << it.value();
        Out() << '\n';
    }

    const ProfileView profile = ReadProfile(profileFile);
    ReportProfileRead(profile.path);
    const ProgramOptions &options = profile.options;
    const auto &devices = profile.devices;
    Out() << "COM ports (profile " << profile.path << "):\n";
    const std::vector<std::optional<QString>> described =
        DescribePorts(QStringList(devices.begin(), devices.end()));
    for (int n = 1; n <= ComPortCount; ++n) {
        const QString &device = devices[n - 1];
        Out() << "  COM" << n << "  " << qSetFieldWidth(16) << Qt::left << device << qSetFieldWidth(0);
        const std::optional<QString> &description = described[n - 1];
        if (description && !description->isEmpty())
            Out() << ' ' << *description;
        else if (!description && !QFileInfo::exists(device))
            Out() << " (no such device)";
        if (n == options.ComPortNumber)
            Out() << " <- Port, used by read and write without --port";
        Out() << '\n';
    }
    Out() << "Speed " << options.ComSpeed << " bit/s\n";
    return ExitOk;
}

} // namespace

std::unique_ptr<Command> MakePortsCommand()
{
    return std::make_unique<PortsCommand>();
}

} // namespace vireo::cli
