// SPDX-License-Identifier: GPL-3.0-or-later
// The ten toolbar pictures, drawn as small vector shapes so that they stay
// crisp at any screen density: New, Open, Save, COM1 to COM4, the access code,
// Clone Read and Clone Write.
#pragma once

#include <QIcon>

namespace vireo {

enum class ToolbarPictureId { New, Open, Save, Com1, Com2, Com3, Com4, AccessCode, CloneRead, CloneWrite };

/// The picture of a toolbar button.
QIcon ToolbarPicture(ToolbarPictureId picture);

} // namespace vireo
