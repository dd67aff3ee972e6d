#pragma once

#include <string>
#include <vector>

#include "message_boxes.h"

namespace tolvane::testing {

// Records each message box instead of showing it.
struct RecordedMessages : MessageBoxes {
    struct Shown {
        std::string text;
        MessageIcon icon;
    };

    void show(const std::string& text, const std::string&, MessageIcon icon) override {
        shown.push_back({text, icon});
    }

    std::vector<Shown> shown;
};

}  // namespace tolvane::testing
