// SPDX-License-Identifier: GPL-3.0-or-later
// The serial device behind each COM number: the optional [PORTS] section of
// the profile (COM1 to COM4, each a device path), else the platform default.
// The section stays in the file as the user wrote it until the port settings
// are changed in the window.
#pragma once

#include "profile_file.h"

#include <array>
#include <functional>

namespace vireo {

inline constexpr char PortsSection[] = "PORTS";
inline constexpr int ComPortCount = 4;

/// Whether a device path exists; the real test is QFile::exists.
using DeviceExists = std::function<bool(const QString &)>;

/// The default device of COM n (1 to 4): Windows "COMn"; elsewhere
/// /dev/ttyUSB<n-1> when it exists, otherwise /dev/ttyS<n-1>.
QString DefaultSerialDevice(int comNumber, const DeviceExists &exists = {});

/// The devices the [PORTS] section names for COM1 to COM4 (indices 0 to 3),
/// empty where it names none. The profile's Section is left as it was.
std::array<QString, ComPortCount> ConfiguredSerialDevices(const ProfileFile &profile);

/// Writes COM1 to COM4 into [PORTS] in one replacement of the file (an empty
/// entry: the default device). The profile's Section is left as it was.
Result<> SaveSerialDevices(ProfileFile &profile, const std::array<QString, ComPortCount> &devices);

/// The device of COM n: the configured one, else the default found now (so
/// an adapter plugged in since start-up is found).
QString SerialDeviceFor(const std::array<QString, ComPortCount> &configured, int comNumber,
                        const DeviceExists &exists = {});

/// The devices of COM1 to COM4 (indices 0 to 3): the [PORTS] key "COMn" when
/// it holds a path, else the default. The profile's Section is left as it was.
std::array<QString, ComPortCount> SerialDevicePaths(const ProfileFile &profile,
                                                    const DeviceExists &exists = {});

} // namespace vireo
