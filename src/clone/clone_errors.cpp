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

QString CloneErrorText(int code, int portNumber)
{
    switch (code) {
    case 0:
        return CheckList(QStringLiteral("Cannot access COM%1.").arg(portNumber));
    case 1:
        return CheckList(QStringLiteral("COM buffer Overflow."));
    case 2:
        return CheckList(QStringLiteral("Cannot access COM port."));
    case 3:
        return CheckList(QStringLiteral("No answer from transceiver."));
    case 4:
        return CheckList(QStringLiteral("Illegal Data."));
    case 5:
        return ErrorItem(QStringLiteral("- No Wren Unit."));
    case 6:
        return ErrorItem(QStringLiteral("- Unknown Unit."));
    case 7:
        return ErrorItem(QStringLiteral("- Five Digit Access Code error."));
    case 8:
        return ErrorItem(QStringLiteral("- Data Overflow."));
    case 9:
        return ErrorItem(QStringLiteral("- There is not enough data."));
    default:
        return {};
    }
}

int BlockProgress(int blockNo)
{
    return (ProgressMaximum + 1) * blockNo / 98;
}

int ClampProgress(int value)
{
    return std::clamp(value, ProgressMinimum, ProgressMaximum);
}

TwipRect PlaceProgressWindow(const TwipRect &mainWindow, int screenWidth, int screenHeight)
{
    TwipRect rect{0, 0, ProgressWindowWidth, ProgressWindowHeight};
    rect.left = mainWindow.left + (mainWindow.width - rect.width) / 2;
    rect.top = mainWindow.top + (mainWindow.height - rect.height) / 2;
    if (rect.left + rect.width > screenWidth)
        rect.left = screenWidth - rect.width;
    if (rect.left < 0)
        rect.left = 0;
    if (rect.top + rect.height > screenHeight)
        rect.top = screenHeight - rect.height;
    if (rect.top < 0)
        rect.top = 0;
    return rect;
}

int ProgressBarWidth(int innerWidth)
{
    return innerWidth - 2 * ProgressBarOffset;
}

} // namespace vireo
