#include <QApplication>

#include "application_folder.h"
#include "browser_launcher.h"
#include "font_configuration_preload.h"
#include "program.h"
#include "program_identity.h"
#include "termination_signals.h"
#include "web_view_host.h"

int main(int argc, char* argv[]) {
    tolvane::prepareForLazyWebEngine();
    tolvane::FontConfigurationPreload fonts;
    QApplication app(argc, argv);
    fonts.wait();
    // No display name: Qt would append it to every window title the desktop shows.
    QApplication::setApplicationName(tolvane::programFileName());
    QApplication::setApplicationVersion(tolvane::programVersionText());
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Tolvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tolvane.png")));

    tolvane::Program program(tolvane::ApplicationFolder::resolveForThisProgram(),
                             tolvane::makeDesktopShell());
    tolvane::TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &tolvane::TerminationSignals::received, &program,
                     &tolvane::Program::Close);
    program.Main();
    return QApplication::exec();
}
