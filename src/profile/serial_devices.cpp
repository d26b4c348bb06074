// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial_devices.h"

#include <QFile>

namespace vireo {

QString DefaultSerialDevice(int comNumber, const DeviceExists &exists)
{
#ifdef Q_OS_WIN
    Q_UNUSED(exists);
    return QStringLiteral("COM%1").arg(comNumber);
#else
    // A USB adapter is what a workshop plugs in today; a built-in port is the fallback.
    const QString usb = QStringLiteral("/dev/ttyUSB%1").arg(comNumber - 1);
    const bool present = exists ? exists(usb) : QFile::exists(usb);
    return present ? usb : QStringLiteral("/dev/ttyS%1").arg(comNumber - 1);
#endif
}

std::array<QString, ComPortCount> ConfiguredSerialDevices(const ProfileFile &profile)
{
    ProfileFile reader = profile; // a copy, so the caller's sticky Section stays
    reader.SetSection(QString::fromLatin1(PortsSection));
    std::array<QString, ComPortCount> devices;
    for (int n = 1; n <= ComPortCount; ++n)
        reader.LoadData(QStringLiteral("COM%1").arg(n), devices[n - 1]);
    return devices;
}

Result<> SaveSerialDevices(ProfileFile &profile, const std::array<QString, ComPortCount> &devices)
{
    ProfileFile writer = profile; // a copy, so the caller's sticky Section stays
    if (Result<> begun = writer.BeginBatch(); !begun)
        return begun;
    writer.SetSection(QString::fromLatin1(PortsSection));
    for (int n = 1; n <= ComPortCount; ++n)
        if (Result<> saved = writer.SaveData(QStringLiteral("COM%1").arg(n), devices[n - 1]); !saved)
            return saved;
    return writer.CommitBatch();
}

QString SerialDeviceFor(const std::array<QString, ComPortCount> &configured, int comNumber,
                        const DeviceExists &exists)
{
    const QString &device = configured[comNumber - 1];
    return device.isEmpty() ? DefaultSerialDevice(comNumber, exists) : device;
}

std::array<QString, ComPortCount> SerialDevicePaths(const ProfileFile &profile, const DeviceExists &exists)
{
    const std::array<QString, ComPortCount> configured = ConfiguredSerialDevices(profile);
    std::array<QString, ComPortCount> devices;
    for (int n = 1; n <= ComPortCount; ++n)
        devices[n - 1] = SerialDeviceFor(configured, n, exists);
    return devices;
}

} // namespace vireo
