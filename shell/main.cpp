#include <QApplication>

#include "frm_temperature_one.h"
#include "qt_message_boxes.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    tolvane::QtMessageBoxes messages;
    tolvane::frmTemperatureOne window(messages);
    QObject::connect(&window, &tolvane::frmTemperatureOne::closeRequested, &app,
                     &QApplication::quit);
    window.setPanelMode(tolvane::PanelMode::Conversion);
    window.show();
    return app.exec();
}
