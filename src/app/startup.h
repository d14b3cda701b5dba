#pragma once

#include "containers/marray.h"

#include <QString>

namespace BrushwickMod {

// What start-up needs of the windows; the main window provides it, tests
// provide a recording stand-in.
class StartupWindows {
public:
    virtual ~StartupWindows() = default;
    virtual void SetTitle(const QString& title) = 0;
    // The language choice, shown modally.
    virtual void ShowLanguageChoice() = 0;
    // Runs the paths given at start and waits until they are installed.
    virtual void RunAndWait(MArray& paths) = 0;
    // A second start: hands its paths to the running copy; false when it
    // could not.
    virtual bool HandOff(const MArray& paths) = 0;
    // The first copy takes the paths later starts hand over; they wait
    // until runs may start.
    virtual void ListenForHandOffs() = 0;
    // The download folder and the options are known: runs may start, those
    // handed over meanwhile first.
    virtual void RunsMayStart() = 0;
    // Hides the main window and shows the splash modally; the main window
    // comes back when it closes.
    virtual void ShowSplash() = 0;
    // Shows the main window without the splash (after a start-up error).
    virtual void ShowMain() = 0;
};

// "Brushwick 2 - 1.0 Build 2"
QString VersionText();

// The program's start: language, single copy, settings, the
// temporary root, the download folder, then the paths given at start.
void StartUp(StartupWindows& windows, MArray commandLine);

// The paths given on the command line, in the order the run receives them:
// one argument per path (Linux), or the Windows form, the text after the
// program's name with each path in double quotes.
MArray CommandLinePaths(const QStringList& arguments);
MArray CommandLineFromText(const QString& text);

} // namespace BrushwickMod
