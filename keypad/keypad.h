#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <vector>

class QPushButton;
class QWidget;

namespace tolvane {

// What a keypad key does to the active field.
enum class KeyAction { Type, Home, End, Left, Right, Delete, BackSpace, ClearEntry };

// The keys, in the order their buttons are created.
enum class KeyId {
    Seven,
    Eight,
    Nine,
    Minus,
    Home,
    Four,
    Five,
    Six,
    Plus,
    End,
    One,
    Two,
    Three,
    ClearEntry,
    Del,
    Zero,
    Dot,
    FloatingPoint,
    BackSpace,
    Left,
    Right
};

struct KeypadKey {
    KeyId id;
    const char* objectName;
    const char* caption;
    const char* toolTip;  // blanks around the text are part of it
    const char* accessibleName;
    int left, top, width, height;  // twips, relative to the conversion panel
    KeyAction action;
    bool tabStop;  // the caret and delete keys can be reached with Tab
};

// The 21 keys, in the order their buttons are created.
const std::array<KeypadKey, 21>& keypadKeys();

// The on-screen keypad: one button per key, laid out on the conversion panel. The buttons never
// take the focus with a click, so the field being edited keeps its caret and selection.
class Keypad : public QObject {
    Q_OBJECT

public:
    // The decimal-point key types the user's own decimal separator.
    Keypad(QWidget* panel, const QString& decimalSeparator);

    const std::vector<QPushButton*>& buttons() const { return m_buttons; }
    QPushButton* button(KeyId id) const;

Q_SIGNALS:
    void typed(const QString& text);
    void caretKey(KeyAction action);  // Home, End, Left, Right, Delete, BackSpace
    void clearEntry();

private:
    std::vector<QPushButton*> m_buttons;
};

}  // namespace tolvane
