// SPDX-License-Identifier: GPL-3.0-or-later
// "Compare with Unit": every field that differs between the unit, as just
// read, and the open document, and what to do next: write the document to the
// unit, open the unit's settings, or close.
#pragma once

#include "model/image_compare.h"

#include "dialog_placement.h"

#include <QDialog>
#include <vector>

namespace vireo {

/** The comparison's list and its three ways out. */
class CompareDialog : public PlacedDialog {
    Q_OBJECT
  public:
    enum class Choice { Close, WriteToUnit, OpenUnitSettings };

    /// `differences` pairs the unit (left) with the document (right);
    /// `backupFolder` is what "Open Backups Folder" shows.
    CompareDialog(const std::vector<ImageDifference> &differences, const QString &backupFolder,
                  QWidget *parent);
    /// Shows the dialog over its owner and returns the user's choice.
    Choice Ask();

  private:
    Choice m_choice = Choice::Close;
};

} // namespace vireo
