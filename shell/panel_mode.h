#pragma once

namespace tolvane {

// Which panel the main window shows: the four unit fields or the search page.
enum class PanelMode { Conversion, Search };

}  // namespace tolvane
