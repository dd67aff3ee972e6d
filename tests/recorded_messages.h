#pragma once

#include <string>
#include <vector>

#include "message_boxes.h"

namespace tolvane::testing {

// Records each message box instead of showing it.
class RecordedMessages : public MessageBoxes {
public:
    struct Shown {
        std::string text;
        std::string title;
        MessageIcon icon;
    };

    void show(const std::string& text, const std::string& title, MessageIcon icon) override {
        m_shown.push_back({text, title, icon});
    }

    const std::vector<Shown>& shown() const { return m_shown; }

private:
    std::vector<Shown> m_shown;
};

}  // namespace tolvane::testing
