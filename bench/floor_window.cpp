// The floor for start-up: a plain Qt window with the main window's menu and controls, made from
// the same layout by the same code, and no logic at all.
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "form_builder.h"
#include "window_layouts.h"

namespace layout = tolvane::layout;
using tolvane::makeControl;
using tolvane::qtRect;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const layout::Window design = layout::mainWindow(".");
    QMainWindow window;
    window.setWindowTitle(QString::fromStdString(design.caption));
    QMenu* help = nullptr;
    for (const layout::MenuItem& item : layout::kMainMenu) {
        const QString caption = QString::fromLatin1(item.caption);
        if (item.inHelpMenu) {
            help->addAction(caption);
        } else if (std::string_view(item.name) == "cmd_Help") {
            help = window.menuBar()->addMenu(caption);
        } else {
            window.menuBar()->addAction(caption);
        }
    }

    auto* client = new QWidget;
    client->setFixedSize(layout::twipsToPixels(layout::kMainWindowOuterWidth) - 8,
                         layout::twipsToPixels(design.control("Frame2").rect.height) + 12);
    window.setCentralWidget(client);
    for (const layout::Control& control : design.controls) {
        QWidget* parent = control.parent.empty()
                              ? client
                              : client->findChild<QWidget*>(QString::fromStdString(control.parent));
        QWidget* made = makeControl(control, parent);
        if (made == nullptr) {  // a text box, or the web view's place
            made = control.kind == layout::ControlKind::TextBox ? new QLineEdit(parent)
                                                                : new QWidget(parent);
            made->setObjectName(QString::fromStdString(control.name));
        }
        // Both panels where start-up puts them, the search panel over the conversion panel.
        layout::TwipsRect place = control.rect;
        if (control.parent.empty()) {
            place.left = design.control("Frame2").rect.left;
            place.top = design.control("Frame2").rect.top;
        }
        made->setGeometry(qtRect(place));
    }
    client->findChild<QWidget*>(QStringLiteral("Frame1"))->hide();
    window.show();
    return QApplication::exec();
}
