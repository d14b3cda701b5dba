#include "locked_folder.h"
#include "log/log.h"
#include "platform/globals.h"
#include "test_env.h"

#include <QtTest>

using namespace Error_Mod;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestLog : public QObject {
    Q_OBJECT
private slots:
    void levelFilter_data();
    void levelFilter();
    void lineForm();
    void appendsNeverOverwrites();
    void unwritableFolderIsSilent_data();
    void unwritableFolderIsSilent();
    void reports_data();
    void reports();
    void reportEndsProgramAfterLogAndBox();
    void loadErrorMessage();
};

void TestLog::levelFilter_data() {
    QTest::addColumn<int>("logLevel");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("written");
    QTest::newRow("verbose takes verbose") << 3 << 3 << true;
    QTest::newRow("verbose drops debug") << 3 << 4 << false;
    QTest::newRow("verbose takes errors") << 3 << 1 << true;
    QTest::newRow("off drops errors") << 0 << 1 << false;
    QTest::newRow("errors drops skips") << 1 << 2 << false;
    QTest::newRow("debug takes debug") << 4 << 4 << true;
}

void TestLog::levelFilter() {
    QFETCH(int, logLevel);
    QFETCH(int, level);
    QFETCH(bool, written);
    TestEnv env(logLevel);
    WriteLog("HELLO: x", level);
    QCOMPARE(env.logMessages(), written ? QStringList{"HELLO: x"} : QStringList{});
    QCOMPARE(QFile::exists(env.logPath()), written);
}

void TestLog::lineForm() {
    TestEnv env;
    WriteLog("FOLDER: C:\\a %1 %2 \u00e9", Level::Verbose);
    env.process.now = QDateTime(QDate(2026, 3, 4), QTime(13, 14, 15));
    WriteLog("", Level::Errors);

    const QList<QByteArray> lines = ReadAll(env.logPath()).split('\n');
    QCOMPARE(lines.size(), 3); // two lines and the empty rest after the last line end
    QVERIFY(lines[2].isEmpty());
    // Stamp, " - ", the message untouched (no placeholders filled), CR LF.
    QVERIFY(lines[0].endsWith(" - FOLDER: C:\\a %1 %2 \xc3\xa9\r"));
    QVERIFY(lines[0].contains("12:00:00"));
    QVERIFY(lines[1].endsWith(" - \r"));
    QVERIFY(lines[1].contains(":14:15"));
    QVERIFY(!lines[1].startsWith(" - "));
    QCOMPARE(G().LogPath, env.logPath());
}

void TestLog::appendsNeverOverwrites() {
    TestEnv env;
    env.writeFile(env.logPath(), "old line\r\n");
    WriteLog("first", Level::Errors);
    WriteLog("second", Level::Errors);
    QCOMPARE(env.logMessages(), (QStringList{"old line", "first", "second"}));
}

void TestLog::unwritableFolderIsSilent_data() {
    QTest::addColumn<bool>("missing");
    QTest::newRow("locked folder") << false;
    QTest::newRow("missing folder") << true;
}

void TestLog::unwritableFolderIsSilent() {
    QFETCH(bool, missing);
    TestEnv env;
    if (missing)
        env.process.programFolder = env.root() + "/nowhere";
    LockedFolder lock(env.programFolder());
    if (!missing && !lock.ok())
        QSKIP("folders cannot be locked here");
    WriteLog("lost", Level::Errors);
    ReportError("still shown", false);
    QVERIFY(!QFile::exists(env.process.programFolder + "/Brushwick2.log"));
    QCOMPARE(env.prompts.boxes.size(), 1);
    QCOMPARE(env.prompts.boxes[0].prompt, QString("still shown"));
}

void TestLog::reports_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("logLevel");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("title");
    const QString wizard = "Brushwick 2 Error Wizard";
    QTest::newRow("error") << 0 << 1 << QStringList{"ERROR: m"} << 48 << wizard;
    QTest::newRow("error, log off") << 0 << 0 << QStringList{} << 48 << wizard;
    QTest::newRow("info, debug") << 1 << 4 << QStringList{"INFO: m"} << 64 << "Brushwick 2";
    QTest::newRow("info, verbose") << 1 << 3 << QStringList{} << 64 << "Brushwick 2";
    QTest::newRow("critical") << 2 << 1 << QStringList{"CRITICAL: m"} << 16 << wizard;
}

void TestLog::reports() {
    QFETCH(int, which);
    QFETCH(int, logLevel);
    QFETCH(QStringList, lines);
    QFETCH(int, style);
    QFETCH(QString, title);
    TestEnv env(logLevel);
    void (*const report[])(const QString&, bool) = {ReportError, ReportInfo, ReportCritical};
    report[which]("m", false);
    QCOMPARE(env.logMessages(), lines);
    QCOMPARE(env.prompts.boxes.size(), 1);
    QCOMPARE(env.prompts.boxes[0].prompt, QString("m"));
    QCOMPARE(env.prompts.boxes[0].style, style);
    QCOMPARE(env.prompts.boxes[0].title, title);
    QCOMPARE(env.process.ends, 0);
}

void TestLog::reportEndsProgramAfterLogAndBox() {
    TestEnv env(1);
    bool after = false;
    try {
        ReportCritical("Already running", true);
        after = true;
    } catch (const platform::ProgramEnded&) {
    }
    QVERIFY(!after);
    QCOMPARE(env.process.ends, 1);
    QCOMPARE(env.prompts.boxes.size(), 1);
    QCOMPARE(env.logMessages(), QStringList{"CRITICAL: Already running"});
}

void TestLog::loadErrorMessage() {
    TestEnv env;
    env.useTestLanguage();
    QCOMPARE(LoadErrorMessage("Start failed", 53, "File not found"),
             QString("Start failed Error 53: File not found"));
}

QTEST_GUILESS_MAIN(TestLog)
#include "test_log.moc"
