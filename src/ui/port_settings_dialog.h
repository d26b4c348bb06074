// SPDX-License-Identifier: GPL-3.0-or-later
// Clone > Port Settings: the device behind each of COM1 to COM4, chosen from
// the serial devices present (their stable names too) or typed, the line
// speed, and a Test per port that asks whether a unit answers there.
#pragma once

#include "app/port_probe.h"
#include "profile/serial_devices.h"

#include "dialog_placement.h"

#include <QDialog>

#include <array>
#include <functional>

class QComboBox;
class QLabel;

namespace vireo {

/** The port settings, edited in place of the profile's [PORTS] and Speed. */
class PortSettingsDialog : public PlacedDialog {
    Q_OBJECT
  public:
    using Tester = std::function<PortProbe(const ClonePortChoice &)>;

    /// `configured` as [PORTS] names them (empty: the default device).
    PortSettingsDialog(const std::array<QString, ComPortCount> &configured, qint32 speed, Tester test,
                       QWidget *parent);
    /// Shows the dialog over its owner; true when the user chose OK.
    bool Ask();
    /// The devices chosen, empty where COM n keeps its default device.
    std::array<QString, ComPortCount> Devices() const;
    qint32 Speed() const;

  private:
    void Test(int comNumber);

    std::array<QComboBox *, ComPortCount> m_devices{};
    QComboBox *m_speed;
    QLabel *m_result;
    Tester m_test;
};

} // namespace vireo
