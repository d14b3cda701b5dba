#include "app/handoff.h"
#include "app/main_form.h"
#include "app/run_queue.h"
#include "checks.h"
#include "platform/window_thread.h"
#include "state/globals.h"
#include "test_env.h"
#include "windows/help_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QtTest>

#include <optional>

namespace {

// A question that stays open while the test looks at the window: it is
// answered as the fakes answer once `before` has run, with the window's
// events going on meanwhile.
class SlowPrompts : public fakes::Prompts {
public:
    int Ask(platform::Question& q) override {
        if (before) {
            auto once = std::move(before);
            before = nullptr;
            once();
        }
        return fakes::Prompts::Ask(q);
    }
    std::function<void()> before;
};

// The window stands in for the status interface, as in the program, and
// runs go on their own thread: questions and shell requests reach the
// fakes on the window's thread, as the real ones would.
struct WindowEnv {
    TestEnv env;
    SlowPrompts asked;
    platform::WindowThreadPrompts prompts{asked};
    platform::WindowThreadShell shell{env.shell};
    mainForm window;
    WindowEnv() {
        platform::SetWindowThread(qApp);
        platform::Install({&prompts, &window, &shell, &env.process, &env.settings});
        env.useTestLanguage();
        G().SimsPath = env.downloadFolder() + "/";
        G().TidselTemp = env.driveFolder() + "/temp/brushwick/voriderud";
        window.show();
    }
    ~WindowEnv() { platform::SetWindowThread(nullptr); }
    void waitForRuns() { window.Runs().WaitUntilIdle(); }
    // The window's parts, by the names it gives them.
    template <typename T = QWidget> T* part(const char* name) const {
        T* found = window.findChild<T*>(name);
        if (!found)
            qFatal("the main window has no %s", name);
        return found;
    }
    QAction* entry(const char* name) const { return part<QAction>(name); }
    QMenu* menu() const { return part<QMenu>("helpMenu"); }
    // Drags the files onto the picture; with none, what a browser drags.
    void drop(const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        if (urls.isEmpty()) {
            urls << QUrl("https://example.org/hair.package");
            data.setText("just some words");
        }
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(part("DnDPic"), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(part("DnDPic"), &drop);
    }
};

} // namespace

// Each test starts with a window of its own, shown.
class TestMainForm : public QObject {
    Q_OBJECT
    std::optional<WindowEnv> w;
private slots:
    void init() { w.emplace(); }
    void cleanup() { w.reset(); }
    void dropInstallsInDroppedOrder();
    void windowLivesWhileRunAsks();
    void stopLeavesTheFolderClean_data();
    void stopLeavesTheFolderClean();
    void closeAfterTheRunEndedEndsAtOnce();
    void handOversWaitForTheFolderAndTheOptions();
    void onlyTheRightButtonOpensTheMenu();
    void eachMenuEntryOpensItsWindow_data();
    void eachMenuEntryOpensItsWindow();
    void menuCaptionsFollowTheLanguage();
    void webPage();
    void helpAndChangeLogShareOneWindow();
    void creditsHideTheWindow();
};

void TestMainForm::dropInstallsInDroppedOrder() {
    // A web address and text make a run of nothing, with nothing to look at.
    w->drop({});
    w->waitForRuns();
    QCOMPARE(w->window.Text(), QString("Done! No files installed"));
    QCOMPARE(w->env.logMessages().value(0), QString("HANDLEDODFILECOUNT: 0"));
    QVERIFY(!w->part("detailsLink")->isVisible());

    w->env.writeFile(w->env.work("dl/a.package"), "a");
    const QString b = w->env.writeFile(w->env.work("b.package"), "b");
    const QString skin = w->env.writeFile(w->env.work("body.skin"), "s");
    w->drop({w->env.work("dl"), b, skin});
    w->waitForRuns();

    QVERIFY(QFile::exists(w->env.downloadFolder() + "/a.package"));
    QVERIFY(QFile::exists(w->env.downloadFolder() + "/b.package"));
    QCOMPARE(w->env.shell.opened, QStringList{skin});
    QCOMPARE(w->window.Text(), QString("Done! 3 files installed"));
    const QStringList log = w->env.logMessages();
    QVERIFY(log.indexOf("FOLDER: " + w->env.work("dl")) < log.indexOf("Sims2Skin: " + skin));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

void TestMainForm::windowLivesWhileRunAsks() {
    G().ConfirmOverwrites = true;
    const QString a = w->env.writeFile(w->env.work("a.package"), "new");
    w->env.writeFile(w->env.downloadFolder() + "/a.package", "old");
    const QString later = w->env.writeFile(w->env.work("later.txt"), "later");
    w->asked.before = [&] {
        // The run waits on the question; the window takes a drop and tells
        // of it, keeps the option windows closed, and nothing is copied yet.
        w->drop({later});
        const QString waiting = w->part<QLabel>("statusText")->text();
        QVERIFY2(waiting.endsWith("WAITING 1"), qPrintable(waiting));
        QVERIFY(!w->entry("otherMenuOptions")->isEnabled());
        QVERIFY(!w->entry("langMenuOption")->isEnabled());
        QCOMPARE(Content(w->env.downloadFolder() + "/a.package"), QByteArray("old"));
        // A long archive name leaves room for the Stop button in the window.
        w->window.SetProgress({12345, QString(200, 'n') + ".zip", 40});
        QCoreApplication::processEvents();
        QVERIFY(w->part("SBar")->minimumSizeHint().width() <= w->window.width());
    };
    w->drop({a});
    w->waitForRuns();
    QCOMPARE(w->asked.boxes.size(), 1);
    QVERIFY(w->entry("otherMenuOptions")->isEnabled());
    // The drop made meanwhile ran afterwards, as a run of its own.
    const QStringList log = w->env.logMessages();
    QCOMPARE(log.filter("HANDLEDODFILECOUNT: 1").size(), 2);
    QVERIFY(log.indexOf("UNHANDLED: " + later) > log.indexOf("POSTINSTALL: 1 files installed"));
    QCOMPARE(Content(w->env.downloadFolder() + "/a.package"), QByteArray("new"));
    // A file left unhandled is worth a look: the link to the report shows.
    QVERIFY(w->part("detailsLink")->isVisible());
}

void TestMainForm::stopLeavesTheFolderClean_data() {
    QTest::addColumn<bool>("byClosing");
    QTest::newRow("stop button") << false;
    QTest::newRow("closing, confirmed") << true;
}

void TestMainForm::stopLeavesTheFolderClean() {
    QFETCH(bool, byClosing);
    G().ConfirmOverwrites = true;
    for (int i = 0; i < 5; ++i)
        w->env.writeFile(w->env.work(QString("dl/p%1.package").arg(i)), QByteArray(1 << 16, 'p'));
    w->env.writeFile(w->env.downloadFolder() + "/p4.package", "old");
    const QString queued = w->env.writeFile(w->env.work("queued.package"), "q");
    w->asked.before = [&] {
        w->drop({queued});
        if (byClosing) {
            // The close is asked about first: Yes stops after this file.
            w->asked.answers = {platform::Box::Yes, platform::Box::Yes};
            w->window.close();
        } else {
            QTest::mouseClick(w->part("stopButton"), Qt::LeftButton);
        }
    };
    w->drop({w->env.work("dl")});
    if (byClosing)
        QVERIFY_THROWS_EXCEPTION(platform::ProgramEnded, w->waitForRuns());
    else
        w->waitForRuns();
    // p4 was asked about (and replaced); the rest and the queued drop were left.
    const QStringList log = w->env.logMessages();
    QCOMPARE(log.filter("STOPPED: ").value(0), QString("STOPPED: 5 paths left"));
    QCOMPARE(log.filter("HANDLEDODFILECOUNT").size(), 1);
    QCOMPARE(QDir(w->env.downloadFolder()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"p4.package"});
    QCOMPARE(w->window.Text(), QString("Done! 1 file installed"));
    QCOMPARE(w->env.process.ends, byClosing ? 1 : 0);
}

void TestMainForm::closeAfterTheRunEndedEndsAtOnce() {
    // The run ends while the player reads the question: Yes closes now,
    // and nothing is left to end the program after some later run.
    w->asked.before = [&] {
        while (w->window.Runs().Running())
            QCoreApplication::processEvents();
    };
    w->asked.answers = {platform::Box::Yes};
    w->drop({w->env.writeFile(w->env.work("a.package"), "a")});
    // The close as the window manager asks it.
    QCloseEvent close;
    QVERIFY_THROWS_EXCEPTION(platform::ProgramEnded,
                             QCoreApplication::sendEvent(&w->window, &close));
    QCOMPARE(w->env.process.ends, 1);
}

void TestMainForm::handOversWaitForTheFolderAndTheOptions() {
    // Files handed over by a second start while start-up still asks for the
    // download folder, and while an option window is open, wait for them.
    const auto handOver = [&](const QString& name, int count) {
        QVERIFY(Handoff::SendPaths({w->env.writeFile(w->env.work(name), name.toUtf8())}));
        QTRY_COMPARE(w->env.logMessages().filter("HANDOFF: 1").size(), count);
        QVERIFY(!QFile::exists(w->env.downloadFolder() + "/" + name));
    };
    w->window.ListenForHandOffs();
    handOver("a.package", 1);
    w->window.RunsMayStart();
    w->waitForRuns();
    QVERIFY(QFile::exists(w->env.downloadFolder() + "/a.package"));

    QTimer::singleShot(0, [&] {
        handOver("b.package", 2);
        QApplication::activeModalWidget()->close();
    });
    w->entry("otherMenuOptions")->trigger();
    w->waitForRuns();
    QVERIFY(QFile::exists(w->env.downloadFolder() + "/b.package"));
}

void TestMainForm::onlyTheRightButtonOpensTheMenu() {
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton}) {
        QTest::mouseClick(w->part("DnDPic"), button, {}, QPoint(50, 50));
        QVERIFY(!w->menu()->isVisible());
    }
    QTest::mouseClick(w->part("DnDPic"), Qt::RightButton, {}, QPoint(50, 50));
    QVERIFY(w->menu()->isVisible());
    w->menu()->hide();
    QTest::mouseClick(w->part("HelpButton"), Qt::LeftButton);
    QVERIFY(w->menu()->isVisible());
    w->menu()->hide();
}

