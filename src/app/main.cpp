#include "app/main_form.h"
#include "app/startup.h"
#include "platform/file_names.h"
#include "platform/qt_process.h"
#include "platform/qt_prompts.h"
#include "platform/qt_settings.h"
#include "platform/qt_shell.h"
#include "platform/version.h"
#include "platform/window_thread.h"
#include "state/globals.h"
#include "windows/artwork.h"

#include <QApplication>

#ifdef Q_OS_WIN
#include <windows.h>

namespace {

// The text after the program's name, as Windows passes dropped files.
QString CommandTail() {
    const QString line = QString::fromWCharArray(GetCommandLineW());
    qsizetype at = 0;
    if (line.startsWith(QLatin1Char('"')))
        at = line.indexOf(QLatin1Char('"'), 1) + 1;
    else
        at = line.indexOf(QLatin1Char(' '));
    if (at <= 0 || at >= line.size())
        return {};
    return line.mid(at).trimmed();
}

} // namespace
#endif

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppTitle);
    QApplication::setOrganizationName(AppTitle);
    QApplication::setApplicationVersion(QString::fromLatin1(platform::ThisVersion::Text));
    // The main window is hidden while the splash shows; closing it is what
    // ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    InitArtwork();

    platform::QtProcess process;
    platform::QtSettings settings;
    platform::QtPrompts qtPrompts;
    platform::QtShell qtShell;
    // Runs ask their questions from a thread of their own; they are shown
    // on the window's.
    platform::SetWindowThread(&app);
    platform::WindowThreadPrompts prompts(qtPrompts);
    platform::WindowThreadShell shell(qtShell);
    mainForm window;
    platform::Install({&prompts, &window, &shell, &process, &settings});

#ifdef Q_OS_WIN
    MArray paths = BrushwickMod::CommandLineFromText(CommandTail());
#else
    // The arguments as their bytes came: a file name need not be UTF-8.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(platform::FileNameText(QByteArray(argv[i])));
    MArray paths = BrushwickMod::CommandLinePaths(arguments);
#endif
    BrushwickMod::StartUp(window, paths);
    return app.exec();
}
