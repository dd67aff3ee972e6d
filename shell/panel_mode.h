#pragma once

namespace tolvane {

// Which panel of the main window is showing.
enum class PanelMode { Conversion, Search };

}  // namespace tolvane
