// SPDX-License-Identifier: GPL-3.0-or-later
// The profile object as start-up opens it, at the place the program's folder
// rules choose (base/program_folders.h).
#pragma once

#include "profile_file.h"

#include "base/program_folders.h"

#include <optional>

namespace vireo {

/// The Section start-up gives the profile object before LoadOptions replaces it.
inline constexpr char StartupSection[] = "VIREO";

/// The profile object as start-up sets it up (Path, Name, Section "VIREO"):
/// at profileFile when given (relative to the working folder), otherwise at
/// the location the rule chooses for the running program.
ProfileFile OpenProfile(const std::optional<QString> &profileFile = std::nullopt);

} // namespace vireo
