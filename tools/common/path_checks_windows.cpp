// SPDX-License-Identifier: GPL-3.0-or-later
// Path checks on Windows: names compare without regard to case, one file is
// one volume and file index (hard links too), and a port is opened as
// "\\.\NAME", so a bare name is a device and a path is looked at as such.
#include "path_checks.h"

#include <QDir>

#include <windows.h>

#include <optional>
#include <tuple>

namespace vireo::tool {

namespace {

using FileId = std::tuple<DWORD, DWORD, DWORD>; // volume serial number, file index high and low

std::optional<FileId> IdOf(const QString &path)
{
    // No access asked for: the identity of a file another program holds can be read too.
    const HANDLE handle = CreateFileW(QDir::toNativeSeparators(path).toStdWString().c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known =
        GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &information);
    CloseHandle(handle);
    if (!known)
        return std::nullopt;
    return FileId{information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
}

} // namespace

bool SameFile(const QString &a, const QString &b)
{
    if (RealLocation(a).compare(RealLocation(b), Qt::CaseInsensitive) == 0)
        return true;
    const std::optional<FileId> idA = IdOf(a);
    return idA && idA == IdOf(b);
}

bool IsNoDevice(const QString &path)
{
    const QString devicePrefix = QStringLiteral("\\\\.\\");
    QString name = QDir::toNativeSeparators(path);
    if (name.startsWith(devicePrefix))
        name = name.mid(devicePrefix.size());
    if (!name.contains(QLatin1Char('\\')) && !name.contains(QLatin1Char(':')))
        return false;
    // Under the device prefix the name is taken literally: "COM1.txt" in a folder is a file there.
    const std::wstring literal = QString(devicePrefix + name).toStdWString();
    return GetFileAttributesW(literal.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace vireo::tool
