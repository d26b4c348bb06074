// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_common.h"

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

int Editor::Load(const QString &path)
{
    const LoadResult result = LoadDataFile(path, model);
    if (result.status == LoadStatus::CannotOpen)
        return FileError(FileErrorCode::CannotOpen, path, result.reason);
    if (result.status == LoadStatus::Illegal)
        return FileError(FileErrorCode::IllegalData, path);
    binding.NormalizeAndShow();
    model.MarkClean();
    return ExitOk;
}

} // namespace vireo::cli
