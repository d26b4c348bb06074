// SPDX-License-Identifier: GPL-3.0-or-later
// When an editor field commits: on Return or Enter (swallowed, the focus
// stays, a text field's caret goes to the end) and whenever the field loses
// the focus to another field. Nothing else commits.
#pragma once

#include "model/field_binding.h"

#include <QHash>
#include <QObject>

namespace vireo {

/** One event filter for all 43 editor fields. */
class FieldEditFilter : public QObject {
    Q_OBJECT
  public:
    FieldEditFilter(FieldBinding &binding, QObject *parent) : QObject(parent), m_binding(binding) {}
    /// Watches `field`, control `index` of `array`.
    void Watch(QObject *field, ControlArray array, int index);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    struct FieldRef {
        ControlArray array;
        int index;
    };
    FieldBinding &m_binding;
    QHash<QObject *, FieldRef> m_fields;
};

} // namespace vireo
