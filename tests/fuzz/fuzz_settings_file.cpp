// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: bytes as a settings file; a load leaves the image or brings what a save writes.
#include "model/settings_file.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    vireo::UnitModel model;
    model.UnitImage.fill(0x5A5A);
    const vireo::Result<vireo::LoadOutcome> result = vireo::LoadDataFrom(buffer, model);
    if (!result || *result != vireo::LoadStatus::Loaded) {
        for (auto w : model.UnitImage)
            if (w != 0x5A5A)
                std::abort(); // a failed load changed the image
        return 0;
    }
    // A loaded image saves to text that loads back to the same image.
    QByteArray text = vireo::SettingsFileText(model.UnitImage);
    QBuffer again(&text);
    again.open(QIODevice::ReadOnly);
    vireo::UnitModel copy;
    const vireo::Result<vireo::LoadOutcome> reread = vireo::LoadDataFrom(again, copy);
    if (!reread || *reread != vireo::LoadStatus::Loaded || copy.UnitImage != model.UnitImage)
        std::abort();
    return 0;
}
