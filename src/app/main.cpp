#include "app/main_form.h"
#include "app/startup.h"
#include "platform/globals.h"
#include "platform/qt_process.h"
#include "platform/qt_prompts.h"
#include "platform/qt_settings.h"
#include "platform/qt_shell.h"
#include "windows/artwork.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppTitle);
    QApplication::setOrganizationName(AppTitle);
    QApplication::setApplicationVersion(QStringLiteral("1.0.2"));
    // The main window is hidden while the splash shows; closing it is what
    // ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    InitArtwork();

    platform::QtProcess process;
    platform::QtSettings settings;
    platform::QtPrompts prompts;
    platform::QtShell shell;
    mainForm window;
    platform::Install({&prompts, &window, &shell, &process, &settings});

    BrushwickMod::Form_Load(window, BrushwickMod::CommandLinePaths(app.arguments().mid(1)));
    return app.exec();
}
