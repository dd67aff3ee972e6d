#pragma once

#include <string>

#include "unit_field.h"

namespace tolvane {

// Message boxes as the user sees them: modal, one OK button, over the active window.
class QtMessageBoxes final : public MessageBoxes {
public:
    void show(const std::string& text, const std::string& title, MessageIcon icon) override;
};

}  // namespace tolvane
