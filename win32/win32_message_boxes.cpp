#include "win32_message_boxes.h"

#include "wide_text.h"

namespace tolvane::win32 {

void Win32MessageBoxes::show(const std::string& text, const std::string& title, MessageIcon icon) {
    const UINT iconStyle =
        icon == MessageIcon::Information ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
    MessageBoxW(m_owner ? m_owner() : nullptr, toUtf16Shown(text).c_str(),
                toUtf16Shown(title).c_str(), MB_OK | iconStyle);
}

}  // namespace tolvane::win32
