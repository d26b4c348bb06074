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
