// SPDX-License-Identifier: GPL-3.0-or-later
#include "field_edit_filter.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace vireo {

void FieldEditFilter::Watch(QObject *field, ControlArray array, int index)
{
    m_fields.insert(field, FieldRef{array, index});
    field->installEventFilter(this);
}

bool FieldEditFilter::eventFilter(QObject *watched, QEvent *event)
{
    const auto found = m_fields.constFind(watched);
    if (found == m_fields.constEnd())
        return false;
    const FieldRef field = *found;
    auto *text = qobject_cast<QLineEdit *>(watched);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        m_binding.Commit(field.array, field.index);
        if (text)
            text->setCursorPosition(int(text->text().size())); // also clears the selection
        return true;                                           // no character, no beep, the focus stays
    }
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (field.array == ControlArray::ConfigText)
            m_binding.ConfigTextFocusGained(field.index);
        // Back from a menu or another window the field keeps its selection.
        if (text && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            text->selectAll();
            // A click places the caret after the focus arrives; select again once it has.
            if (reason == Qt::MouseFocusReason)
                QTimer::singleShot(0, text, [text] { text->selectAll(); });
        }
        return false;
    }
    case QEvent::FocusOut: {
        // A menu or another window taking the focus is no commit: every
        // command reads all fields first anyway. Committing here, before the
        // next field gains the focus, keeps the edit order the user made.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            m_binding.Commit(field.array, field.index);
        return false;
    }
    default:
        return false;
    }
}

} // namespace vireo
