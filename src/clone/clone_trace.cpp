// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the clone trace.
#include "clone_trace.h"

#include "clone_frames.h"

namespace vireo {

QByteArray SpacedHex(QByteArrayView hex)
{
    QByteArray spaced;
    spaced.reserve(hex.size() + hex.size() / 2);
    for (qsizetype i = 0; i < hex.size(); i += 2) {
        if (i > 0)
            spaced.append(' ');
        spaced.append(hex.sliced(i, std::min<qsizetype>(2, hex.size() - i)));
    }
    return spaced;
}

bool CloneTrace::Open(const QString &path)
{
    if (m_file.isOpen())
        m_file.close();
    m_file.setFileName(path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
}

void CloneTrace::Line(double now, QByteArrayView tag, QByteArrayView text)
{
    if (!m_file.isOpen())
        return;
    const double ms = (now - m_origin) * 1000.0;
    QByteArray line = QByteArray::number(ms, 'f', 3).rightJustified(10, ' ') + " ms " + tag.toByteArray() +
                      ' ' + text.toByteArray() + '\n';
    m_file.write(line);
    // Flushed line by line so that a trace survives a crash or a killed run.
    m_file.flush();
}

void CloneTrace::Sent(double now, QByteArrayView hex, qint64 taken)
{
    QByteArray text = SpacedHex(hex);
    const qint64 size = hex.size() / 2;
    if (taken != size)
        text += " (port took " + QByteArray::number(taken) + " of " + QByteArray::number(size) + " bytes)";
    Line(now, "TX", text);
}

void CloneTrace::Received(double now, QByteArrayView bytes)
{
    Line(now, "RX", SpacedHex(BytesToHex(bytes)));
}

void CloneTrace::Note(double now, const QString &text)
{
    Line(now, "--", text.toUtf8());
}

} // namespace vireo
