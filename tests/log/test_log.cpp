#include "locked_folder.h"
#include "log/log.h"
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
    LockedFolder lock(env.programFolder());
    if (!lock.ok())
        QSKIP("folders cannot be locked here");
    WriteLog("lost", Level::Errors);
    ReportError("shown", false);
    QVERIFY(!QFile::exists(env.logPath()));
    QCOMPARE(env.prompts.boxes.size(), 1);
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
