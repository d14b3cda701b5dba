#include "app/startup.h"
#include "checks.h"
#include "containers/runtime_error.h"
#include "pipeline/run.h"
#include "state/globals.h"
#include "test_env.h"

#include <QDir>
#include <QtTest>

namespace {

// Records what start-up asks of the windows. The language choice "chooses"
// the next pack in choices by storing it, as the real window's OK does.
class FakeWindows : public BrushwickMod::StartupWindows {
public:
    explicit FakeWindows(fakes::Settings& settings) : settings_(settings) {}
    void SetTitle(const QString&) override {}
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
    void RunAndWait(MArray& paths) override { BrushwickMod::Handle_Processing(paths); }
    bool HandOff(const MArray& paths) override {
        calls << "handoff " + QString::number(paths.Size());
        return handOffTaken;
    }
    void ListenForHandOffs() override { calls << "listen"; }
    void RunsMayStart() override { calls << "runs"; }

    QStringList calls;
    QStringList choices;
    bool failSplash = false;
    bool handOffTaken = false;

private:
    fakes::Settings& settings_;
};

const QByteArray DefaultPack = "English\r\nBrushwick 2 team\r\nHELP = Help\r\n"
                               "DefBarMsg = Drop files on me\r\nAnotherTidsel = Already running\r\n"
                               "LOADERROR = Start-up failed:\r\nERRORNUMBER = error ...\r\n";

// One start of the program: a program folder with a default pack, the
// language and the download folder stored.
struct Start {
    TestEnv env;
    FakeWindows windows{env.settings};
    Start() {
        env.writeFile(env.programFolder() + "/langs/lang.0eng.txt", DefaultPack);
        G().LogLevel = 0;
        store("LangChoice", "lang.0eng.txt");
        store("SimsPath", env.downloadFolder());
    }
    void store(const QString& key, const QString& value) { env.settings.setValue(key, value); }
    void run() { BrushwickMod::StartUp(windows, MArray()); }
};

// The settings as start-up took them: the log level, then what is on.
QString taken() {
    return QString::number(G().LogLevel) + (G().ConfirmOverwrites ? " confirm" : "") +
           (G().RejectOverwrites ? " reject" : "") + (G().SkipEXEs ? " skip" : "") +
           (G().BadZipAlertBox ? "" : " no box");
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void firstStartAsksAndWritesDefaults();
    void storedSettings_data();
    void storedSettings();
    void startupLinesAndTemporaryRoot();
    void secondCopyEndsBeforeCleaning_data();
    void secondCopyEndsBeforeCleaning();
    void unusableChoiceEndsInDefaultPack();
    void noDefaultPackEndsInPlainWords();
    void errorAfterLanguageIsReportedAndWindowShown();
    void commandLinePaths();
};

void TestStartup::firstStartAsksAndWritesDefaults() {
    Start s;
    s.env.settings.store.clear(); // nothing stored yet
    s.windows.choices << "lang.0eng.txt";
    s.env.prompts.browsed = {s.env.downloadFolder() + "/"};
    s.run();
    QCOMPARE(s.windows.calls, QStringList({"language", "listen", "runs", "splash"}));
    const QString sims = s.env.downloadFolder() + "/";
    QCOMPARE(s.env.settings.writes,
             (QStringList{"LogLevel=verbose", "SimsPath=" + sims, "ConfirmOverwrites=no",
                          "SkipEXEs=no", "Sims2PackInstall=self"}));
    QCOMPARE(taken(), QString("3"));
    QCOMPARE(s.env.status.text, QString("Drop files on me"));
    QCOMPARE(s.env.status.captions.help, QString("Help"));
}

void TestStartup::storedSettings_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("line");
    auto row = [](const char* key, const char* stored, const char* state, const char* line) {
        QTest::addRow("%s=%s", key, stored)
            << QString(key) << QString(stored) << QString(state) << QString(line);
    };
    row("LogLevel", "DEBUG", "4", "LOGLEVEL: 4");
    row("LogLevel", "off", "0", "");
    row("LogLevel", "loud", "3", "");
    row("ConfirmOverwrites", "Yes", "4 confirm", "CONFIRMOVERWRITES ON");
    row("ConfirmOverwrites", "Reject", "4 reject", "REJECTOVERWRITES ON");
    row("ConfirmOverwrites", "maybe", "4", "");
    row("SkipEXEs", "YES", "4 skip", "SkipEXEs ON");
    row("SkipEXEs", "true", "4", "");
    row("BadZipAlertBox", "NO", "4 no box", "BadZipAlertBox OFF");
    row("BadZipAlertBox", "false", "4", "");
}

