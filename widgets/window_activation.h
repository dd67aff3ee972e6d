#pragma once

#include <functional>

class QWidget;

namespace tolvane {

// Runs `activated` each time `window` becomes the program's active window, for as long as the
// window lives.
void whenActivated(QWidget* window, std::function<void()> activated);

}  // namespace tolvane
