// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_common.h"

#include <QFileInfo>

#include <cstdio>

namespace vireo::cli {

QTextStream &Out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &Err()
{
    static QTextStream stream(stderr);
    return stream;
}

int UsageError(const QString &message, const QString &usage)
{
    if (!message.isEmpty())
        Err() << "vireo-cli: " << message << '\n';
    Err() << "usage: " << usage << Qt::endl;
    return ExitUsage;
}

int FileError(FileErrorCode code, const QString &path, const QString &reason)
{
    Err() << FileErrorMessage(code) << ' ' << path;
    if (!reason.isEmpty())
        Err() << " (" << reason << ')';
    Err() << Qt::endl;
    return ExitFile;
}

int TakeProfileOption(QStringList &args, std::optional<QString> &profileFile, const QString &usage)
{
    const QString option = QStringLiteral("--profile");
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i).startsWith(option + QLatin1Char('='))) {
            profileFile = args.takeAt(i).mid(option.size() + 1);
        } else if (args.at(i) == option) {
            if (i + 1 >= args.size())
                return UsageError(QStringLiteral("--profile needs a file"), usage);
            args.removeAt(i);
            profileFile = args.takeAt(i);
        } else {
            continue;
        }
        if (profileFile->isEmpty())
            return UsageError(QStringLiteral("--profile needs a file"), usage);
        --i;
    }
    return profileFile ? CheckProfileFile(*profileFile) : ExitOk;
}

int CheckProfileFile(const QString &path)
{
    // A mistyped name would otherwise give the defaults, and a clone command
    // could then open another port than the one the user meant.
    const QFileInfo info(path);
    if (info.exists() && !info.isDir())
        return ExitOk;
    Err() << "vireo-cli: cannot use profile " << path << ": " << (info.exists() ? "a folder" : "no such file")
          << '\n';
    return ExitFile;
}

ProfileReadStatus ReportProfileRead(const QString &path)
{
    // A profile that cannot be read whole is used as far as it was read, and
    // the program never saves over it; say so, or the options used mislead.
    const ProfileFileRead read = ReadProfileFile(path);
    if (read.status == ProfileReadStatus::TooLarge)
        Err() << "vireo-cli: " << path << " is larger than " << ProfileReadLimit
              << " bytes: only the lines before that size are read, and options are never saved to it\n";
    else if (read.status == ProfileReadStatus::Unreadable)
        Err() << "vireo-cli: " << path << " cannot be read (" << read.reason
              << "): defaults are used, and options are never saved to it\n";
    return read.status;
}

int Editor::Load(const QString &path)
{
    const Result<LoadStatus> result = LoadDataFile(path, model);
    if (!result)
        return FileError(FileErrorCode::CannotOpen, path, result.error());
    if (*result == LoadStatus::Illegal)
        return FileError(FileErrorCode::IllegalData, path);
    // As Open does: the loaded image is the saved state, then it is shown.
    model.MarkClean();
    binding.NormalizeAndShow();
    return ExitOk;
}

} // namespace vireo::cli
