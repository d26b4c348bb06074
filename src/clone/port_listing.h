// SPDX-License-Identifier: GPL-3.0-or-later
// What the system says of the serial devices behind COM1 to COM4: whether
// it lists each, and its description, for `vireo-cli ports` and the COM
// buttons' tool tips. The system's list is read once per call.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vireo {

/// For each device (a path such as /dev/ttyUSB0, or a Windows port name such
/// as COM3): its description ("USB Serial Port, FTDI"; empty when the system
/// gives none), or nothing when the system does not list it.
std::vector<std::optional<QString>> DescribePorts(const QStringList &devices);

/** A serial device the system lists now. */
struct ListedPort {
    QString device;      ///< /dev/ttyUSB0, /dev/serial/by-id/usb-..., or COM3 on Windows
    QString description; ///< the system's words for it; for a stable link, the device it leads to
};

/// The serial devices present: each port the system lists, then the stable
/// names that lead to them (/dev/serial/by-id/...), which survive replugging.
std::vector<ListedPort> ListSerialDevices();

/// "COM3 (/dev/ttyUSB2)", or "COM3" alone where the port is its own device
/// (Windows).
QString ComPortLabel(int comNumber, const QString &device);

} // namespace vireo
