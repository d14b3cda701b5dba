#include "app/startup.h"
#include "containers/runtime_error.h"
#include "platform/globals.h"
#include "test_env.h"

#include <QDir>
#include <QtTest>

namespace {

// Records what start-up asks of the windows. The language choice "chooses"
// the pack named in choice by storing it, as the real window's OK does.
class FakeWindows : public BrushwickMod::StartupWindows {
public:
    explicit FakeWindows(fakes::Settings& settings) : settings_(settings) {}
    void SetTitle(const QString& t) override { title = t; }
    void ShowLanguageChoice() override {
        calls << "language";
        if (!choices.isEmpty())
            settings_.setValue("LangChoice", choices.takeFirst());
    }
    void ShowSplash() override {
        calls << "splash";
        if (failSplash)
            throw RunTimeError(75, "Path/File access error");
    }
    void ShowMain() override { calls << "main"; }

    QString title;
    QStringList calls;
    QStringList choices;
    bool failSplash = false;

private:
    fakes::Settings& settings_;
};

const QByteArray DefaultPack = "English\r\nBrushwick 2 team\r\n"
                               "DefBarMsg = Drop files on me\r\n"
                               "AnotherTidsel = Already running\r\n"
                               "LOADERROR = Start-up failed:\r\n"
                               "ERRORNUMBER = error ...\r\n"
                               "Processing = Working\r\nDone = Done!\r\n"
                               "NOFILES = No files installed\r\n"
                               "Singularfile = One file installed\r\n"
                               "PLURALFILES = ... files installed\r\n"
                               "HELP = Help\r\nLANGOPT = Language\r\nCREDopt = Credits\r\n"
                               "LOGGopt = Logging\r\nOTHEROPT = Other\r\n"
                               "NODOWNLOADPATH = Where is the game's download folder?\r\n";

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private:
    // A program folder with a default pack and a stored download folder.
    void prepare(TestEnv& env, bool storeDefaults = true) {
        env.writeFile(env.programFolder() + "/langs/lang.0eng.txt", DefaultPack);
        G().LogLevel = 0;
        if (storeDefaults) {
            env.settings.setValue("LangChoice", "lang.0eng.txt");
            env.settings.setValue("SimsPath", env.downloadFolder());
        }
    }
    QString tempRoot(TestEnv& env) { return env.driveFolder() + "/temp/brushwick/"; }

private slots:
    void firstStartAsksAndWritesDefaults();
    void settingsTable_data();
    void settingsTable();
    void versionLineBeforeStoredLevel();
    void secondCopyEndsBeforeCleaning();
    void missingPackShowsChoiceAgain();
    void noDefaultPackEndsInPlainWords();
    void commandLineRunsBeforeSplash();
    void noCommandLineNoCmdLines();
    void earlierTemporaryFilesRemoved();
    void errorAfterLanguageIsReportedAndWindowShown();
    void commandLinePathsKeepOrder();
};

void TestStartup::firstStartAsksAndWritesDefaults() {
    TestEnv env(0);
    prepare(env, false);
    FakeWindows windows(env.settings);
    windows.choices << "lang.0eng.txt";
    env.prompts.browsed = {env.downloadFolder() + "/"};

    BrushwickMod::Form_Load(windows, MArray());

    QCOMPARE(windows.calls, QStringList({"language", "splash"}));
    QCOMPARE(windows.title, QString("Brushwick 2 - 1.0 Build 2"));
    QCOMPARE(env.settings.value("LangChoice"), QString("lang.0eng.txt"));
    QCOMPARE(env.settings.value("LogLevel"), QString("verbose"));
    QCOMPARE(env.settings.value("ConfirmOverwrites"), QString("no"));
    QCOMPARE(env.settings.value("SkipEXEs"), QString("no"));
    QCOMPARE(env.settings.value("SimsPath"), env.downloadFolder() + "/");
    QVERIFY(!env.settings.has("BadZipAlertBox"));
    QVERIFY(G().BadZipAlertBox);
    QCOMPARE(G().LogLevel, 3);
    QCOMPARE(G().SimsPath, env.downloadFolder() + "/");
    // The download folder is asked for after the explanation.
    QCOMPARE(env.prompts.boxes.size(), 1);
    QCOMPARE(env.prompts.boxes[0].prompt, QString("Where is the game's download folder?"));
    QCOMPARE(env.status.text, QString("Drop files on me"));
    QCOMPARE(env.status.captions.help, QString("Help"));
}

