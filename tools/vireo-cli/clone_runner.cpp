// SPDX-License-Identifier: GPL-3.0-or-later
// Running clone runs for read and write: one session a run, Ctrl+C ending it
// as closing the progress window does, and the reports of its end.
#include "clone_runner.h"

#include "cli_common.h"
#include "clone/clone_errors.h"
#include "path_checks.h"

namespace vireo::cli {

CloneRunner::CloneRunner(const PortTarget &target, const CloneOptions &options)
    : m_target(target), m_options(options), m_progress(!options.quiet && StandardErrorIsTerminal())
{
    // Ctrl+C or SIGTERM during a run ends it the way closing the progress
    // window does: F-ABORT is sent so the unit leaves cloning, then the port
    // is closed. Between runs the interrupt is kept for the next Run.
    m_interrupt.Notify(&m_context, [this] {
        if (m_session)
            m_session->Cancel();
    });
}

std::unique_ptr<CloneRunner> CloneRunner::PrepareForCommand(const CloneOptions &options)
{
    Result<std::unique_ptr<CloneRunner>> prepared = Prepare(options);
    if (!prepared) {
        Err() << "vireo-cli: " << prepared.error() << Qt::endl;
        return nullptr;
    }
    return std::move(prepared.value());
}

Result<std::unique_ptr<CloneRunner>> CloneRunner::Prepare(const CloneOptions &options)
{
    const Result<PortTarget> target = ResolvePort(options);
    if (!target)
        return Failure{target.error()};
    auto runner = std::make_unique<CloneRunner>(*target, options);
    if (!options.traceFile.isEmpty() && !runner->m_trace.Open(options.traceFile))
        return Failure{QStringLiteral("cannot write the trace %1 (%2)")
                           .arg(options.traceFile, runner->m_trace.ErrorText())};
    return runner;
}

void CloneRunner::TraceNote(const QString &text)
{
    if (m_trace.IsOpen())
        m_trace.Note(m_clock.Now(), text);
}

CloneResult CloneRunner::Run(CloneMode mode, UnitModel &model, const QString &label)
{
    m_started = false;
    m_movedBlocks = false;
    m_portError.clear();
    const auto notStarted = [&](CloneResult result, const QString &why) {
        TraceNote(QStringLiteral("%1 not started: %2; result: %3, exit status %4")
                      .arg(label, why, CloneResultName(result))
                      .arg(CloneExitStatus(result)));
        return result;
    };
    if (m_interrupt.Take())
        return notStarted(CloneResult::Cancelled, QStringLiteral("interrupted"));
    // Frames written into a file would only spoil it; say what it is instead.
    if (tool::IsNoDevice(m_target.device)) {
        m_portError = QStringLiteral("%1 is not a serial device").arg(m_target.device);
        return notStarted(CloneResult::PortFailed, m_portError);
    }

    CloneSession session(model, *m_port, m_clock);
    if (m_trace.IsOpen())
        session.SetTrace(&m_trace);
    QObject::connect(&session, &CloneSession::progress, &session, [this](int value) {
        m_movedBlocks = true; // the bar moves only for blocks stored or sent
        m_progress.Set(value);
    });
    m_session = &session;
    m_started = true;
    m_progress.Start(label);
    const CloneRequest request{mode, m_target.device, m_target.speed, m_options.accessCode};
    const CloneResult result = RunCloneToEnd(session, request);
    m_session = nullptr;
    m_progress.Finish();
    m_portError = session.PortErrorText();
    TraceNote(QStringLiteral("%1 result: %2, exit status %3")
                  .arg(label, CloneResultName(result))
                  .arg(CloneExitStatus(result)));
    return result;
}

int CloneRunner::Finish(int status)
{
    const QString traceError = m_trace.WriteError();
    if (traceError.isEmpty())
        return status;
    Err() << "vireo-cli: cannot write the trace " << m_options.traceFile << " (" << traceError
          << "); it is incomplete" << Qt::endl;
    return status == ExitOk ? int(ExitFile) : status;
}

int CloneRunner::Failed(CloneResult result, const QString &what)
{
    if (result == CloneResult::Cancelled) {
        if (m_started)
            Err() << "vireo-cli: " << what << " interrupted; the unit was told to leave cloning" << Qt::endl;
        else
            Err() << "vireo-cli: interrupted before the " << what << " started" << Qt::endl;
        return CloneExitStatus(result);
    }
    Err() << "vireo-cli: " << what << " failed on " << PortName(m_target) << " at " << m_target.speed
          << " bit/s\n"
          << MessageText(result);
    if (!m_portError.isEmpty())
        Err() << "Reason: " << m_portError << '\n';
    Err().flush();
    return CloneExitStatus(result);
}

// The window's message; it names the COM port, or the device when no COM
// port maps to it. Printed with the terminal's line ends.
QString CloneRunner::MessageText(CloneResult result) const
{
    QStringList lines = CloneErrorText(result, m_target.comNumber).split(QStringLiteral("\r\n"));
    if (result == CloneResult::PortFailed && m_target.comNumber == 0)
        lines[0] = QStringLiteral("Cannot access %1.").arg(m_target.device);
    return lines.join(QLatin1Char('\n'));
}

} // namespace vireo::cli
