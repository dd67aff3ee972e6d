#include "font_configuration_preload.h"

#if TOLVANE_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace tolvane {

FontConfigurationPreload::FontConfigurationPreload() {
#if TOLVANE_HAVE_FONTCONFIG
    // The configuration becomes the library's current one, which the toolkit then finds ready.
    m_loader = std::thread([] { FcInit(); });
#endif
}

FontConfigurationPreload::~FontConfigurationPreload() {
    wait();
}

void FontConfigurationPreload::wait() {
    if (m_loader.joinable()) {
        m_loader.join();
    }
}

}  // namespace tolvane