void TestStartup::storedSettings() {
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(QString, state);
    QFETCH(QString, line);
    Start s;
    // At debug level every line a setting can write is seen.
    s.store("LogLevel", "debug");
    s.store(key, stored);
    s.run();
    QCOMPARE(taken(), state);
    QCOMPARE(s.env.settings.value(key), stored);
    const QStringList log = s.env.logMessages();
    // The start-up line comes before the stored level applies.
    QCOMPARE(log.value(0), QString("Brushwick 2 - 1.0 Build 2"));
    QStringList lines = log.filter(
        QRegularExpression("^(LOGLEVEL|CONFIRMOVERWRITES|REJECTOVERWRITES|SkipEXEs|BadZip)"));
    if (key != "LogLevel")
        lines.removeOne("LOGLEVEL: 4");
    QCOMPARE(lines, line.isEmpty() ? QStringList() : QStringList{line});
}

void TestStartup::startupLinesAndTemporaryRoot() {
    Start s;
    s.store("LogLevel", "debug");
    const QString root = s.env.driveFolder() + "/temp/brushwick/";
    s.env.writeFile(root + "voriderud12d/a.package", "x");
    s.env.writeFile(root + "voriderud99d/b.package", "y");
    // A copy cut short by a kill left its temporary file among the packages.
    const QString leftover = s.env.writeFile(s.env.downloadFolder() + "/.~bw2-k1ll3d00.part", "z");
    s.run();
    const QStringList log = s.env.logMessages();
    // The start-up lines in their order; the removal of what earlier runs
    // left (its own lines, tested with the removal) comes right after the
    // temporary root is known.
    const QStringList removal = log.filter(QRegularExpression("^ROAST"));
    QCOMPARE(log.mid(3, removal.size()), removal);
    const QString downloads = s.env.downloadFolder();
    QCOMPARE(log.mid(0, 3) + log.mid(3 + removal.size()),
             (QStringList{"Brushwick 2 - 1.0 Build 2", "LOGLEVEL: 4", "TIDSELTEMP: " + root,
                          "LANGCHOICE: lang.0eng.txt", "GETSIMSPATH: REG = " + downloads,
                          "SIMSPATH: " + downloads + "/", "CLEANUP: " + leftover,
                          "SIMS2PACKINSTALL: self"}));
    QVERIFY(!QFileInfo::exists(leftover));
    // What earlier runs left behind is gone; the folder above it stays.
    QVERIFY(!QFileInfo::exists(root));
    QVERIFY(QFileInfo::exists(s.env.driveFolder() + "/temp"));
    QCOMPARE(G().TidselTemp, root + "voriderud");
}

void TestStartup::secondCopyEndsBeforeCleaning_data() {
    QTest::addColumn<int>("paths");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("without paths: refused") << 0 << false << QStringList{};
    QTest::newRow("with paths: handed over") << 2 << true << QStringList{"handoff 2"};
    QTest::newRow("with paths nobody takes: refused") << 1 << false << QStringList{"handoff 1"};
}