void TestStartup::settingsTable_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expectState");
    QTest::addColumn<QString>("expectLine");
    QTest::addColumn<QString>("expectStored");

    QTest::newRow("debug in capitals") << "LogLevel" << "DEBUG" << "level 4" << "LOGLEVEL: 4"
                                       << "DEBUG";
    QTest::newRow("unknown level word") << "LogLevel" << "loud" << "level 3" << ""
                                        << "loud";
    QTest::newRow("level off") << "LogLevel" << "Off" << "level 0" << "" << "Off";
    QTest::newRow("empty level") << "LogLevel" << "" << "level 3" << "" << "verbose";
    QTest::newRow("confirm yes") << "ConfirmOverwrites" << "Yes" << "confirm"
                                 << "CONFIRMOVERWRITES ON" << "Yes";
    QTest::newRow("reject capital") << "ConfirmOverwrites" << "Reject" << "reject"
                                    << "REJECTOVERWRITES ON" << "Reject";
    QTest::newRow("other policy word") << "ConfirmOverwrites" << "maybe" << "overwrite" << ""
                                       << "maybe";
    QTest::newRow("empty policy") << "ConfirmOverwrites" << "" << "overwrite" << "" << "no";
    QTest::newRow("skip yes") << "SkipEXEs" << "YES" << "skip" << "SkipEXEs ON" << "YES";
    QTest::newRow("skip other") << "SkipEXEs" << "true" << "run" << "" << "true";
    QTest::newRow("empty skip") << "SkipEXEs" << "" << "run" << "" << "no";
    QTest::newRow("bad zip box off") << "BadZipAlertBox" << "NO" << "box off"
                                     << "BadZipAlertBox OFF" << "NO";
    QTest::newRow("bad zip other") << "BadZipAlertBox" << "false" << "box on" << "" << "false";
    QTest::newRow("bad zip empty") << "BadZipAlertBox" << "" << "box on" << "" << "";
}

void TestStartup::settingsTable() {
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(QString, expectState);
    QFETCH(QString, expectLine);
    QFETCH(QString, expectStored);

    TestEnv env;
    prepare(env);
    // Debug level everywhere except where the row is about the level, so
    // that every line the row can write is seen.
    if (key != "LogLevel")
        env.settings.setValue("LogLevel", "debug");
    if (!stored.isEmpty())
        env.settings.setValue(key, stored);
    FakeWindows windows(env.settings);
    BrushwickMod::Form_Load(windows, MArray());

    const QMap<QString, bool> state{
        {"level 0", G().LogLevel == 0},
        {"level 3", G().LogLevel == 3},
        {"level 4", G().LogLevel == 4},
        {"confirm", G().ConfirmOverwrites && !G().RejectOverwrites},
        {"reject", !G().ConfirmOverwrites && G().RejectOverwrites},
        {"overwrite", !G().ConfirmOverwrites && !G().RejectOverwrites},
        {"skip", G().SkipEXEs},
        {"run", !G().SkipEXEs},
        {"box off", !G().BadZipAlertBox},
        {"box on", G().BadZipAlertBox},
    };
    QVERIFY2(state.value(expectState), qPrintable(expectState));
    QCOMPARE(env.settings.value(key), expectStored);
    const QStringList log = env.logMessages();
    if (!expectLine.isEmpty()) {
        QVERIFY2(log.contains(expectLine), qPrintable(log.join('\n')));
    } else {
        const QMap<QString, QStringList> linesOf{
            {"LogLevel", {"LOGLEVEL: "}},
            {"ConfirmOverwrites", {"CONFIRMOVERWRITES ON", "REJECTOVERWRITES ON"}},
            {"SkipEXEs", {"SkipEXEs ON"}},
            {"BadZipAlertBox", {"BadZipAlertBox OFF"}},
        };
        for (const QString& line : linesOf.value(key))
            QVERIFY2(!log.join('\n').contains(line), qPrintable(line));
    }
}

