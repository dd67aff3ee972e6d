#include "qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>

namespace tolvane {

void QtMessageBoxes::show(const std::string& text, const std::string& title, MessageIcon icon) {
    QMessageBox box(
        icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::Warning,
        QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok,
        QApplication::activeWindow());
    box.exec();
    // Not every window manager hands the activation back to the window the box came from.
    if (QWidget* owner = box.parentWidget()) {
        owner->activateWindow();
    }
}

}  // namespace tolvane
