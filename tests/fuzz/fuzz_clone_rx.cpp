// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: serial bytes during clones; the run ends and only a complete read fills the buffer.
#include "../clone/fake_serial_port.h"
#include "clone/clone_session.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

void Run(vireo::CloneMode mode, QByteArrayView input)
{
    vireo::UnitModel model;
    model.UnitImage.fill(0x1234);
    const vireo::UnitWords before = model.UnitImage;
    vireo::test::FakeSerialPort port;
    vireo::test::ManualClock clock;
    vireo::CloneSession session(model, port, clock);
    session.SetAutoDrive(false);
    if (!session.StartClone({mode, QStringLiteral("/dev/fake"), 9600, vireo::DefaultAccessCode}))
        return;
    // The input arrives in chunks whose sizes come from the input itself.
    qsizetype pos = 0;
    for (int tick = 0; tick < 100000 && session.CloneActive(); ++tick) {
        if (pos < input.size()) {
            const qsizetype chunk = 1 + static_cast<std::uint8_t>(input[pos]) % 64;
            port.Feed(input.sliced(pos, std::min(chunk, input.size() - pos)).toByteArray());
            pos += chunk;
        } else {
            clock.Advance(0.5); // silence: the time-out must end the run
        }
        session.CloneTick();
    }
    if (session.CloneActive() || model.UnitImage != before)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_clone_rx";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    const QByteArrayView input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    Run(vireo::CloneMode::Read, input);
    Run(vireo::CloneMode::Write, input);
    return 0;
}
