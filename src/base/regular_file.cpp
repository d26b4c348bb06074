// SPDX-License-Identifier: GPL-3.0-or-later
// Opening files read from outside: the rules every system shares. The check
// on what was actually opened is the system's (regular_file_<system>.cpp).
#include "regular_file.h"
#include "file_paths.h"
#include "file_system.h"

#include <QFileInfo>
#include <QStringList>

namespace vireo {

Result<> CheckNameIsText(const QString &path)
{
    if (path.contains(QChar::ReplacementCharacter))
        return Failure{QStringLiteral("the name is not valid UTF-8 text; rename the file")};
    return {};
}

bool IsWindowsDeviceName(const QString &path)
{
    static const QStringList Devices{QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                     QStringLiteral("NUL")};
    const QString name = FileNameOf(path, PathSeparators::Any);
    // Windows reads the device's name up to the first dot, trailing spaces dropped.
    const QString stem = name.left(name.indexOf(QLatin1Char('.'))).trimmed().toUpper();
    if (Devices.contains(stem))
        return true;
    return stem.size() == 4 &&
           (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT"))) &&
           stem[3] >= QLatin1Char('1') && stem[3] <= QLatin1Char('9');
}

Failure NotRegular()
{
    return Failure{QStringLiteral("not a regular file")};
}

namespace {

Result<> OpenRegular(QFile &file, const QString &path, QIODevice::OpenMode mode)
{
    if (const Result<> text = CheckNameIsText(path); !text)
        return text;
    // A resource built into the program (":/...") is no file on disk.
    if (!path.startsWith(QLatin1Char(':')))
        return OpenRegularOnDisk(file, path, mode);
    if (const QFileInfo info(path); info.exists() && !info.isFile())
        return NotRegular();
    file.setFileName(path);
    if (!file.open(mode))
        return Failure{file.errorString()};
    return {};
}

} // namespace

Result<> OpenRegularFile(QFile &file, const QString &path)
{
    return OpenRegular(file, path, QIODevice::ReadOnly);
}

Result<> OpenRegularFileForWriting(QFile &file, const QString &path)
{
    // Unbuffered: each write reaches the file at once, and a refused one fails
    // there with the system's reason (a buffered flush would only say "Unknown error").
    return OpenRegular(file, path, QIODevice::WriteOnly | QIODevice::Unbuffered);
}

} // namespace vireo