void TestMainForm::eachMenuEntryOpensItsWindow_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("opens");
    auto row = [](const char* name, const char* entry, const char* opens) {
        QTest::newRow(name) << QString(entry) << QString(opens);
    };
    row("help", "helpMenuOption", "helpForm: Read me");
    row("change log", "changeLogMenu", "helpForm: 1.0 Build 2");
    row("language", "langMenuOption", "langPickForm");
    row("logging", "logMenuOption", "logOptsForm");
    row("other", "otherMenuOptions", "optsForm");
    row("credits", "aboutMenuOption", "frmAbout");
}

void TestMainForm::eachMenuEntryOpensItsWindow() {
    QFETCH(QString, entry);
    QFETCH(QString, opens);
    G().LangChoice = "lang.0eng.txt";
    w->env.writeFile(w->env.programFolder() + "/ChangeLog.txt", "1.0 Build 2\r\n");
    w->env.writeFile(w->env.programFolder() + "/langs/readme.lang.0eng.txt", "Read me\r\n");
    w->env.writeFile(w->env.programFolder() + "/langs/lang.0eng.txt", "English\r\n");
    w->env.settings.setValue("LangChoice", G().LangChoice);
    QString opened;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = modal->metaObject()->className();
            modal->close();
        }
    });
    w->entry(entry.toLatin1())->trigger();
    if (auto* help = w->window.findChild<helpForm*>(); help && help->isVisible())
        opened = QString("helpForm: ") +
                 help->findChild<QPlainTextEdit*>("Text1")->toPlainText().trimmed();
    QCOMPARE(opened, opens);
    QVERIFY(w->env.shell.addresses.isEmpty());
}

