#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

// UTF-8, which the shared layer speaks, and UTF-16, which Windows speaks. A text that is not
// valid in its encoding is not guessed at: nothing comes back.
std::optional<std::wstring> toUtf16(std::string_view text);
std::optional<std::string> toUtf8(std::wstring_view text);

// For what is only shown: an invalid sequence becomes U+FFFD instead of losing the whole text.
std::wstring toUtf16Shown(std::string_view text);
std::string toUtf8Shown(std::wstring_view text);

}  // namespace tolvane
