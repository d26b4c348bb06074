// SPDX-License-Identifier: GPL-3.0-or-later
// DescribePorts over QSerialPortInfo, which lists ports on Linux and Windows.
#include "port_listing.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace vireo {

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
            QString text = port.description();
            if (!port.manufacturer().isEmpty() && !text.contains(port.manufacturer()))
                text += (text.isEmpty() ? QString() : QStringLiteral(", ")) + port.manufacturer();
            description = text;
        }
        described.push_back(description);
    }
    return described;
}

QString ComPortLabel(int comNumber, const QString &device)
{
    const QString com = QStringLiteral("COM%1").arg(comNumber);
    if (device.compare(com, Qt::CaseInsensitive) == 0)
        return com;
    return QStringLiteral("%1 (%2)").arg(com, device);
}

} // namespace vireo
