// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: bytes as a profile file; reads never fail, a value written reads back.
#include "profile/profile_store.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    vireo::ProfileText text(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    for (const char *section : {"OPTION", "STATUS", "RecentFiles", "PORTS"})
        for (const char *key : {"Port", "Speed", "ToolBar", "FileName(1)", "COM1"})
            (void)text.Value(QLatin1String(section), QLatin1String(key));

    const QString port = QStringLiteral("3"), file = QStringLiteral("C:\\dir\\x.st2");
    text.SetValue(QStringLiteral("OPTION"), QStringLiteral("Port"), port);
    text.SetValue(QStringLiteral("RecentFiles"), QStringLiteral("FileName(1)"), file);
    if (text.Value(QStringLiteral("option"), QStringLiteral("PORT")) != port ||
        text.Value(QStringLiteral("RecentFiles"), QStringLiteral("FileName(1)")) != file)
        std::abort();
    return 0;
}
