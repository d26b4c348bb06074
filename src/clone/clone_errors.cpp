// SPDX-License-Identifier: GPL-3.0-or-later
// Clone failure messages, progress arithmetic and progress window placement.
#include "clone_errors.h"

#include <QStringList>
#include <algorithm>

namespace vireo {

namespace {

QString Lines(const QStringList &lines)
{
    const QString crlf = QStringLiteral("\r\n");
    return lines.join(crlf) + crlf;
}

QString CheckList(const QString &first)
{
    return Lines({first, QString(), QStringLiteral("Check the following:"), QString(),
                  QStringLiteral("- The COM port settings."), QStringLiteral("- Cloning cable connections."),
                  QStringLiteral("- Transceiver power is ON.")});
}

QString ErrorItem(const QString &item)
{
    return Lines({QStringLiteral("Error:"), QString(), item});
}

} // namespace

QString CloneErrorText(CloneResult result, int portNumber)
{
    switch (result) {
    case CloneResult::PortFailed:
        return CheckList(QStringLiteral("Cannot access COM%1.").arg(portNumber));
    case CloneResult::BufferOverflow:
        return CheckList(QStringLiteral("COM buffer Overflow."));
    case CloneResult::FrameNotTaken:
        return CheckList(QStringLiteral("Cannot access COM port."));
    case CloneResult::NoAnswer:
        return CheckList(QStringLiteral("No answer from transceiver."));
    case CloneResult::IllegalData:
        return CheckList(QStringLiteral("Illegal Data."));
    case CloneResult::NoUnit:
        return ErrorItem(QStringLiteral("- No Wren Unit."));
    case CloneResult::UnknownUnit:
        return ErrorItem(QStringLiteral("- Unknown Unit."));
    case CloneResult::AccessCodeError:
        return ErrorItem(QStringLiteral("- Five Digit Access Code error."));
    case CloneResult::DataOverflow:
        return ErrorItem(QStringLiteral("- Data Overflow."));
    case CloneResult::NotEnoughData:
        return ErrorItem(QStringLiteral("- There is not enough data."));
    case CloneResult::ReadComplete:
    case CloneResult::WriteComplete:
    case CloneResult::Cancelled:
        return {};
    }
    return {};
}

QString PartialWriteText()
{
    return QStringLiteral("The unit now holds part of the new settings and will not work as intended until a "
                          "write completes. Write the settings to the unit again.");
}

int BlockProgress(int blockNo)
{
    return (ProgressMaximum + 1) * blockNo / 98;
}

int ClampProgress(int value)
{
    return std::clamp(value, ProgressMinimum, ProgressMaximum);
}

} // namespace vireo
