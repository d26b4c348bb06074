// SPDX-License-Identifier: GPL-3.0-or-later
#include "program_icon.h"

namespace vireo {

QIcon ProgramIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/icons/vireo-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace vireo
