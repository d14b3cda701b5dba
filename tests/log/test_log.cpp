#include "log/log.h"
#include "platform/file_names.h"
#include "test_env.h"

#include <QtTest>

using namespace Error_Mod;

class TestLog : public QObject {
    Q_OBJECT
private slots:
    void levelFilter_data();
    void levelFilter();
    void linesAreStampedAndAppended();
    void unwritableFolderLosesOnlyTheLine();
    void readOnlyProgramFolderLogsToStateFolder();
    void controlCharactersAndNameBytesEscaped_data();
    void controlCharactersAndNameBytesEscaped();
    void reports_data();
    void reports();
};

void TestLog::levelFilter_data() {
    QTest::addColumn<int>("logLevel");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("written");
    QTest::newRow("3 takes 3") << 3 << 3 << true;
    QTest::newRow("3 drops 4") << 3 << 4 << false;
    QTest::newRow("off drops 1") << 0 << 1 << false;
    QTest::newRow("4 takes 4") << 4 << 4 << true;
}

void TestLog::levelFilter() {
    QFETCH(int, logLevel);
    QFETCH(int, level);
    QFETCH(bool, written);
    TestEnv env(logLevel);
    WriteLog("X: y", level);
    QCOMPARE(env.logMessages(), written ? QStringList{"X: y"} : QStringList{});
}

void TestLog::linesAreStampedAndAppended() {
    TestEnv env;
    env.writeFile(env.logPath(), "old\r\n");
    WriteLog("A: %1 %2 \u00e9", Level::Verbose);
    env.process.now = QDateTime(QDate(2026, 3, 4), QTime(13, 14, 15));
    WriteLog("", Level::Errors);

    QFile f(env.logPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0], QByteArray("old\r"));
    // Stamp from the process clock, " - ", the message untouched, CR LF.
    QVERIFY(lines[1].contains("12:00:00") && lines[1].endsWith(" - A: %1 %2 \xc3\xa9\r"));
    QVERIFY(lines[2].contains(":14:15") && lines[2].endsWith(" - \r"));
    QVERIFY(lines[3].isEmpty());
}

void TestLog::unwritableFolderLosesOnlyTheLine() {
    TestEnv env;
    // Neither beside the program nor in the state folder: a file stands in
    // the way of both, for any user.
    env.writeFile(env.root() + "/blocker", "");
    env.process.programFolder = env.root() + "/blocker/program";
    env.process.stateFolder = env.root() + "/blocker/state";
    WriteLog("lost", Level::Errors);
    ReportError("shown", false);
    QCOMPARE(env.prompts.boxes.size(), 1);
}

void TestLog::readOnlyProgramFolderLogsToStateFolder() {
    TestEnv env;
    // An installed copy: the program's folder cannot take a file. A file in
    // the way stops root too, whom permissions would not.
    env.writeFile(env.root() + "/installed", "");
    env.process.programFolder = env.root() + "/installed/lib";
    const QString state = env.process.stateFolder + "/Brushwick2.log";
    WriteLog("kept", Level::Errors);
    QCOMPARE(LogFilePath(), state);
    QFile f(state);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().endsWith(" - kept\r\n"));
    // Made private to the player.
    QCOMPARE(QFile::permissions(env.process.stateFolder) & 0x0077, QFile::Permissions());
    // A writable program folder keeps its log, as before.
    env.process.programFolder = env.programFolder();
    QCOMPARE(LogFilePath(), env.logPath());
}

void TestLog::controlCharactersAndNameBytesEscaped_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("line breaks") << "a.package\r\n01/01/2026 - FAKE"
                                 << QByteArray("a.package\\r\\n01/01/2026 - FAKE");
    QTest::newRow("tab and escape") << "a\tb\x1b[31m" << QByteArray("a\\tb\\x1b[31m");
    QTest::newRow("name bytes") << platform::FileNameText("Caf\xe9") << QByteArray("Caf\\xe9");
    QTest::newRow("unicode line separator")
        << QString::fromUtf8("a\u2028b") << QByteArray("a\\u2028b");
    QTest::newRow("plain text untouched")
        << QString::fromUtf8("K\u00f6rbe \\ 100%") << QByteArray("K\xc3\xb6rbe \\ 100%");
}

void TestLog::controlCharactersAndNameBytesEscaped() {
    QFETCH(QString, message);
    QFETCH(QByteArray, shown);
    TestEnv env;
    WriteLog(message, Level::Errors);
    QFile f(env.logPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray all = f.readAll();
    QCOMPARE(all.count("\r\n"), 1);
    QVERIFY2(all.endsWith(" - " + shown + "\r\n"), all.constData());
}

void TestLog::reports_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("logLevel");
    QTest::addColumn<bool>("end");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("title");
    const QString wizard = "Brushwick 2 Error Wizard";
    QTest::newRow("error") << 0 << 1 << false << QStringList{"ERROR: m"} << 48 << wizard;
    QTest::newRow("error, log off") << 0 << 0 << false << QStringList{} << 48 << wizard;
    QTest::newRow("info") << 1 << 4 << false << QStringList{"INFO: m"} << 64 << "Brushwick 2";
    QTest::newRow("info below debug") << 1 << 3 << false << QStringList{} << 64 << "Brushwick 2";
    QTest::newRow("critical, ending")
        << 2 << 1 << true << QStringList{"CRITICAL: m"} << 16 << wizard;
}

void TestLog::reports() {
    QFETCH(int, which);
    QFETCH(int, logLevel);
    QFETCH(bool, end);
    QFETCH(QStringList, lines);
    QFETCH(int, style);
    QFETCH(QString, title);
    TestEnv env(logLevel);
    void (*const report[])(const QString&, bool) = {ReportError, ReportInfo, ReportCritical};
    bool returned = false;
    try {
        report[which]("m", end);
        returned = true;
    } catch (const platform::ProgramEnded&) {
    }
    QCOMPARE(returned, !end);
    QCOMPARE(env.process.ends, end ? 1 : 0);
    // Logged before the box, so the line is there even when the program ends.
    QCOMPARE(env.logMessages(), lines);
    QCOMPARE(env.prompts.boxes.size(), 1);
    QCOMPARE(env.prompts.boxes[0].prompt, QString("m"));
    QCOMPARE(env.prompts.boxes[0].style, style);
    QCOMPARE(env.prompts.boxes[0].title, title);
}

QTEST_GUILESS_MAIN(TestLog)
#include "test_log.moc"
