// SPDX-License-Identifier: GPL-3.0-or-later
// DescribePorts over QSerialPortInfo, which lists ports on Linux and Windows.
#include "port_listing.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace vireo {

namespace {

// "USB Serial Port, FTDI": the description, and the maker when it does not name it.
QString PortDescription(const QSerialPortInfo &port)
{
    QString text = port.description();
    if (!port.manufacturer().isEmpty() && !text.contains(port.manufacturer()))
        text += (text.isEmpty() ? QString() : QStringLiteral(", ")) + port.manufacturer();
    return text;
}

} // namespace

std::vector<std::optional<QString>> DescribePorts(const QStringList &devices)
{
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    std::vector<std::optional<QString>> described;
    for (const QString &device : devices) {
        std::optional<QString> description;
        // A link (/dev/serial/by-id/...) names the port it points to.
        const QString canonical = QFileInfo(device).canonicalFilePath();
        for (const QSerialPortInfo &port : ports) {
            const QString location = port.systemLocation();
            if (location != device && location != canonical &&
                port.portName().compare(device, Qt::CaseInsensitive) != 0)
                continue;
            description = PortDescription(port);
        }
        described.push_back(description);
    }
    return described;
}

std::vector<ListedPort> ListSerialDevices()
{
    std::vector<ListedPort> listed;
    for (const QSerialPortInfo &port : QSerialPortInfo::availablePorts())
        listed.push_back({port.systemLocation(), PortDescription(port)});
    const QDir stable(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo &link : stable.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        listed.push_back({link.absoluteFilePath(), link.canonicalFilePath()});
    return listed;
}

QString ComPortLabel(int comNumber, const QString &device)
{
    const QString com = QStringLiteral("COM%1").arg(comNumber);
    if (device.compare(com, Qt::CaseInsensitive) == 0)
        return com;
    return QStringLiteral("%1 (%2)").arg(com, device);
}

} // namespace vireo
