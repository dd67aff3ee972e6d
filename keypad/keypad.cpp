#include "keypad.h"

#include <QPushButton>
#include <QWidget>

#include "twips.h"

namespace tolvane {
namespace {

constexpr int kColumns[] = {4815, 5295, 5775, 6255, 6735, 7215};
constexpr int kRows[] = {315, 630, 945, 1260};
constexpr int kWidth = 435;
constexpr int kHeight = 285;
constexpr int kWideWidth = 915;
constexpr int kPlusHeight = 300;

using A = KeyAction;

}  // namespace

const std::array<KeypadKey, 21>& keypadKeys() {
    static const std::array<KeypadKey, 21> keys = {{
        {"CommandSeven", "7", " 7 ", "7", kColumns[0], kRows[0], kWidth, kHeight, A::Type, false},
        {"CommandEight", "8", " 8 ", "8", kColumns[1], kRows[0], kWidth, kHeight, A::Type, false},
        {"CommandNine", "9", " 9n", "9", kColumns[2], kRows[0], kWidth, kHeight, A::Type, false},
        {"CommandMinus", "-", " - ", "-", kColumns[3], kRows[0], kWidth, kHeight, A::Type, false},
        {"CommandHome", "Home", " Home ", "Home", kColumns[4], kRows[0], kWideWidth, kHeight,
         A::Home, true},
        {"CommandFour", "4", " 4 ", "4", kColumns[0], kRows[1], kWidth, kHeight, A::Type, false},
        {"CommandFive", "5", " 5 ", "5", kColumns[1], kRows[1], kWidth, kHeight, A::Type, false},
        {"CommandSix", "6", " 6 ", "6", kColumns[2], kRows[1], kWidth, kHeight, A::Type, false},
        {"CommandPlus", "+", " + ", "+", kColumns[3], kRows[1], kWidth, kPlusHeight, A::Type,
         false},
        {"CommandEnd", "End", " End ", "End", kColumns[4], kRows[1], kWideWidth, kHeight, A::End,
         true},
        {"CommandOne", "1", " 1 ", "1", kColumns[0], kRows[2], kWidth, kHeight, A::Type, false},
        {"CommandTwo", "2", " 2 ", "2", kColumns[1], kRows[2], kWidth, kHeight, A::Type, false},
        {"CommandThree", "3", " 3 ", "3", kColumns[2], kRows[2], kWidth, kHeight, A::Type, false},
        {"CommandClearEntry", "CE", " Clear Entry ", "Clear Entry", kColumns[3], kRows[2], kWidth,
         kHeight, A::ClearEntry, false},
        {"CommandDel", "Del", " Del ", "Del", kColumns[4], kRows[2], kWideWidth, kHeight, A::Delete,
         true},
        {"CommandZero", "0", " 0 ", "0", kColumns[0], kRows[3], kWidth, kHeight, A::Type, false},
        {"CommandDot", ".", " . ", ".", kColumns[1], kRows[3], kWidth, kHeight, A::Type, false},
        {"CommandFloatingPoint", "E", " E ", "E", kColumns[2], kRows[3], kWidth, kHeight, A::Type,
         false},
        {"CommandBackSpace", "BS", " Back Space ", "Back Space", kColumns[3], kRows[3], kWidth,
         kHeight, A::BackSpace, false},
        {"CommandLeft", "<-", " Left Arrow ", "Left Arrow", kColumns[4], kRows[3], kWidth, kHeight,
         A::Left, true},
        {"CommandRight", "->", " Right Arrow ", "Right Arrow", kColumns[5], kRows[3], kWidth,
         kHeight, A::Right, true},
    }};
    return keys;
}

Keypad::Keypad(QWidget* panel, const QString& decimalSeparator) : QObject(panel) {
    for (const KeypadKey& key : keypadKeys()) {
        const bool isDecimalPoint = QLatin1String(key.objectName) == "CommandDot";
        const QString caption = isDecimalPoint ? decimalSeparator : QString::fromUtf8(key.caption);

        auto* button = new QPushButton(caption, panel);
        button->setObjectName(QString::fromLatin1(key.objectName));
        button->setToolTip(isDecimalPoint ? QStringLiteral(" %1 ").arg(decimalSeparator)
                                          : QString::fromUtf8(key.toolTip));
        button->setAccessibleName(isDecimalPoint ? decimalSeparator
                                                 : QString::fromUtf8(key.accessibleName));
        button->setGeometry(twipsRect(key.left, key.top, key.width, key.height));
        button->setFocusPolicy(key.tabStop ? Qt::TabFocus : Qt::NoFocus);
        button->setAutoDefault(false);
        m_buttons.push_back(button);

        const KeyAction action = key.action;
        connect(button, &QPushButton::clicked, this, [this, action, caption] {
            switch (action) {
                case KeyAction::Type:
                    Q_EMIT typed(caption);
                    break;
                case KeyAction::ClearEntry:
                    Q_EMIT clearEntry();
                    break;
                default:
                    Q_EMIT caretKey(action);
                    break;
            }
        });
    }
}

}  // namespace tolvane
