// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_settings_dialog.h"

#include "clone/port_listing.h"
#include "dialog_placement.h"
#include "profile/program_options.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace vireo {

PortSettingsDialog::PortSettingsDialog(const std::array<QString, ComPortCount> &configured, qint32 speed,
                                       Tester test, QWidget *parent)
    : PlacedDialog(parent->window()->frameGeometry(), parent), m_speed(new QComboBox(this)),
      m_result(new QLabel(this)), m_test(std::move(test))
{
    setObjectName(QStringLiteral("portSettingsDialog"));
    setWindowTitle(QStringLiteral("Port Settings"));
    auto *grid = new QGridLayout(this);
    const std::vector<ListedPort> present = ListSerialDevices();
    for (int n = 1; n <= ComPortCount; ++n) {
        auto *devices = new QComboBox(this);
        devices->setObjectName(QStringLiteral("com%1Device").arg(n));
        devices->setEditable(true); // a device the system does not list can be typed
        devices->setMinimumContentsLength(36);
        for (const ListedPort &port : present) {
            devices->addItem(port.device);
            devices->setItemData(devices->count() - 1, port.description, Qt::ToolTipRole);
        }
        devices->setEditText(SerialDeviceFor(configured, n));
        auto *testButton = new QPushButton(QStringLiteral("Test"), this);
        testButton->setObjectName(QStringLiteral("com%1Test").arg(n));
        connect(testButton, &QPushButton::clicked, this, [this, n] { Test(n); });
        grid->addWidget(new QLabel(QStringLiteral("COM%1").arg(n), this), n - 1, 0);
        grid->addWidget(devices, n - 1, 1);
        grid->addWidget(testButton, n - 1, 2);
        m_devices[n - 1] = devices;
    }
    m_speed->setObjectName(QStringLiteral("speedList"));
    for (qint16 offered : ValidComSpeeds)
        m_speed->addItem(QStringLiteral("%1 bit/s").arg(offered), int(offered));
    m_speed->setCurrentIndex(std::max(0, m_speed->findData(int(speed))));
    grid->addWidget(new QLabel(QStringLiteral("Speed"), this), ComPortCount, 0);
    grid->addWidget(m_speed, ComPortCount, 1);
    m_result->setObjectName(QStringLiteral("testResult"));
    m_result->setWordWrap(true);
    grid->addWidget(m_result, ComPortCount + 1, 0, 1, 3);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, ComPortCount + 2, 0, 1, 3);
}

bool PortSettingsDialog::Ask()
{
    return exec() == QDialog::Accepted;
}

std::array<QString, ComPortCount> PortSettingsDialog::Devices() const
{
    std::array<QString, ComPortCount> devices;
    for (int n = 1; n <= ComPortCount; ++n) {
        const QString chosen = m_devices[n - 1]->currentText().trimmed();
        // The default device stays unnamed, so it is looked up again at each clone.
        if (chosen != DefaultSerialDevice(n))
            devices[n - 1] = chosen;
    }
    return devices;
}

qint32 PortSettingsDialog::Speed() const
{
    return m_speed->currentData().toInt();
}

void PortSettingsDialog::Test(int comNumber)
{
    m_result->setText(QStringLiteral("Testing COM%1...").arg(comNumber));
    setEnabled(false); // one exchange at a time
    const PortProbe probe = m_test({comNumber, m_devices[comNumber - 1]->currentText().trimmed(), Speed()});
    setEnabled(true);
    m_result->setText(probe.text);
}

} // namespace vireo
