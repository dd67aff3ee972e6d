// The floor for start-up: a plain Qt window with as many widgets as the main window (menu bar,
// two panels, four fields, eight labels, 22 buttons, a placeholder) and no logic at all.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "tolvane_version.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QString::fromUtf8(tolvane::version::kProgramTitle));
    window.menuBar()->addAction(QStringLiteral("&Close"));
    window.menuBar()->addAction(QStringLiteral("&Peferences"));
    QMenu* help = window.menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("Content"));
    help->addSeparator();
    help->addAction(QStringLiteral("About"));
    window.menuBar()->addAction(QStringLiteral("&Search About"));

    auto* client = new QWidget;
    client->setFixedSize(527, 142);
    window.setCentralWidget(client);
    auto* conversion = new QGroupBox(QStringLiteral("Temperature Conversion"), client);
    conversion->setGeometry(5, 7, 520, 132);
    auto* search = new QGroupBox(QStringLiteral("Search About"), client);
    search->setGeometry(5, 7, 520, 132);
    search->hide();
    new QPushButton(QStringLiteral("Refresh"), search);
    new QWidget(search);
    for (int row = 0; row < 4; ++row) {
        (new QLabel(QStringLiteral("Label :"), conversion))->move(8, 21 + row * 21);
        (new QLineEdit(conversion))->setGeometry(105, 21 + row * 21, 187, 19);
        (new QLabel(QStringLiteral("K"), conversion))->move(300, 21 + row * 21);
        for (int column = 0; column < (row == 3 ? 6 : 5); ++column) {
            (new QPushButton(QString::number(column), conversion))
                ->setGeometry(321 + column * 32, 21 + row * 21, 29, 19);
        }
    }
    window.show();
    return QApplication::exec();
}
