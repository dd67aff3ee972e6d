#pragma once

#include <QLineEdit>

namespace tolvane {

// A unit field. It reports when it receives the focus, and it keeps its caret and selection when
// it loses the focus, as the keypad acts on them while the field is not focused.
class UnitLineEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit UnitLineEdit(QWidget* parent = nullptr);

Q_SIGNALS:
    void focusReceived();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace tolvane
