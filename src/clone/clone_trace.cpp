// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the clone trace.
#include "clone_trace.h"

#include "base/regular_file.h"
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
    m_writeError.clear();
    const Result<> opened = OpenRegularFileForWriting(m_file, path);
    m_error = opened ? QString() : opened.error();
    return opened.ok();
}

void CloneTrace::Line(double now, QByteArrayView tag, QByteArrayView text)
{
    if (!m_file.isOpen())
        return;
    const double ms = (now - m_origin) * 1000.0;
    QByteArray line = QByteArray::number(ms, 'f', 3).rightJustified(10, ' ') + " ms " + tag.toByteArray() +
                      ' ' + text.toByteArray() + '\n';
    // Written line by line (the file is unbuffered) so that a trace survives a
    // crash or a killed run.
    // A write cut short is tried again for the rest, so that the refusal comes
    // with its reason (a full disk) rather than as a short count.
    for (qsizetype done = 0; done < line.size();) {
        const qint64 written = m_file.write(line.constData() + done, line.size() - done);
        if (written <= 0) {
            if (m_writeError.isEmpty())
                m_writeError = m_file.errorString();
            break;
        }
        done += written;
    }
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
