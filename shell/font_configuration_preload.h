#pragma once

#include <thread>

namespace tolvane {

// Reads the desktop's font configuration on another thread while the connection to the window
// system is being made. The first window needs the fonts at once, and on Linux reading their
// configuration takes several milliseconds of a start-up that has little else to wait for;
// without a font configuration library (Windows) there is nothing to do.
class FontConfigurationPreload {
public:
    FontConfigurationPreload();
    ~FontConfigurationPreload();
    FontConfigurationPreload(const FontConfigurationPreload&) = delete;
    FontConfigurationPreload& operator=(const FontConfigurationPreload&) = delete;

    // Returns once the configuration is loaded. Call it before the first font is used, so that
    // the toolkit does not start loading the same configuration a second time.
    void wait();

private:
    std::thread m_loader;
};

}  // namespace tolvane
