// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli: headless access to settings files and units, for scripts and
// workshops. Each command lives in its own file; this one only dispatches and
// returns the command's exit status.
#include "cli_common.h"

#include <QCoreApplication>

using namespace vireo::cli;

namespace {

struct CommandEntry {
    const char *name;
    Command run;
    const char *summary;
};

const CommandEntry Commands[] = {
    {"show", RunShow, "show FILE [--json]            print every field of a settings file"},
    {"set", RunSet, "set FILE ASSIGNMENT... [-o OUT]  change fields as the editor would, then save"},
    {"config", RunConfig, "config [--profile FILE] [--json]  print the profile in use and its options"},
    {"read", RunRead, "read [--port PORT] -o FILE.st2  read the unit into a settings file (read --help)"},
    {"write", RunWrite,
     "write FILE.st2 [--port PORT] [--verify] [--backup DIR]  write a settings file to the unit"},
    {"ports", RunPorts, "ports [--profile FILE]        list serial devices and the COM1-COM4 mapping"},
    {"diff", RunDiff,
     "diff A.st2 B.st2              list differing fields and words of two normalised files"},
};

int Usage()
{
    Err() << "usage: vireo-cli COMMAND [ARGS]\ncommands:\n";
    for (const CommandEntry &c : Commands)
        Err() << "  " << c.summary << '\n';
    Err().flush();
    return ExitUsage;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h"))
        return Usage();
    const QString name = args.takeFirst();
    for (const CommandEntry &c : Commands)
        if (name == QLatin1String(c.name)) {
            const int status = c.run(args);
            Out().flush();
            Err().flush();
            return status;
        }
    Err() << "vireo-cli: unknown command '" << name << "'\n";
    return Usage();
}
