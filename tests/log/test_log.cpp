#include "checks.h"
#include "log/log.h"
#include "platform/file_names.h"
#include "test_env.h"

#include <QtTest>

using namespace Error_Mod;

class TestLog : public QObject {
    Q_OBJECT
private slots:
    void linesAreStampedEscapedAndAppended();
    void logFolder();
    void reports_data();
    void reports();
};

void TestLog::linesAreStampedEscapedAndAppended() {
    TestEnv env;
    env.writeFile(env.logPath(), "old\r\n");
    // What reaches the log, one line each: a name cannot forge a line or
    // colour the terminal it is read in; plain text stays as it is.
    const QList<QPair<QString, QByteArray>> cases{
        {"A: %1 %2 \u00e9", "A: %1 %2 \xc3\xa9"},
        {"a.package\r\n01/01/2026 - FAKE", "a.package\\r\\n01/01/2026 - FAKE"},
        {"a\tb\x1b[31m", "a\\tb\\x1b[31m"},
        {platform::FileNameText("Caf\xe9"), "Caf\\xe9"},
        {QString::fromUtf8("a\u2028b"), "a\\u2028b"},
        {QString::fromUtf8("K\u00f6rbe \\ 100%"), "K\xc3\xb6rbe \\ 100%"},
    };
    for (const auto& [message, shown] : cases)
        WriteLog(message, Level::Errors);
    env.process.now = QDateTime(QDate(2026, 3, 4), QTime(13, 14, 15));
    WriteLog("", Level::Errors);

    const QList<QByteArray> lines = Content(env.logPath()).split('\n');
    QCOMPARE(lines.size(), cases.size() + 3);
    QCOMPARE(lines[0], QByteArray("old\r"));
    // Stamp from the process clock, " - ", the message, CR LF.
    const QByteArray stamp = lines[1].left(lines[1].indexOf(" - "));
    QVERIFY2(stamp.contains("12:00:00"), stamp.constData());
    for (qsizetype i = 0; i < cases.size(); ++i)
        QCOMPARE(lines[i + 1], stamp + " - " + cases[i].second + "\r");
    QVERIFY(lines[cases.size() + 1].contains(":14:15") &&
            lines[cases.size() + 1].endsWith(" - \r"));
}

void TestLog::logFolder() {
    TestEnv env;
    // An installed copy: the program's folder cannot take a file. A file in
    // the way stops root too, whom permissions would not.
    env.writeFile(env.root() + "/installed", "");
    env.process.programFolder = env.root() + "/installed/lib";
    const QString state = env.process.stateFolder + "/Brushwick2.log";
    WriteLog("kept", Level::Errors);
    QCOMPARE(LogFilePath(), state);
    QVERIFY(Content(state).endsWith(" - kept\r\n"));
    // Made private to the player.
    QCOMPARE(QFile::permissions(env.process.stateFolder) & 0x0077, QFile::Permissions());

    // Neither beside the program nor in the state folder: the line is lost,
    // the box is still shown.
    env.process.programFolder = env.root() + "/installed/bin";
    env.process.stateFolder = env.root() + "/installed/state";
    WriteLog("lost", Level::Errors);
    ReportError("shown", false);
    QCOMPARE(env.prompts.boxes.size(), 1);

    // A writable program folder keeps its log, as before; a folder in the
    // log's place sends it to the state folder.
    env.process.programFolder = env.programFolder();
    QCOMPARE(LogFilePath(), env.logPath());
    QDir().mkpath(env.logPath());
    env.process.stateFolder = env.root() + "/state2";
    QCOMPARE(LogFilePath(), env.process.stateFolder + "/Brushwick2.log");
}

void TestLog::reports_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("logLevel");
    QTest::addColumn<bool>("end");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("box");
    // A line is written when its level is at most the level set; off writes none.
    const QString error = "m|48|Brushwick 2 Error Wizard";
    QTest::newRow("error") << 0 << 1 << false << QStringList{"ERROR: m"} << error;
    QTest::newRow("error, log off") << 0 << 0 << false << QStringList{} << error;
    QTest::newRow("info") << 1 << 4 << false << QStringList{"INFO: m"} << "m|64|Brushwick 2";
    QTest::newRow("info below debug") << 1 << 3 << false << QStringList{} << "m|64|Brushwick 2";
    QTest::newRow("critical, ending")
        << 2 << 1 << true << QStringList{"CRITICAL: m"} << "m|16|Brushwick 2 Error Wizard";
}

void TestLog::reports() {
    QFETCH(int, which);
    QFETCH(int, logLevel);
    QFETCH(bool, end);
    QFETCH(QStringList, lines);
    QFETCH(QString, box);
    TestEnv env(logLevel);
    void (*const report[])(const QString&, bool) = {ReportError, ReportInfo, ReportCritical};
    if (end)
        QVERIFY_THROWS_EXCEPTION(platform::ProgramEnded, report[which]("m", true));
    else
        report[which]("m", false);
    // Logged before the box, so the line is there even when the program ends.
    QCOMPARE(env.logMessages(), lines);
    QCOMPARE(Boxes(env.prompts), QStringList{box});
}

QTEST_GUILESS_MAIN(TestLog)
#include "test_log.moc"
