// SPDX-License-Identifier: GPL-3.0-or-later
#include "port_probe.h"

#include "clone/clone_errors.h"
#include "clone/port_listing.h"

#include <QEventLoop>

namespace vireo {

PortProbe ProbePort(CloneSession &session, const ClonePortChoice &port, std::int32_t accessCode)
{
    if (session.InRun())
        return {false, QStringLiteral("A clone is running.")};
    bool answered = false;
    std::optional<CloneResult> result;
    QEventLoop loop;
    // Ended from the event loop, once the session has finished taking the reply.
    QObject::connect(
        &session, &CloneSession::unitPresent, &loop,
        [&] {
            answered = true;
            session.Cancel();
        },
        Qt::QueuedConnection);
    QObject::connect(&session, &CloneSession::finished, &loop, [&](CloneResult r) {
        result = r;
        loop.quit();
    });
    if (session.StartClone({CloneMode::Read, port.device, port.speed, accessCode}) && !result)
        loop.exec();
    const QString where = ComPortLabel(port.portNumber, port.device);
    if (answered)
        return {true, QStringLiteral("A unit answered on %1 at %2 bit/s.").arg(where).arg(port.speed)};
    const CloneResult ended = result.value_or(CloneResult::PortFailed);
    return {false, QString(CloneErrorText(ended, port.portNumber).trimmed() + QLatin1Char('\n') +
                           ClonePortDetail(port, session.PortErrorText()))};
}

} // namespace vireo