void TestStartup::secondCopyEndsBeforeCleaning() {
    QFETCH(int, paths);
    QFETCH(bool, taken);
    QFETCH(QStringList, calls);
    Start s;
    s.store("LogLevel", "off");
    s.env.process.anotherCopy = true;
    s.windows.handOffTaken = taken;
    const QString leftover =
        s.env.writeFile(s.env.driveFolder() + "/temp/brushwick/voriderud12d/a.package", "x");
    MArray commandLine;
    for (int i = 0; i < paths; ++i)
        commandLine.Push(s.env.writeFile(s.env.work(QString("p%1.package").arg(i)), "p"));
    QVERIFY_THROWS_EXCEPTION(platform::ProgramEnded, BrushwickMod::StartUp(s.windows, commandLine));
    QCOMPARE(s.windows.calls, calls);
    // The first copy's unpacked files stay where it left them; nothing is
    // installed by this start.
    QVERIFY(QFile::exists(leftover));
    QVERIFY(QDir(s.env.downloadFolder()).isEmpty());
    // Handed over quietly, or refused with the critical box.
    QCOMPARE(s.env.logMessages(), taken ? QStringList() : QStringList{"CRITICAL: Already running"});
    QCOMPARE(s.env.prompts.boxes.size(), taken ? 0 : 1);
}

void TestStartup::unusableChoiceEndsInDefaultPack() {
    Start s;
    // A stored pack that is gone, or an empty one, is chosen anew; a pack line
    // without "=" cannot be read, and the player must still get in.
    s.store("LangChoice", "lang.gone.txt");
    s.env.writeFile(s.env.programFolder() + "/langs/lang.empty.txt", "");
    s.env.writeFile(s.env.programFolder() + "/langs/lang.9bad.txt", "Bad\r\nTeam\r\nno equals\r\n");
    s.windows.choices = QStringList{"lang.empty.txt", "lang.9bad.txt"};
    s.run();
    QCOMPARE(s.windows.calls, QStringList({"language", "language", "listen", "runs", "splash"}));
    QCOMPARE(G().LangChoice, QString("lang.0eng.txt"));
    QCOMPARE(s.env.settings.value("LangChoice"), QString("lang.0eng.txt"));
    QCOMPARE(G().CurLang.SeeByName("HELP").toText(), QString("Help"));
    QCOMPARE(Boxes(s.env.prompts),
             QStringList{
                 "Start-up failed: error 9: Subscript out of range|48|Brushwick 2 Error Wizard"});
}

void TestStartup::noDefaultPackEndsInPlainWords() {
    Start s;
    QFile::remove(s.env.programFolder() + "/langs/lang.0eng.txt");
    s.store("LangChoice", "lang.1deu.txt");
    s.env.writeFile(s.env.programFolder() + "/langs/lang.1deu.txt", "Deutsch\r\nTeam\r\nA = b\r\n");
    QVERIFY_THROWS_EXCEPTION(platform::ProgramEnded, s.run());
    QCOMPARE(s.env.prompts.boxes.size(), 1);
    QCOMPARE(s.env.prompts.boxes[0].prompt,
             "Brushwick 2 cannot start because its language data could not be loaded from " +
                 s.env.programFolder() + "/langs/lang.0eng.txt. Error 53: File not found");
}

void TestStartup::errorAfterLanguageIsReportedAndWindowShown() {
    Start s;
    s.windows.failSplash = true;
    s.run();
    QCOMPARE(s.windows.calls, QStringList({"listen", "runs", "splash", "runs", "main"}));
    QCOMPARE(s.env.prompts.boxes.size(), 1);
    QVERIFY(
        s.env.logMessages().contains("ERROR: Start-up failed: error 75: Path/File access error"));
}

void TestStartup::commandLinePaths() {
    MArray paths = BrushwickMod::CommandLinePaths({"/x/a b.zip", "", "some/thing.zip"});
    QCOMPARE(paths.Give(), (QList<Variant>{"/x/a b.zip", QDir::currentPath() + "/some/thing.zip"}));
    // The Windows form: one text, each path in double quotes.
    QCOMPARE(BrushwickMod::CommandLineFromText(R"("C:\a b.zip" "D:\c.package")").Size(), 2);
    QCOMPARE(BrushwickMod::CommandLineFromText("").Size(), 0);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
