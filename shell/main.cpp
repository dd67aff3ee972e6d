#include <QApplication>
#include <QStandardPaths>

#include "application_folder.h"
#include "browser_launcher.h"
#include "font_configuration_preload.h"
#include "program.h"
#include "program_identity.h"
#include "qt_paths.h"
#include "termination_signals.h"
#include "web_view_host.h"

namespace {

// The folder of the running program, the per-user data folder (so the application name must be
// set before), and the data and program folders of the installation.
tolvane::ApplicationFolder applicationFolderOfThisProgram() {
    using tolvane::toPath;
    return tolvane::ApplicationFolder::resolve(
        toPath(QCoreApplication::applicationDirPath()),
        toPath(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)),
        TOLVANE_INSTALLED_DATA_DIR, TOLVANE_INSTALLED_PROGRAM_DIR);
}

}  // namespace

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

    const tolvane::ApplicationFolder folder = applicationFolderOfThisProgram();
    folder.createWithPictures();
    tolvane::Program program(folder, tolvane::makeDesktopShell());
    tolvane::TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &tolvane::TerminationSignals::received, &program,
                     &tolvane::Program::Close);
    program.Main();
    return QApplication::exec();
}
