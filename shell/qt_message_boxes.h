#pragma once

#include <string>

#include "message_boxes.h"

namespace tolvane {

// Message boxes as QMessageBox: modal, one OK button, over whichever window of the program is
// active, so dismissing one returns to the window it came from.
class QtMessageBoxes final : public MessageBoxes {
public:
    void show(const std::string& text, const std::string& title, MessageIcon icon) override;
};

}  // namespace tolvane
