#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QObject>

#include <vector>

namespace tolvane::testing {

// Dismisses every message box that opens while it lives, as a user pressing OK would, and
// records what each one said. It hears of each box from the box's own show event.
class MessageBoxWatcher : public QObject {
public:
    struct Seen {
        QString text;
        QString title;
        QMessageBox::Icon icon;
        QWidget* focusBeforeIt;  // the window the box belongs to
    };

    MessageBoxWatcher() { QApplication::instance()->installEventFilter(this); }

    const std::vector<Seen>& seen() const { return m_seen; }
    void clear() { m_seen.clear(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (event->type() == QEvent::Show && box != nullptr) {
            m_seen.push_back({box->text(), box->windowTitle(), box->icon(), box->parentWidget()});
            // The box is shown before its own event loop starts; pressed now, OK would close it
            // before exec() began to wait, and exec() would then wait for ever. Queued, the press
            // is the first thing that loop does.
            QMetaObject::invokeMethod(box->button(QMessageBox::Ok), &QAbstractButton::click,
                                      Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::vector<Seen> m_seen;
};

}  // namespace tolvane::testing
