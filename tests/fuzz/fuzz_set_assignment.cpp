// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: text as `vireo-cli set` lines; refusals change nothing, fields show the image.
#include "model/field_codecs.h"
#include "model/field_table.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool ShowsImage(const vireo::UnitModel &model)
{
    vireo::FieldValues decoded;
    vireo::ImageToFields(model.UnitImage, decoded);
    return decoded == model.Fields;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace vireo;
    UnitModel model;
    MemoryEditorControls controls;
    FieldBinding binding{model, controls};
    binding.FillConfigLists();
    binding.NormalizeAndShow();
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const std::optional<FieldAssignment> a = ParseFieldAssignment(line);
        if (!a)
            continue;
        const UnitWords image = model.UnitImage;
        const FieldValues fields = model.Fields;
        if (!AssignField(binding, controls, a->field, a->value) &&
            (model.UnitImage != image || !(model.Fields == fields)))
            std::abort(); // a refused value changed the editor
        if (!ShowsImage(model))
            std::abort();
        const UnitWords entered = model.UnitImage;
        if (!AssignField(binding, controls, a->field, ShownValue(a->field, model)) ||
            model.UnitImage != entered)
            std::abort(); // the shown value, entered again, is not what is stored
    }
    return 0;
}