void TestStartup::versionLineBeforeStoredLevel() {
    TestEnv env;
    prepare(env);
    env.settings.setValue("LogLevel", "off");
    FakeWindows windows(env.settings);
    BrushwickMod::Form_Load(windows, MArray());
    // Only the start-up line gets through: the stored level applies after it.
    QCOMPARE(env.logMessages(), QStringList{"Brushwick 2 - 1.0 Build 2"});

    TestEnv debug;
    prepare(debug);
    debug.settings.setValue("LogLevel", "debug");
    FakeWindows windows2(debug.settings);
    BrushwickMod::Form_Load(windows2, MArray());
    const QStringList log = debug.logMessages();
    QCOMPARE(log.value(0), QString("Brushwick 2 - 1.0 Build 2"));
    QCOMPARE(log.value(1), QString("LOGLEVEL: 4"));
    QCOMPARE(log.value(2), "TIDSELTEMP: " + tempRoot(debug));
    QVERIFY(log.contains("LANGCHOICE: lang.0eng.txt"));
    QVERIFY(log.contains("SIMSPATH: " + debug.downloadFolder() + "/"));
    QCOMPARE(G().TidselTemp, debug.driveFolder() + "/temp/brushwick/voriderud");
}

void TestStartup::secondCopyEndsBeforeCleaning() {
    TestEnv env;
    prepare(env);
    env.settings.setValue("LogLevel", "off");
    env.process.anotherCopy = true;
    const QString leftover = env.writeFile(tempRoot(env) + "voriderud12d/a.package", "x");
    FakeWindows windows(env.settings);
    QVERIFY_THROWS_EXCEPTION(platform::ProgramEnded,
                             BrushwickMod::Form_Load(windows, MArray()));
    QVERIFY(QFile::exists(leftover));
    QCOMPARE(env.prompts.boxes.size(), 1);
    QCOMPARE(env.prompts.boxes[0].prompt, QString("Already running"));
    QCOMPARE(env.prompts.boxes[0].style, platform::Box::Critical);
    QCOMPARE(env.prompts.boxes[0].title, QString("Brushwick 2 Error Wizard"));
    QCOMPARE(env.logMessages(), QStringList{"CRITICAL: Already running"});
    QVERIFY(!windows.calls.contains("splash"));
}

void TestStartup::missingPackShowsChoiceAgain() {
    TestEnv env;
    prepare(env);
    env.settings.setValue("LangChoice", "lang.gone.txt");
    env.writeFile(env.programFolder() + "/langs/lang.empty.txt", "");
    FakeWindows windows(env.settings);
    windows.choices << "lang.empty.txt" << "lang.0eng.txt";
    BrushwickMod::Form_Load(windows, MArray());
    QCOMPARE(windows.calls, QStringList({"language", "language", "splash"}));
    QCOMPARE(G().LangChoice, QString("lang.0eng.txt"));
    // Lines before the language is loaded are measured against level 0.
    QVERIFY(!env.logMessages().join('\n').contains("FILEEXISTS"));
}

void TestStartup::noDefaultPackEndsInPlainWords() {
    TestEnv env;
    env.settings.setValue("LangChoice", "lang.1deu.txt");
    env.writeFile(env.programFolder() + "/langs/lang.1deu.txt", "Deutsch\r\nTeam\r\nA = b\r\n");
    FakeWindows windows(env.settings);
    QVERIFY_THROWS_EXCEPTION(platform::ProgramEnded,
                             BrushwickMod::Form_Load(windows, MArray()));
    QCOMPARE(env.prompts.boxes.size(), 1);
    QVERIFY(env.prompts.boxes[0].prompt.contains("language data could not be loaded"));
    QVERIFY(env.prompts.boxes[0].prompt.contains("Error 53: File not found"));
    QCOMPARE(env.prompts.boxes[0].title, QString("Brushwick 2 Error Wizard"));
}

