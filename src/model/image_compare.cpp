// SPDX-License-Identifier: GPL-3.0-or-later
#include "image_compare.h"

#include "editor_controls.h"
#include "field_binding.h"
#include "field_codecs.h"
#include "field_table.h"
#include "hex_text.h"

#include <algorithm>
#include <set>

namespace vireo {

namespace {

bool IsCarried(int w)
{
    return std::find(std::begin(word::Carried), std::end(word::Carried), w) != std::end(word::Carried);
}

} // namespace

std::vector<ImageDifference> CompareImages(const UnitModel &left, const UnitModel &right)
{
    std::vector<ImageDifference> differences;
    std::set<int> shown; // words that a listed field already stands for
    for (const FieldEntry &field : AllFields()) {
        const QString a = ShownValue(field, left);
        const QString b = ShownValue(field, right);
        if (a == b)
            continue;
        shown.insert(field.words.begin(), field.words.end());
        differences.push_back({field.key, field.caption, a, b});
    }
    for (int w = 0; w < word::Count; ++w) {
        const auto i = static_cast<std::size_t>(w);
        if (left.UnitImage[i] == right.UnitImage[i] || shown.count(w) > 0)
            continue;
        differences.push_back({QStringLiteral("word %1").arg(w),
                               IsCarried(w) ? QStringLiteral("carried word") : QStringLiteral("word"),
                               WordHexText(left.UnitImage[i]), WordHexText(right.UnitImage[i]), true});
    }
    return differences;
}

UnitModel DecodedModel(const UnitWords &words)
{
    UnitModel model;
    model.UnitImage = words;
    ImageToFields(model.UnitImage, model.Fields);
    return model;
}

UnitModel ShownModel(const UnitWords &words)
{
    UnitModel model;
    MemoryEditorControls controls;
    FieldBinding binding(model, controls);
    binding.FillConfigLists();
    model.LoadBuffer = words;
    model.CommitLoadBuffer();
    binding.NormalizeAndShow();
    return model;
}

} // namespace vireo
