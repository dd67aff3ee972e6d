#pragma once

#include <string>
#include <string_view>

// What both front ends say when the help cannot be shown; the path as the user's system writes it.
namespace tolvane {

inline std::string helpFileNotFoundMessage(std::string_view shownPath) {
    return "The help file\n" + std::string(shownPath) + "\nwas not found.";
}

inline std::string helpFileDamagedMessage(std::string_view shownPath) {
    return "The help file\n" + std::string(shownPath) + "\ncannot be read. It may be damaged.";
}

}  // namespace tolvane