void TestStartup::commandLineRunsBeforeSplash() {
    TestEnv env;
    prepare(env);
    env.settings.setValue("LogLevel", "debug");
    const QString first = env.writeFile(env.work("a.package"), "aaaa");
    const QString second = env.writeFile(env.work("b.txt"), "bbbb");
    MArray paths = BrushwickMod::CommandLinePaths({first, second});
    FakeWindows windows(env.settings);
    BrushwickMod::Form_Load(windows, paths);

    QVERIFY(QFile::exists(env.downloadFolder() + "/a.package"));
    const QStringList log = env.logMessages();
    const qsizetype cmd = log.indexOf("CMD");
    const qsizetype end = log.indexOf("/CMD");
    QVERIFY(cmd > 0 && end > cmd);
    // The last path on the line is taken first, as the list is a stack.
    QVERIFY(log.indexOf("UNHANDLED: " + second) < log.indexOf(QRegularExpression("Package: .*")));
    QCOMPARE(env.status.text, QString("Done! One file installed"));
    QCOMPARE(windows.calls.last(), QString("splash"));
}

void TestStartup::noCommandLineNoCmdLines() {
    TestEnv env;
    prepare(env);
    env.settings.setValue("LogLevel", "debug");
    FakeWindows windows(env.settings);
    BrushwickMod::Form_Load(windows, MArray());
    QVERIFY(!env.logMessages().contains("CMD"));
    QVERIFY(!env.logMessages().contains("/CMD"));
    QCOMPARE(env.status.text, QString("Drop files on me"));
}

void TestStartup::earlierTemporaryFilesRemoved() {
    TestEnv env;
    prepare(env);
    env.writeFile(tempRoot(env) + "voriderud12d/a.package", "x");
    env.writeFile(tempRoot(env) + "voriderud99d/b.package", "y");
    FakeWindows windows(env.settings);
    BrushwickMod::Form_Load(windows, MArray());
    QVERIFY(!QFileInfo::exists(tempRoot(env)));
    QVERIFY(QFileInfo::exists(env.driveFolder() + "/temp"));
}

void TestStartup::errorAfterLanguageIsReportedAndWindowShown() {
    TestEnv env;
    prepare(env);
    FakeWindows windows(env.settings);
    windows.failSplash = true;
    BrushwickMod::Form_Load(windows, MArray());
    QCOMPARE(windows.calls, QStringList({"splash", "main"}));
    QCOMPARE(env.prompts.boxes.size(), 1);
    QCOMPARE(env.prompts.boxes[0].prompt,
             QString("Start-up failed: error 75: Path/File access error"));
    QCOMPARE(env.prompts.boxes[0].title, QString("Brushwick 2 Error Wizard"));
    QVERIFY(env.logMessages().contains("ERROR: Start-up failed: error 75: Path/File access error"));
}

void TestStartup::commandLinePathsKeepOrder() {
    TestEnv env;
    MArray paths = BrushwickMod::CommandLinePaths({"/x/a b.zip", "", "/y/c.package"});
    QCOMPARE(paths.Size(), 2);
    QCOMPARE(paths.See(0).toText(), QString("/x/a b.zip"));
    QCOMPARE(paths.See(1).toText(), QString("/y/c.package"));
    // Relative paths are taken from the folder the program was started in.
    MArray relative = BrushwickMod::CommandLinePaths({"some/thing.zip"});
    QCOMPARE(relative.See(0).toText(), QDir::currentPath() + "/some/thing.zip");
    // The Windows form gives the same list from one text.
    MArray windows = BrushwickMod::CommandLineFromText(R"("C:\a b.zip" "D:\c.package")");
    QCOMPARE(windows.Size(), 2);
    QCOMPARE(windows.See(0).toText(), QString(R"(C:\a b.zip)"));
    QCOMPARE(windows.See(1).toText(), QString(R"(D:\c.package)"));
    QCOMPARE(BrushwickMod::CommandLineFromText("").Size(), 0);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
