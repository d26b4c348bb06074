// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a regular file on Windows: a reserved device name (CON, COM1, ...)
// is never opened, and the type is decided on the opened handle.
#include "file_system.h"
#include "regular_file.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace vireo {

Result<> OpenRegularOnDisk(QFile &file, const QString &path, QIODevice::OpenMode mode)
{
    // Opening CON waits for the console, NUL takes every byte and keeps none.
    if (IsWindowsDeviceName(path))
        return NotRegular();
    const bool writing = mode.testFlag(QIODevice::WriteOnly);
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    // A folder is opened only with backup semantics: without, it would fail as "access denied".
    if (const DWORD attributes = GetFileAttributesW(name.c_str());
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return NotRegular();
    const HANDLE handle = CreateFileW(name.c_str(), writing ? GENERIC_WRITE : GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      writing ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return Failure{qt_error_string(int(GetLastError()))};
    BY_HANDLE_FILE_INFORMATION information{};
    Result<> opened;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        opened = NotRegular();
    else if (writing && !SetEndOfFile(handle)) // a new handle stands at the start: this empties the file
        opened = Failure{qt_error_string(int(GetLastError()))};
    if (!opened) {
        CloseHandle(handle);
        return opened;
    }
    // The C run-time's descriptor owns the handle from here; binary: QFile
    // translates line ends itself where asked to.
    const int fd = _open_osfhandle(intptr_t(handle), writing ? _O_BINARY : _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return Failure{QStringLiteral("too many open files")};
    }
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        _close(fd);
        return Failure{file.errorString()};
    }
    return {};
}

} // namespace vireo
