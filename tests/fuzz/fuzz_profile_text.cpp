// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: any bytes as a profile file. Reading never fails, and a value
// written is read back as written, whatever else the file holds.
#include "profile/profile_store.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    vireo::ProfileText text(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    for (const char *section : {"OPTION", "STATUS", "RecentFiles", "PORTS"})
        for (const char *key : {"Port", "Speed", "ToolBar", "FileName(1)", "COM1"})
            (void)text.Value(QLatin1String(section), QLatin1String(key));

    text.SetValue(QStringLiteral("OPTION"), QStringLiteral("Port"), QStringLiteral("3"));
    text.SetValue(QStringLiteral("RecentFiles"), QStringLiteral("FileName(1)"), QStringLiteral("C:\\dir\\x.st2"));
    if (text.Value(QStringLiteral("option"), QStringLiteral("PORT")) != QStringLiteral("3"))
        std::abort();
    if (text.Value(QStringLiteral("RecentFiles"), QStringLiteral("FileName(1)")) != QStringLiteral("C:\\dir\\x.st2"))
        std::abort();
    return 0;
}
