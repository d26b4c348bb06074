// SPDX-License-Identifier: GPL-3.0-or-later
// The atomic writer's system calls on Windows: a read-only file is refused, the
// hidden temporary is held open without sharing while it is written and
// flushed, then moved over the target in one step (MoveFileExW, write-through).
#include "file_paths.h"
#include "file_system.h"
#include "regular_file.h"

#include <QDir>

#include <windows.h>

#include <algorithm>

namespace vireo {

namespace {

// The attributes a save carries over from the old file to the new one.
constexpr DWORD KeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                 FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

Failure SystemFailure(DWORD error = GetLastError())
{
    return Failure{qt_error_string(int(error))};
}

Failure ReadOnly()
{
    return Failure{QStringLiteral("file not writable")};
}

std::wstring NativeName(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// Why the file at target may not be replaced; attributes gets the old file's,
// or INVALID_FILE_ATTRIBUTES when nothing is there.
Result<> InspectOldFile(const QString &target, DWORD &attributes)
{
    attributes = INVALID_FILE_ATTRIBUTES;
    if (IsWindowsDeviceName(target))
        return NotRegular();
    const std::wstring name = NativeName(target);
    const DWORD found = GetFileAttributesW(name.c_str());
    if (found == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        const bool nothing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return nothing ? Result<>{} : SystemFailure(error);
    }
    if (found & FILE_ATTRIBUTE_DIRECTORY)
        return NotRegular();
    if (found & FILE_ATTRIBUTE_READONLY)
        return ReadOnly();
    // Asking for no access at all opens even a file another program holds.
    const HANDLE handle = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return SystemFailure();
    BY_HANDLE_FILE_INFORMATION information{};
    Result<> replaceable;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &information))
        replaceable = NotRegular();
    else if (information.nNumberOfLinks > 1)
        replaceable = HasOtherNames();
    CloseHandle(handle);
    if (replaceable)
        attributes = found;
    return replaceable;
}

// Removes the temporaries of this target that a killed save left; one that a
// save in progress holds open (it shares nothing) cannot be deleted and stays.
void RemoveLeftovers(const QString &folder, const QString &prefix)
{
    WIN32_FIND_DATAW entry{};
    const HANDLE search =
        FindFirstFileW(NativeName(folder + QLatin1Char('/') + prefix + QLatin1Char('*')).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const QString name = QString::fromWCharArray(entry.cFileName);
        if (name.size() == prefix.size() + TemporaryRandomChars && name.startsWith(prefix) &&
            !(entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
            DeleteFileW(NativeName(folder + QLatin1Char('/') + name).c_str());
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

// Writes all of bytes to handle and flushes them to the disk.
Result<> FillTemporary(HANDLE handle, QByteArrayView bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const DWORD chunk = DWORD(std::min<qsizetype>(bytes.size() - done, 1 << 30));
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data() + done, chunk, &written, nullptr))
            return SystemFailure();
        if (written == 0)
            return SystemFailure(ERROR_WRITE_FAULT);
        done += written;
    }
    if (!FlushFileBuffers(handle))
        return SystemFailure();
    return {};
}

} // namespace

bool CanCreateFilesIn(const QString &folder)
{
    // Deleted as it is closed; hidden meanwhile.
    const QString probe = folder + QLatin1Char('/') + QString::fromUtf8(TemporaryName(".vireo-probe-"));
    const HANDLE handle = CreateFileW(NativeName(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}

Result<> CheckReplaceable(const QString &target)
{
    DWORD attributes = 0;
    return InspectOldFile(target, attributes);
}

Result<> ReplaceAtomically(const QString &path, QByteArrayView bytes)
{
    DWORD old = 0;
    if (const Result<> replaceable = InspectOldFile(path, old); !replaceable)
        return replaceable;
    const QString folder = AbsoluteFolderOf(path);
    const QString prefix =
        QString::fromUtf8(TemporaryPrefix(FileNameOf(path, PathSeparators::System).toUtf8()));
    RemoveLeftovers(folder, prefix);

    QString temporary;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = folder + QLatin1Char('/') + QString::fromUtf8(TemporaryName(prefix.toUtf8()));
        handle = CreateFileW(NativeName(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return SystemFailure();
    }
    if (handle == INVALID_HANDLE_VALUE)
        return SystemFailure(ERROR_FILE_EXISTS);
    Result<> saved = FillTemporary(handle, bytes);
    // The new file shows as the old one did (hidden, archive, ...); a new one plainly.
    const DWORD kept = old == INVALID_FILE_ATTRIBUTES ? 0 : old & KeptAttributes;
    FILE_BASIC_INFO basic{};
    if (saved && GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic)) {
        basic.FileAttributes = kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
        SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic);
    }
    CloseHandle(handle);
    const std::wstring from = NativeName(temporary);
    if (saved && !MoveFileExW(from.c_str(), NativeName(path).c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        saved = SystemFailure();
    if (!saved)
        DeleteFileW(from.c_str());
    return saved;
}

} // namespace vireo
