// SPDX-License-Identifier: GPL-3.0-or-later
// The ten toolbar pictures, drawn as small vector shapes so that they stay
// crisp at any screen density: New, Open, Save, COM1 to COM4, the access code,
// Clone Read and Clone Write.
#pragma once

#include <QIcon>
#include <QString>

namespace vireo {

/// The picture of the image-list key "img_New", "img_Open", "img_Save",
/// "img_COM1".."img_COM4", "img_Pass", "img_Read" or "img_Write"; a null icon
/// for any other key.
QIcon ToolbarPicture(const QString &key);

} // namespace vireo
