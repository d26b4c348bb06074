// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: frames and pauses to the simulated unit; memory, output and backlog stay bounded.
#include "clone/clone_frames.h"
#include "unit_simulator.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace vireo;
    if (size == 0)
        return 0;
    UnitSimConfig config;
    for (std::size_t i = 0; i < config.memory.size(); ++i)
        config.memory[i] = std::uint16_t(0x1111 * (i % 15));
    config.echo = data[0] & 1;
    config.preamble = 1 + (data[0] >> 1) % 3;
    const QString fault = QStringLiteral(",no-unit,wrong-identity,short-data=5,extra-blocks,bad-block=3,"
                                         "silent-after=3,unplug-after=4")
                              .section(QLatin1Char(','), (data[0] >> 3) % 8, (data[0] >> 3) % 8);
    if (!fault.isEmpty())
        ParseUnitFault(fault, config.faults);
    config.faults.noiseRate = (data[0] & 0x40) ? 0.5 : 0.0;
    UnitSimulator unit(config);

    static const QByteArray frames[] = {
        InquiryFrame(), {}, ReadRequestFrame(), WriteRequestFrame(), {}, EndFrame(), AbortFrame()};
    qint64 now = 0;
    qsizetype sent = 0;
    qsizetype out = 0;
    int ends = 0;
    for (std::size_t i = 1; i < size && !unit.Unplugged(); ++i) {
        const std::uint8_t step = data[i];
        now += qint64(step >> 3) * 2000000; // 0 to 62 ms
        const auto next = [&]() -> std::uint8_t { return ++i < size ? data[i] : 0; };
        QByteArray bytes;
        if (const int kind = step % 8; kind == 1) {
            bytes = HexToBytes(AccessFrame(next() % 2 ? DefaultUnitCode : 12345));
        } else if (kind == 4) {
            const int high = next();
            bytes = HexToBytes(BlockFrame(std::uint16_t(high << 8 | next())));
        } else if (kind == 7) {
            for (int n = next() % 32; n > 0; --n)
                bytes.append(char(next()));
        } else {
            bytes = HexToBytes(frames[kind]);
        }
        sent += bytes.size();
        ends += int(bytes.count(char(0xFD)));
        unit.Receive(now, bytes);
        out += unit.TakeDue(now).size();
    }
    // What the unit still owes: at most the receive backlog's echo and one run's replies.
    const qsizetype owed = unit.TakeDue(std::numeric_limits<qint64>::max()).size();
    if (owed > 4096 + 110 * 40)
        std::abort();
    unit.LineClosed();
    out += owed + unit.TakeDue(std::numeric_limits<qint64>::max()).size();
    if (unit.RunActive() || unit.NextDueNs())
        std::abort(); // the closed line left a run or output behind

    // A reply frame is under 40 bytes with noise; a read sends at most a hundred per request.
    if (out > sent + qsizetype(ends) * 100 * 40)
        std::abort();
    int stored = 0;
    for (const UnitRunEnd &end : unit.TakeRunEnds())
        if (end.mode == UnitRunEnd::Write)
            stored = std::max(stored, end.blocks);
    for (int w = stored; w < int(config.memory.size()); ++w)
        if (unit.Memory()[std::size_t(w)] != config.memory[std::size_t(w)])
            std::abort(); // memory changed outside what a write run stored
    return 0;
}
