#include "qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

namespace tolvane {

void QtMessageBoxes::show(const std::string& text, const std::string& title, MessageIcon icon) {
    const QMessageBox::Icon boxIcon =
        icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::Information;
    QMessageBox box(boxIcon, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

}  // namespace tolvane
