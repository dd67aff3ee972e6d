#pragma once

#include <string>

namespace tolvane {

enum class MessageIcon { Information, Exclamation };

// Modal message boxes with a single OK button: show returns once the user has dismissed the box.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void show(const std::string& text, const std::string& title, MessageIcon icon) = 0;
};

}  // namespace tolvane
