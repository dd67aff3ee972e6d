#pragma once

#include <string>
#include <vector>

#include "browser_launcher.h"

namespace tolvane::testing {

// One log for everything the launcher does to the outside, in order, so a test can see what
// happened and in which order (busy pointer, shell calls, message boxes).
using EventLog = std::vector<std::string>;

inline std::string messageEvent(const std::string& text, const std::string& title,
                                MessageIcon icon) {
    return "message: " + text + " | " + title + " | " +
           (icon == MessageIcon::Exclamation ? "exclamation" : "information");
}

class RecordingMessages : public MessageBoxes {
public:
    explicit RecordingMessages(EventLog& log) : m_log(log) {}
    void show(const std::string& text, const std::string& title, MessageIcon icon) override {
        m_log.push_back(messageEvent(text, title, icon));
    }

private:
    EventLog& m_log;
};

inline constexpr const char* kBusyOn = "busy on";
inline constexpr const char* kBusyOff = "busy off";

// The launcher's busy-pointer callback, writing into the log.
inline auto recordBusy(EventLog& log) {
    return [&log](bool busy) { log.push_back(busy ? kBusyOn : kBusyOff); };
}

}  // namespace tolvane::testing
