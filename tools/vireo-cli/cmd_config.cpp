// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli config: the profile file in use, the options as the program loads
// them (after its corrections) and the serial device behind COM1 to COM4.
#include "cli_common.h"
#include "profile/profile_location.h"
#include "profile/program_options.h"
#include "profile/serial_devices.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vireo::cli {

namespace {

class ConfigCommand : public Command {
  public:
    ConfigCommand()
        : Command(
              QStringLiteral("config"),
              QStringLiteral("config [--profile FILE] [--json]  print the profile in use and its options"))
    {
        m_syntax.usage = QStringLiteral("vireo-cli config [--profile FILE] [--json]");
        m_syntax.about =
            QStringLiteral("Prints the profile file in use, its options as the program loads them\n"
                           "(after its corrections) and the device behind COM1 to COM4.\n");
        m_syntax.epilogue =
            QStringLiteral("Exit status: 0 done; 1 wrong call; 2 the named profile is missing.\n");
        m_syntax.options = {ProfileOption(), {QStringLiteral("json"), QStringLiteral("print it as JSON")}};
    }

  protected:
    int Execute(const QCommandLineParser &parser) override;
};

int ConfigCommand::Execute(const QCommandLineParser &parser)
{
    const std::optional<QString> profileFile = NamedProfile(parser);
    if (const int status = CheckProfileFile(profileFile))
        return status;
    const bool json = parser.isSet(QStringLiteral("json"));

    const ProfileView profile = ReadProfile(profileFile);
    const ProgramOptions &options = profile.options;
    const auto &ports = profile.devices;
    const QString &path = profile.path;
    ReportProfileRead(path);

    if (json) {
        const QJsonObject root{{QStringLiteral("profile"), path},
                               {QStringLiteral("Port"), options.ComPortNumber},
                               {QStringLiteral("Speed"), options.ComSpeed},
                               {QStringLiteral("ToolBar"), options.ToolbarShown},
                               {QStringLiteral("WindowTop"), options.WindowTop},
                               {QStringLiteral("WindowLeft"), options.WindowLeft},
                               {QStringLiteral("RecentFiles"), JsonTexts(options.RecentFiles)},
                               {QStringLiteral("Ports"), JsonTexts(ports)}};
        Out() << QJsonDocument(root).toJson(QJsonDocument::Indented);
        return ExitOk;
    }
    Out() << "Profile:    " << path;
    if (!QFileInfo::exists(path))
        Out() << (profile.readFallback.isEmpty() || !QFileInfo::exists(profile.readFallback)
                      ? QStringLiteral("  (not there yet: defaults)")
                      : QStringLiteral("  (not there yet: read from %1)").arg(profile.readFallback));
    Out() << '\n'
          << "Port:       COM" << options.ComPortNumber << '\n'
          << "Speed:      " << options.ComSpeed << '\n'
          << "ToolBar:    " << (options.ToolbarShown ? "shown" : "hidden") << '\n'
          << "WindowTop:  " << options.WindowTop << '\n'
          << "WindowLeft: " << options.WindowLeft << '\n';
    for (int n = 1; n <= RecentFileCount; ++n)
        Out() << "FileName(" << n << "): " << options.RecentFiles[n - 1] << '\n';
    for (int n = 1; n <= ComPortCount; ++n)
        Out() << "COM" << n << ":       " << ports[n - 1] << '\n';
    return ExitOk;
}

} // namespace

std::unique_ptr<Command> MakeConfigCommand()
{
    return std::make_unique<ConfigCommand>();
}

} // namespace vireo::cli
