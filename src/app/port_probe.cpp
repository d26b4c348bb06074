// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_probe.h"

#include "clone/clone_errors.h"
#include "clone/port_listing.h"

#include <QEventLoop>
#include <QTimer>

namespace vireo {

PortProbe ProbePort(CloneSession &session, const ClonePortChoice &port, std::int32_t accessCode)
{
    if (session.InRun())
        return {false, QStringLiteral("A clone is running.")};
    bool answered = false;
    std::optional<CloneResult> result;
    QEventLoop loop;
    // The status reply moves the run past the inquiry: the unit is there.
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (session.InRun() && session.Step() != CloneStep::Inquiry) {
            answered = true;
            session.Cancel();
        }
    });
    QObject::connect(&session, &CloneSession::finished, &loop, [&](CloneResult r) {
        result = r;
        loop.quit();
    });
    if (session.StartClone({CloneMode::Read, port.device, port.speed, accessCode}) && !result) {
        watch.start();
        loop.exec();
    }
    const QString where = ComPortLabel(port.portNumber, port.device);
    // A quick unit can finish a whole read between two looks.
    if (answered || result == CloneResult::ReadComplete)
        return {true, QStringLiteral("A unit answered on %1 at %2 bit/s.").arg(where).arg(port.speed)};
    const CloneResult ended = result.value_or(CloneResult::PortFailed);
    return {false, QString(CloneErrorText(ended, port.portNumber).trimmed() + QLatin1Char('\n') +
                           ClonePortDetail(port, session.PortErrorText()))};
}

} // namespace vireo
