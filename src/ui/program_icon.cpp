// SPDX-License-Identifier: GPL-3.0-or-later
#include "program_icon.h"

// The pictures are compiled into this static library, whose resource object
// the linker drops unless something names it; registering them here, where
// they are used, keeps them in every program and test that shows the icon.
// Outside the namespace, as the registration function is a global one.
static void RegisterIconResources()
{
    Q_INIT_RESOURCE(vireo);
}

namespace vireo {

QIcon ProgramIcon()
{
    RegisterIconResources();
    QIcon icon;
    for (const int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/icons/vireo-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace vireo
