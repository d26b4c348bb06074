// SPDX-License-Identifier: GPL-3.0-or-later
// Binding between the unit model and the editor's controls. Every commit
// round-trips through the image: all fields are rebuilt into the image and all
// fields are redrawn from it, so the editor always shows what the image holds.
#pragma once

#include "editor_controls.h"
#include "unit_model.h"

namespace vireo {

/** Moves values between the editor's controls, the field values and the image. */
class FieldBinding {
  public:
    FieldBinding(UnitModel &model, EditorControls &controls) : m_model(model), m_controls(controls) {}

    const UnitModel &Model() const { return m_model; }

    /// Clears both drop-down lists and gives them their items (once, when the window is built).
    void FillConfigLists();
    /// Field values to the controls (clamping out-of-range choices first).
    void ShowFields();
    /// The chain after any commit: rebuild the image, check for edits, redraw.
    void RefreshAfterEdit();
    /// The chain after a whole new image arrived; no edit check.
    void NormalizeAndShow();

    void CommitSpeedDial(int index);
    void CommitConfigText(int index);
    void CommitConfigList(int index);
    void CommitConfigOption(int index);
    void CommitGroupCode(int index);
    /// The commit operation of the given control array.
    void Commit(ControlArray array, int index);
    /// Reads every control, refreshes, and applies the block rule of the last
    /// focused block-decode field, so an edit still in a focused field is kept.
    void ReadAllFields();

    /// Focus entered ConfigText(index): remembered for ReadAllFields.
    void ConfigTextFocusGained(int index) { m_model.LastConfigField = static_cast<std::int16_t>(index); }

    void ApplyLowerBlockRule(const QString &oldLower);
    void ApplyUpperBlockRule(const QString &oldUpper);

  private:
    void ReadControls();

    UnitModel &m_model;
    EditorControls &m_controls;
};

} // namespace vireo
