#include "wide_text.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <climits>

namespace tolvane {
namespace {

std::wstring convertToUtf16(std::string_view text, DWORD flags, bool& valid) {
    valid = true;
    if (text.empty()) {
        return {};
    }
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        valid = false;
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_UTF8, flags, text.data(), length, nullptr, 0);
    if (size <= 0) {
        valid = false;
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, flags, text.data(), length, wide.data(), size);
    return wide;
}

std::string convertToUtf8(std::wstring_view text, DWORD flags, bool& valid) {
    valid = true;
    if (text.empty()) {
        return {};
    }
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        valid = false;
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        valid = false;
        return {};
    }
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, flags, text.data(), length, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

}  // namespace

std::optional<std::wstring> toUtf16(std::string_view text) {
    bool valid = false;
    std::wstring wide = convertToUtf16(text, MB_ERR_INVALID_CHARS, valid);
    return valid ? std::optional(std::move(wide)) : std::nullopt;
}

std::optional<std::string> toUtf8(std::wstring_view text) {
    bool valid = false;
    std::string narrow = convertToUtf8(text, WC_ERR_INVALID_CHARS, valid);
    return valid ? std::optional(std::move(narrow)) : std::nullopt;
}

std::wstring toUtf16Shown(std::string_view text) {
    bool valid = false;
    return convertToUtf16(text, 0, valid);
}

std::string toUtf8Shown(std::wstring_view text) {
    bool valid = false;
    return convertToUtf8(text, 0, valid);
}

}  // namespace tolvane
