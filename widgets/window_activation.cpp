#include "window_activation.h"

#include <QEvent>
#include <QWidget>

namespace tolvane {
namespace {

class ActivationWatcher : public QObject {
public:
    ActivationWatcher(QWidget* window, std::function<void()> activated)
        : QObject(window), m_window(window), m_activated(std::move(activated)) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::ActivationChange &&
            m_window->isActiveWindow()) {
            m_activated();
        }
        return false;
    }

private:
    QWidget* m_window;
    std::function<void()> m_activated;
};

}  // namespace

void whenActivated(QWidget* window, std::function<void()> activated) {
    new ActivationWatcher(window, std::move(activated));
}

}  // namespace tolvane
