#pragma once

#include <QEvent>

#include <functional>

class QObject;

namespace tolvane {

enum class Watching { GoesOn, Ends };

// Calls `handler` each time `watched` receives an event of `type`, before `watched` handles it,
// until the handler answers Watching::Ends or `watched` goes. The event itself is left alone.
void watchEvents(QObject* watched, QEvent::Type type, std::function<Watching()> handler);

}  // namespace tolvane
