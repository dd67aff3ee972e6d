#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QPushButton>
#include <QTimer>

#include <vector>

namespace tolvane::testing {

// Dismisses every message box that opens while it lives, as a user pressing OK would, and
// records what each one said.
class MessageBoxWatcher : public QObject {
public:
    struct Seen {
        QString text;
        QString title;
        QMessageBox::Icon icon;
        QWidget* focusBeforeIt;
    };

    MessageBoxWatcher() {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { dismissOpenBox(); });
        m_timer.start();
    }

    const std::vector<Seen>& seen() const { return m_seen; }
    void clear() { m_seen.clear(); }

private:
    void dismissOpenBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        m_seen.push_back({box->text(), box->windowTitle(), box->icon(), box->parentWidget()});
        box->button(QMessageBox::Ok)->click();
    }

    QTimer m_timer;
    std::vector<Seen> m_seen;
};

}  // namespace tolvane::testing
