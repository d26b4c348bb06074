// SPDX-License-Identifier: GPL-3.0-or-later
// The profile tests' common ground: a profile object on a fresh VIREO.ini in
// a temporary folder, filled with the given text unless that is null.
#pragma once

#include "profile/profile_file.h"
#include "test_files.h"

#include <QTemporaryDir>
#include <QTest>

namespace vireo::test {

inline QString S(const char *text)
{
    return QString::fromUtf8(text);
}

inline ProfileFile ProfileIn(const QTemporaryDir &dir, const char *section, const QByteArray &content = {})
{
    ProfileFile profile;
    profile.SetCurrentPath(dir.path());
    profile.SetName(S("VIREO.ini"));
    profile.SetSection(S(section));
    QFile::remove(profile.GetMyProfile());
    if (!content.isNull() && !WriteFile(profile.GetMyProfile(), content))
        qFatal("cannot write the test profile");
    return profile;
}

} // namespace vireo::test
