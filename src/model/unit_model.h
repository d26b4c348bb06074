// SPDX-License-Identifier: GPL-3.0-or-later
// The settings of one unit as the program holds them: the 99-word image in the
// unit's own layout, the staging buffer for complete loads, the editor-side
// field values and the saved copy against which edits are detected.
#pragma once

#include "word_map.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace vireo {

using UnitWords = std::array<std::uint16_t, word::Count>;

/// The clone access code a unit takes unless it was given another one; the
/// window, vireo-cli and the simulated unit all start from it.
inline constexpr std::int32_t DefaultAccessCode = 58206;

inline constexpr int SpeedDialCount = 14;
inline constexpr int ConfigTextCount = 6;
inline constexpr int ConfigListCount = 2;
inline constexpr int ConfigOptionCount = 5;
inline constexpr int GroupCodeCount = 16;

/** The editor-side copy of the settings: one member per editor field. */
struct FieldValues {
    std::array<QString, SpeedDialCount> SpeedDialText;
    std::array<QString, ConfigTextCount> ConfigTexts;
    std::array<std::int16_t, ConfigListCount> ConfigListIndex{};
    std::array<std::int16_t, ConfigOptionCount> ConfigOptionValue{};
    std::array<QString, GroupCodeCount> GroupCodeText;

    bool operator==(const FieldValues &) const = default;
};

// Indices of the ConfigText text fields.
enum ConfigTextField {
    PrimaryCode = 0,
    SecondaryCode = 1,
    LowerBlockDecode = 2,
    UpperBlockDecode = 3,
    FiveDigitAccessCode = 4,
    TrunkingSystemId = 5
};

/** The unit settings model: image, load buffer, field values and change tracking. */
struct UnitModel {
    UnitWords UnitImage{};
    UnitWords LoadBuffer{};
    FieldValues Fields;
    std::int16_t LastConfigField = 0;

    // The two drop-down lists, filled by InitConfigLists.
    std::array<QStringList, ConfigListCount> ConfigListItems;
    std::array<int, ConfigListCount> ConfigListMaxIndex{};

    // Change tracking of the open document.
    UnitWords BaselineImage{};
    bool DataEdited = false;

    UnitModel() { InitConfigLists(); }

    void InitConfigLists();
    /// Copies the whole load buffer into the image: only a complete load calls it.
    void CommitLoadBuffer() { UnitImage = LoadBuffer; }
    /// The current image becomes the saved state; the edited flag is cleared.
    void MarkClean();
    /// Sets DataEdited at the first word that differs from the saved state.
    void CheckEdited();
};

// Captions of the editor fields, as the window labels them.
QString SpeedDialCaption(int index); // "0".."9", "A".."D"
QString ConfigTextCaption(int index);
QString ConfigListCaption(int index);
QString ConfigOptionCaption(int index);

} // namespace vireo
