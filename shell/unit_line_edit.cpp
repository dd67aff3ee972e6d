#include "unit_line_edit.h"

#include <QFocusEvent>
#include <limits>

namespace tolvane {

UnitLineEdit::UnitLineEdit(QWidget* parent) : QLineEdit(parent) {
    // A field has no length limit of its own.
    setMaxLength(std::numeric_limits<int>::max());
}

void UnitLineEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    Q_EMIT focusReceived();
}

void UnitLineEdit::focusOutEvent(QFocusEvent* event) {
    const int start = selectionStart();
    const int length = static_cast<int>(selectedText().size());
    const bool caretAtStart = cursorPosition() == start;
    QLineEdit::focusOutEvent(event);
    // QLineEdit drops the selection when the focus leaves for another widget; put it back with
    // the caret on the side it was.
    if (start >= 0 && length > 0 && !hasSelectedText()) {
        if (caretAtStart) {
            setSelection(start + length, -length);
        } else {
            setSelection(start, length);
        }
    }
}

}  // namespace tolvane
