#include "log/log.h"
#include "state/globals.h"
#include "test_env.h"
#include "windows/frm_about.h"
#include "windows/help_form.h"
#include "windows/log_opts_form.h"
#include "windows/opts_form.h"
#include "windows/run_report_window.h"

#include <QtTest>
#include <QtWidgets>

#include <optional>

namespace {

// A window's control, by the name the window gives it.
template <typename T = QWidget> T* Part(const QWidget& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

// One beat of the credits' timer, brought forward rather than waited for.
void Beat(frmAbout& about) {
    QMetaObject::invokeMethod(Part<QTimer>(about, "Timer1"), "timeout");
}

// Clicks an option button or check box on its indicator, where a player aims.
void ClickBox(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

// Presses OK, or leaves with the close box.
void Leave(QDialog& dialog, QPushButton* okButton, bool ok) {
    if (ok)
        QTest::mouseClick(okButton, Qt::LeftButton);
    else
        dialog.close();
    QVERIFY(!dialog.isVisible());
}

// The level in force and the one clicked, OK or the close box, what is
// written, and whether the store refuses it.
struct LogChoice {
    int from, to;
    bool ok;
    QStringList writes;
    bool storeFails = false;
};

// The boxes' values before (skipping programs is the other way round), the
// clicks on each box, the folder choice's answer (none: not opened), OK or
// the close box, what is written and logged ("<dl>" is the folder found),
// and whether the store refuses it.
struct Options {
    bool confirm;
    int clicks;
    std::optional<int> pick;
    bool ok;
    QStringList writes, log;
    bool storeFails = false;
};

} // namespace

class TestWindows : public QObject {
    Q_OBJECT
private slots:
    void clicksOnThePictureAndTheTimerClose_data();
    void clicksOnThePictureAndTheTimerClose();
    void creditsListThePacksAndScroll();
    void helpShowsTheReadmeOrTheFallback_data();
    void helpShowsTheReadmeOrTheFallback();
    void helpWindowFollowsTheMainWindow();
    void logLevelIsStoredOnOkOnly_data();
    void logLevelIsStoredOnOkOnly();
    void otherOptionsAreStoredOnOkOnly_data();
    void otherOptionsAreStoredOnOkOnly();
    void runReportCountsAndFilters();
};

void TestWindows::clicksOnThePictureAndTheTimerClose_data() {
    QTest::addColumn<bool>("credits");
    QTest::addColumn<QString>("control"); // "" is the column the picture leaves free
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("closes");
    QTest::newRow("splash timer") << false << "Timer1" << Qt::NoButton << true;
    QTest::newRow("picture") << false << "Picture1" << Qt::LeftButton << true;
    QTest::newRow("window") << false << "" << Qt::LeftButton << true;
    QTest::newRow("right click") << false << "Picture1" << Qt::RightButton << false;
    QTest::newRow("version") << false << "versionLabel" << Qt::LeftButton << false;
    QTest::newRow("legal notice") << false << "copylabel" << Qt::LeftButton << false;
    QTest::newRow("credits timer") << true << "Timer1" << Qt::NoButton << false;
    QTest::newRow("credits box") << true << "aboutContainer" << Qt::LeftButton << true;
    QTest::newRow("credits text") << true << "aboutLabel" << Qt::LeftButton << true;
}

void TestWindows::clicksOnThePictureAndTheTimerClose() {
    QFETCH(bool, credits);
    QFETCH(QString, control);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, closes);
    TestEnv env;
    QDir().mkpath(env.programFolder() + "/langs");
    G().AboutFromMenu = credits;
    QWidget main;
    frmAbout about(&main);
    QCOMPARE(Part<QLabel>(about, "versionLabel")->text(), QString("v1.0 Build 2"));
    QCOMPARE(Part<QLabel>(about, "copylabel")->text(), QString("Legal notice"));
    QCOMPARE(Part<QTimer>(about, "Timer1")->interval(), credits ? 50 : 7500);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    if (control == "Timer1")
        Beat(about);
    else if (control.isEmpty())
        QTest::mouseClick(&about, button, {}, QPoint(about.width() - 1, 10));
    else // a corner, which the credits text leaves free in its box
        QTest::mouseClick(Part(about, control), button, {}, QPoint(3, 3));
    QCOMPARE(about.isVisible(), !closes);
    QCOMPARE(Part<QTimer>(about, "Timer1")->isActive(), !closes);
    QCOMPARE(main.isVisible(), closes);
}

void TestWindows::creditsListThePacksAndScroll() {
    TestEnv env;
    env.useTestLanguage();
    G().AboutFromMenu = true;
    const QString langs = env.programFolder() + "/langs/";
    // Listed by file name; the display names sort the other way round.
    env.writeFile(langs + "lang.0zz.txt", "  Zulu \r\n Zed \r\nHELP = Z\r\n");
    env.writeFile(langs + "lang.1aa.txt", "Alpha\r\n<b>Ann</b>\r\nHELP = A\r\n");
    {
        frmAbout about(nullptr);
        auto* label = Part<QLabel>(about, "aboutLabel");
        const QStringList lines = label->text().split('\n');
        QCOMPARE(lines.mid(2, 2),
                 (QStringList{"Brushwick 2 v1.0 Build 2", "By the Brushwick 2 team"}));
        QCOMPARE(lines.mid(lines.indexOf("Translations:") + 1),
                 (QStringList{"   Zulu by Zed", "   Alpha by <b>Ann</b>", "", "",
                              "  And YOU for using The Tidsel and spreading the word!",
                              "  So long... ", ""}));
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QVERIFY(label->isVisibleTo(&about) &&
                !Part<QLabel>(about, "versionLabel")->isVisibleTo(&about));

        // 5 twips a beat until all of the text has passed the box's upper
        // edge, then it starts again with its first line at the edge.
        Beat(about);
        QCOMPARE(label->y(), 8); // 115 twips
        const int height = about.aboutLabelHeight();
        for (int beat = 1; beat < (120 + height) / 5; ++beat)
            Beat(about);
        QCOMPARE(about.aboutLabelTop() + height, 0);
        Beat(about);
        QCOMPARE(label->y(), 0);
        Beat(about);
        Beat(about);
        QCOMPARE(label->y(), -1); // -10 twips
    }
    // A broken pack: the error is reported and the picture waits for a click.
    env.writeFile(langs + "lang.9bad.txt", "Only a name");
    frmAbout about(nullptr);
    QCOMPARE(env.logMessages(), QStringList{"ERROR: Splash Error 62: Input past end of file"});
    QCOMPARE(env.prompts.boxes.size(), 1);
    QVERIFY(!Part<QWidget>(about, "aboutContainer")->isVisibleTo(&about) &&
            !Part<QTimer>(about, "Timer1")->isActive());
}

void TestWindows::helpShowsTheReadmeOrTheFallback_data() {
    QTest::addColumn<QByteArray>("chosen");
    QTest::addColumn<QByteArray>("fallback");
    QTest::addColumn<QString>("shown");
    // Lines as they stand, each ending in a break; an empty text is one empty line.
    QTest::newRow("chosen") << QByteArray("Hallo\r\n\r\n # no comment \r\nend") << QByteArray("x")
                            << "Hallo\n\n # no comment \nend\n";
    QTest::newRow("none for the language") << QByteArray() << QByteArray("Hello\r\n") << "Hello\n";
    QTest::newRow("empty for the language") << QByteArray("") << QByteArray("Hello") << "Hello\n";
    QTest::newRow("both empty") << QByteArray("") << QByteArray("") << "\n";
    // Nothing to show: the window says so instead of failing.
    QTest::newRow("no text at all")
        << QByteArray() << QByteArray()
        << "This text cannot be shown.\n\n%P\nError 53: File not found\n";
    // The read-me names the log this copy writes, wherever that is.
    QTest::newRow("log named") << QByteArray("See %LOGFILE%.") << QByteArray("x") << "See %L.\n";
}

void TestWindows::helpShowsTheReadmeOrTheFallback() {
    QFETCH(QByteArray, chosen);
    QFETCH(QByteArray, fallback);
    QFETCH(QString, shown);
    TestEnv env(Error_Mod::Level::Errors);
    env.useTestLanguage();
    G().LangChoice = "lang.1deu.txt";
    const QString langs = env.programFolder() + "/langs/";
    if (!chosen.isNull())
        env.writeFile(langs + "readme.lang.1deu.txt", chosen);
    if (!fallback.isNull())
        env.writeFile(langs + "readme.lang.eng0.txt", fallback);
    helpForm help(nullptr);
    help.Load_Readme();
    QCOMPARE(help.windowTitle(), QString("Brushwick 2 - Help"));
    const QString path = langs + "readme.lang.eng0.txt";
    QCOMPARE(Part<QPlainTextEdit>(help, "Text1")->toPlainText(),
             shown.replace("%L", env.logPath()).replace("%P", path));
    QCOMPARE(env.logMessages(), shown.contains(path)
                                    ? QStringList{"SHOWTEXTFILE: " + path + " - 53: File not found"}
                                    : QStringList{});
    QVERIFY(env.prompts.boxes.isEmpty());
}

void TestWindows::helpWindowFollowsTheMainWindow() {
    TestEnv env;
    env.useTestLanguage();
    env.writeFile(env.programFolder() + "/ChangeLog.txt", "Changes\r\n");
    QWidget main;
    main.resize(500, 220);
    main.show();
    helpForm help(&main);
    help.Load_ChangeLog();
    help.show();
    auto* text = Part<QPlainTextEdit>(help, "Text1");
    QCOMPARE(help.frameGeometry().width(), main.frameGeometry().width());
    QTest::keyClicks(text, "typed");
    QCOMPARE(text->toPlainText(), QString("Changes\n"));

    // The text fills the window from its first showing on, whatever its size.
    QCOMPARE(text->geometry(), help.rect());
    help.resize(400, 300);
    QCOMPARE(text->geometry(), QRect(0, 0, 400, 300));

    // The title stays while the window is open; used again after closing,
    // the window takes it anew in the language now in force.
    G().CurLang.Change("HELP", "HELP = Hilfe");
    help.Load_ChangeLog();
    QCOMPARE(help.windowTitle(), QString("Brushwick 2 - Help"));
    help.close();
    help.Load_ChangeLog();
    QCOMPARE(help.windowTitle(), QString("Brushwick 2 - Hilfe"));
}

void TestWindows::logLevelIsStoredOnOkOnly_data() {
    QTest::addColumn<LogChoice>("c");
    // The words start-up reads back; the level already in force writes nothing.
    const QStringList words{"off", "errors", "skips", "verbose", "debug"};
    for (int to = 0; to < 5; ++to)
        QTest::addRow("verbose to %d", to) << LogChoice{
            3, to, true, to == 3 ? QStringList{} : QStringList{"LogLevel=" + words[to]}};
    QTest::newRow("debug to off") << LogChoice{4, 0, true, {"LogLevel=off"}};
    QTest::newRow("close box") << LogChoice{3, 4, false, {}};
    // Choosing "off" must not swallow the report of its own failed write.
    QTest::newRow("store fails") << LogChoice{3, 0, true, {"LogLevel=off"}, true};
}

void TestWindows::logLevelIsStoredOnOkOnly() {
    QFETCH(LogChoice, c);
    TestEnv env(c.from);
    env.settings.failWrites = c.storeFails;
    logOptsForm dialog(nullptr);
    QVERIFY(Part<QRadioButton>(dialog, QString("logOption%1").arg(c.from))->isChecked());
    dialog.show();
    ClickBox(Part<QRadioButton>(dialog, QString("logOption%1").arg(c.to)));
    Leave(dialog, Part<QPushButton>(dialog, "logButton"), c.ok);
    QCOMPARE(env.settings.writes, c.writes);
    // A failed write still leaves the choice in force for this run.
    QCOMPARE(G().LogLevel, c.ok ? c.to : c.from);
    QCOMPARE(env.logMessages(), c.storeFails ? QStringList{"SETTINGS: could not store " +
                                                           c.writes.value(0).replace('=', " = ")}
                                             : QStringList{});
}

void TestWindows::otherOptionsAreStoredOnOkOnly_data() {
    QTest::addColumn<Options>("c");
    const QStringList toAsk{"CONFIRMOVERWRITES: Changed by menu to True",
                            "SkipEXEs: Changed by menu to False"};
    const QStringList toSkip{"CONFIRMOVERWRITES: Changed by menu to False",
                             "SkipEXEs: Changed by menu to True"};
    const QStringList skipWrites{"ConfirmOverwrites=no", "SkipEXEs=yes"};
    QTest::newRow("ask, run programs")
        << Options{false, 1, {}, true, {"ConfirmOverwrites=yes", "SkipEXEs=no"}, toAsk};
    QTest::newRow("overwrite, skip programs") << Options{true, 1, {}, true, skipWrites, toSkip};
    QTest::newRow("changed back") << Options{false, 2, {}, true, {}, {}};
    QTest::newRow("folder chosen")
        << Options{false, 0, 0, true, {"SimsPath=<dl>"}, {"SIMSPATH: <dl>"}};
    QTest::newRow("close box") << Options{false, 1, 0, false, {}, {}};
    // Closing the choice keeps the folder; nobody is asked about quitting.
    QTest::newRow("folder choice closed")
        << Options{false, 0, platform::FolderPick::Closed, true, {}, {}};
    // The values stay in force for this run.
    const QStringList refused{toSkip[0], "SETTINGS: could not store ConfirmOverwrites = no",
                              toSkip[1], "SETTINGS: could not store SkipEXEs = yes"};
    QTest::newRow("store fails") << Options{true, 1, {}, true, skipWrites, refused, true};
}

void TestWindows::otherOptionsAreStoredOnOkOnly() {
    QFETCH(Options, c);
    TestEnv env;
    env.useTestLanguage();
    env.settings.failWrites = c.storeFails;
    G().ConfirmOverwrites = c.confirm;
    G().SkipEXEs = !c.confirm;
    const QString old = env.downloadFolder() + "/";
    G().SimsPath = old;
    const QString found = env.root() + "/home/.wine/drive_c/users/me/Documents/EA Games/"
                                       "The Sims 2/Downloads/";
    QDir().mkpath(found);
    QDir().mkpath(found + "../Neighborhoods");
    optsForm dialog(nullptr);
    auto* confirmBox = Part<QCheckBox>(dialog, "confirmOverCheck");
    auto* skipBox = Part<QCheckBox>(dialog, "skipEXEcheck");
    QCOMPARE(confirmBox->text(), QString("Ask before overwriting"));
    QCOMPARE(skipBox->text(), QString("Skip programs"));
    QVERIFY(confirmBox->isChecked() == c.confirm);
    QVERIFY(skipBox->isChecked() != c.confirm);
    dialog.show();
    for (int i = 0; i < c.clicks; ++i) {
        ClickBox(confirmBox);
        ClickBox(skipBox);
    }
    if (c.pick) {
        env.prompts.picks = {*c.pick};
        QTest::mouseClick(Part<QPushButton>(dialog, "folderChange"), Qt::LeftButton);
        QCOMPARE(Part<QLabel>(dialog, "folderPath")->toolTip(), c.pick == 0 ? found : old);
    }
    Leave(dialog, Part<QPushButton>(dialog, "logButton"), c.ok);
    QCOMPARE(env.settings.writes, c.writes.replaceInStrings("<dl>", found));
    QCOMPARE(env.logMessages(), c.log.replaceInStrings("<dl>", found));
    const bool changed = c.ok && c.clicks == 1;
    QCOMPARE(G().ConfirmOverwrites, c.confirm != changed);
    QCOMPARE(G().SkipEXEs, c.confirm == changed);
    QCOMPARE(G().SimsPath, c.ok && c.pick == 0 ? found : old);
    QVERIFY(env.prompts.boxes.isEmpty());
}

void TestWindows::runReportCountsAndFilters() {
    TestEnv env;
    env.useTestLanguage();
    G().SimsPath = env.downloadFolder() + "/";
    RunReport report;
    report.Add("/dl/a.package", Outcome::Installed, G().SimsPath + "a.package");
    report.Add("/dl/b.package", Outcome::Failed, "Disk full");
    report.Add("/dl/hair.zip > c.package", Outcome::Failed, "Permission denied");
    report.Add("/dl/notes.txt", Outcome::Unhandled);
    RunReportWindow window(report);
    // The counts of what came up, and only those.
    QCOMPARE(window.findChild<QLabel*>("count0")->text(), QString("1"));
    QCOMPARE(window.findChild<QLabel*>("count3")->text(), QString("2"));
    QVERIFY(!window.findChild<QLabel*>("count1"));
    auto* filter = window.findChild<QComboBox*>("filter");
    QCOMPARE(filter->count(), 4); // all, installed, failed, not handled
    filter->setCurrentIndex(filter->findText("OUTCOMEFAILED"));
    QCOMPARE(window.ListText(),
             QString("/dl/b.package\tOUTCOMEFAILED\tDisk full\n"
                     "/dl/hair.zip > c.package\tOUTCOMEFAILED\tPermission denied\n"));
    QTest::mouseClick(window.findChild<QPushButton*>("copyList"), Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), window.ListText());
    QTest::mouseClick(window.findChild<QPushButton*>("openDownloads"), Qt::LeftButton);
    QTest::mouseClick(window.findChild<QPushButton*>("openLog"), Qt::LeftButton);
    QCOMPARE(env.shell.addresses, QStringList({QUrl::fromLocalFile(G().SimsPath).toString(),
                                               QUrl::fromLocalFile(env.logPath()).toString()}));
}

QTEST_MAIN(TestWindows)
#include "test_windows.moc"
