// Installs a folder tree through the real main window (offscreen) while a
// 10 ms timer ticks on the window's thread, and prints the longest time
// between two ticks: how long the window would not have painted or
// answered the window manager.
#include "app/main_form.h"
#include "app/run_queue.h"
#include "fakes.h"
#include "platform/window_thread.h"
#include "state/globals.h"
#include "test_env.h"
#include "windows/artwork.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s TREE\n", argv[0]);
        return 2;
    }
    const QString tree = QString::fromLocal8Bit(argv[1]);
    InitArtwork();
    // Every line a player at "debug" would get.
    TestEnv env(4);
    env.useTestLanguage();
    G().SimsPath = env.downloadFolder() + "/";
    platform::SetWindowThread(&app);
    platform::WindowThreadPrompts prompts(env.prompts);
    platform::WindowThreadShell shell(env.shell);
    mainForm window;
    platform::Install({&prompts, &window, &shell, &env.process, &env.settings});
    window.show();

    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    clock.start();
    ticker.start(10);

    QElapsedTimer run;
    run.start();
    window.Runs().AddDrop({tree});
    window.Runs().WaitUntilIdle();
    const double seconds = run.nsecsElapsed() / 1e9;
    ticker.stop();

    const qsizetype installed = QDir(env.downloadFolder()).entryList(QDir::Files).size();
    std::printf("responsiveness: %lld files, longest stall %lld ms, run %.2f s\n",
                static_cast<long long>(installed), static_cast<long long>(longest), seconds);
    return 0;
}
