// SPDX-License-Identifier: GPL-3.0-or-later
// The program's icon, drawn at 16, 32 and 48 pixels; the main window, the
// About box and the desktop entry show the same picture.
#pragma once

#include <QIcon>

namespace vireo {

QIcon ProgramIcon();

} // namespace vireo
