// SPDX-License-Identifier: GPL-3.0-or-later
// The program's fixed texts (captions, keys, messages) are plain ASCII char
// arrays; this turns one into a QString without a cast from ASCII.
#pragma once

#include <QString>

namespace vireo {

/// The text of a fixed ASCII/Latin-1 string as a QString.
inline QString Latin1Text(const char *latin1)
{
    return QString::fromLatin1(latin1);
}

} // namespace vireo