void TestMainForm::menuCaptionsFollowTheLanguage() {
    w->window.SetMenuCaptions({"Hilfe", "Sprache", "Mitwirkende", "Protokoll", "Andere"});
    QStringList captions;
    for (QAction* a : w->menu()->actions())
        captions << (a->isSeparator() ? "-" : a->text());
    QCOMPARE(captions, QStringList({"Hilfe", "Brushwick Website!", "-", "Sprache", "Protokoll",
                                    "Andere", "-", "ChangeLog", "Mitwirkende"}));
}

void TestMainForm::webPage() {
    const QString marker = w->env.programFolder() + "/temphtm.HTML";
    w->entry("bwkwebMenuOption")->trigger();
    QCOMPARE(w->env.shell.addresses, QStringList{mainForm::WebPage});
    QVERIFY(w->asked.boxes.isEmpty());
    QVERIFY(!QFile::exists(marker));

    w->env.shell.browserFound = false;
    w->entry("bwkwebMenuOption")->trigger();
    const QString sorry = "Sorry, but I could not determine which browser you are using. You will "
                          "have to go to " +
                          mainForm::WebPage + " yourself.";
    QCOMPARE(w->asked.boxes.value(0).prompt, sorry);
    QVERIFY(!QFile::exists(marker));

    // A program folder that cannot take the marker file gets the same report
    // (a folder in its place stops the write even for the superuser).
    QDir().mkpath(marker);
    w->env.shell.browserFound = true;
    w->entry("bwkwebMenuOption")->trigger();
    QCOMPARE(w->asked.boxes.size(), 2);
    QCOMPARE(w->asked.boxes.value(1).prompt, sorry);
}

void TestMainForm::helpAndChangeLogShareOneWindow() {
    G().LangChoice = "lang.0eng.txt";
    w->env.writeFile(w->env.programFolder() + "/ChangeLog.txt", "1.0 Build 2\r\n");
    w->env.writeFile(w->env.programFolder() + "/langs/readme.lang.0eng.txt", "Read me\r\n");
    w->entry("changeLogMenu")->trigger();
    helpForm* first = w->window.findChild<helpForm*>();
    QVERIFY(first && first->isVisible());
    w->entry("helpMenuOption")->trigger();
    QCOMPARE(w->window.findChildren<helpForm*>(), QList<helpForm*>{first});
    QVERIFY(first->findChild<QPlainTextEdit*>("Text1")->toPlainText().startsWith("Read me"));
}

void TestMainForm::creditsHideTheWindow() {
    // The credits show in the main window's place, told that they came from the menu.
    bool hiddenForCredits = false;
    QTimer::singleShot(0, [&] {
        hiddenForCredits = !w->window.isVisible() && G().AboutFromMenu;
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    w->entry("aboutMenuOption")->trigger();
    QVERIFY(hiddenForCredits);
    QVERIFY(w->window.isVisible() && !G().AboutFromMenu);
}

QTEST_MAIN(TestMainForm)
#include "test_main_form.moc"
