#include "event_watch.h"

#include <QObject>

namespace tolvane {
namespace {

class EventWatcher : public QObject {
public:
    EventWatcher(QObject* watched, QEvent::Type type, std::function<Watching()> handler)
        : QObject(watched), m_type(type), m_handler(std::move(handler)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent() && event->type() == m_type && m_handler() == Watching::Ends) {
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    const QEvent::Type m_type;
    const std::function<Watching()> m_handler;
};

}  // namespace

void watchEvents(QObject* watched, QEvent::Type type, std::function<Watching()> handler) {
    new EventWatcher(watched, type, std::move(handler));
}

}  // namespace tolvane
