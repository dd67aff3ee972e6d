#pragma once

#include <QWidget>

namespace tolvane {

// The white window that stands in for the program while it starts: icon, title, version,
// "Freeware" and the credit and contact lines. It takes no input and has no behaviour of its own.
class frmSplash : public QWidget {
    Q_OBJECT

public:
    explicit frmSplash(QWidget* parent = nullptr);

    // Shows the window centred on the screen and returns only once it has been drawn, so that it
    // stays visible through start-up work that processes no events.
    void showAndPaint();
};

}  // namespace tolvane
