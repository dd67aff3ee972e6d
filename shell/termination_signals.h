#pragma once

#include <QObject>

class QSocketNotifier;

namespace tolvane {

// Turns the signals that ask a program to end (SIGTERM, SIGINT from Ctrl+C, SIGHUP when its
// terminal goes) into a Qt signal on the user-interface thread, so that the run ends as the menu
// command "Close" ends it: the search page is removed and the exit code is 0. Without this the
// process would simply die and leave the page behind. One per process; does nothing on systems
// without these signals.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

Q_SIGNALS:
    void received();

private:
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace tolvane
