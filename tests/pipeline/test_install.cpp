#include "locked_folder.h"
#include "pipeline/handle_file.h"
#include "pipeline/install_copy.h"
#include "platform/globals.h"
#include "test_env.h"

#include <QtTest>

using namespace BrushwickMod;

namespace {

QByteArray Content(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

QStringList Boxes(const fakes::Prompts& prompts) {
    QStringList out;
    for (const fakes::Box& b : prompts.boxes)
        out.append(b.prompt + "|" + QString::number(b.style) + "|" + b.title);
    return out;
}

QStringList Filled(QStringList lines, const QString& path, const QString& destination = {}) {
    for (QString& line : lines)
        line.replace("%P", path).replace("%D", destination);
    return lines;
}

// No temporary copy may be left beside the installed files.
bool NoPartFiles(const QString& folder) {
    return QDir(folder).entryList({".~*"}, QDir::AllEntries | QDir::Hidden).isEmpty();
}

struct Setup {
    TestEnv env;
    QString source;
    QString destination;
    Setup() {
        env.useTestLanguage();
        G().SimsPath = env.downloadFolder() + "/";
        source = env.writeFile(env.work("in/a.package"), "new");
        destination = G().SimsPath + "a.package";
    }
};

} // namespace

class TestInstall : public QObject {
    Q_OBJECT
private slots:
    void overwritePolicy_data();
    void overwritePolicy();
    void missingSource_data();
    void missingSource();
    void failedCopyKeepsDestination_data();
    void failedCopyKeepsDestination();
    void linksAreReplacedNotWrittenThrough();
    void dispatch_data();
    void dispatch();
    void archivesGoToTheirExtractor_data();
    void archivesGoToTheirExtractor();
    void dispatchLevels();
    void readOnlySourceMadeWritable_data();
    void readOnlySourceMadeWritable();
};

void TestInstall::overwritePolicy_data() {
    QTest::addColumn<QByteArray>("existing"); // "<absent>" for none
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<bool>("reject");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("copied");
    QTest::addColumn<QStringList>("lines");
    const QStringList exists{"FILE EXISTS: %D"};
    const int yes = platform::Box::Yes, no = platform::Box::No;
    QTest::newRow("absent: no question") << QByteArray("<absent>") << true << true << 0 << true
                                         << QStringList{"FILEEXISTS: 53: File not found"};
    QTest::newRow("empty counts as absent")
        << QByteArray("") << true << false << 0 << true << QStringList{};
    QTest::newRow("ask, yes") << QByteArray("old") << true << false << yes << true << exists;
    QTest::newRow("ask, no") << QByteArray("old") << true << false << no << false
                             << exists + QStringList{"OVERWRITE REJECTED"};
    QTest::newRow("asking beats refusing")
        << QByteArray("old") << true << true << yes << true << exists;
    QTest::newRow("refuse") << QByteArray("old") << false << true << 0 << false
                            << exists + QStringList{"OVERWRITE AUTO-REJECTED"};
    QTest::newRow("overwrite") << QByteArray("old") << false << false << 0 << true << exists;
}

void TestInstall::overwritePolicy() {
    QFETCH(QByteArray, existing);
    QFETCH(bool, confirm);
    QFETCH(bool, reject);
    QFETCH(int, answer);
    QFETCH(bool, copied);
    QFETCH(QStringList, lines);
    Setup s;
    if (existing != "<absent>") {
        s.env.writeFile(s.destination, existing);
        QFile::setPermissions(s.destination, QFile::ReadOwner);
    }
    G().ConfirmOverwrites = confirm;
    G().RejectOverwrites = reject;
    if (answer)
        s.env.prompts.answers.push_back(answer);

    QCOMPARE(HandleFileCopy(s.source, s.destination), copied ? 1 : 0);
    QCOMPARE(Content(s.destination), copied ? QByteArray("new") : existing);
    QCOMPARE(s.env.logMessages(), Filled(lines, s.source, s.destination));
    const QStringList question{"Overwrite " + s.destination +
                               "?|36|Brushwick 2 File Management Wizard"};
    QCOMPARE(Boxes(s.env.prompts), answer ? question : QStringList{});
    // Made writable before the policy is applied, even when it then refuses.
    QVERIFY(QFile::permissions(s.destination) & QFile::WriteOwner);
    QVERIFY(NoPartFiles(s.env.downloadFolder()));
}

void TestInstall::missingSource_data() {
    QTest::addColumn<int>("logLevel");
    QTest::addColumn<QStringList>("lines");
    const QStringList failure{
        "HANDLEFILECOPY: There was an error while copying %P to %D. 53: File not found",
        "ERROR: Could not copy %P to %DSee %L for details"};
    QTest::newRow("debug") << 4
                           << QStringList{"FILEEXISTS: 53: File not found",
                                          "FILEEXISTS: 53: File not found",
                                          "HANDLEFILECOPY: Debugging shows %P does not exist!"} +
                                  failure;
    QTest::newRow("verbose") << 3 << failure;
}

void TestInstall::missingSource() {
    QFETCH(int, logLevel);
    QFETCH(QStringList, lines);
    Setup s;
    G().LogLevel = logLevel;
    QFile::remove(s.source);

    QCOMPARE(HandleFileCopy(s.source, s.destination), 0);
    for (QString& line : lines)
        line.replace("%L", s.env.logPath());
    QCOMPARE(s.env.logMessages(), Filled(lines, s.source, s.destination));
    QCOMPARE(Boxes(s.env.prompts),
             QStringList{"Could not copy " + s.source + " to " + s.destination + "See " +
                         s.env.logPath() + " for details|48|Brushwick 2 Error Wizard"});
    QVERIFY(!QFile::exists(s.destination));
}

void TestInstall::failedCopyKeepsDestination_data() {
    QTest::addColumn<bool>("lockFolder");
    QTest::newRow("download folder locked") << true;
    QTest::newRow("destination is a folder") << false;
}

void TestInstall::failedCopyKeepsDestination() {
    QFETCH(bool, lockFolder);
    Setup s;
    // Either the temporary copy cannot be made, or it cannot replace the
    // destination; both must leave the download folder as it was.
    const QString kept = lockFolder ? s.destination : s.destination + "/inside";
    s.env.writeFile(kept, "old");
    LockedFolder lock(s.env.downloadFolder());
    if (lockFolder && !lock.ok())
        QSKIP("folders cannot be locked here");

    QCOMPARE(HandleFileCopy(s.source, s.destination), 0);
    QCOMPARE(Content(kept), QByteArray("old"));
    QVERIFY(NoPartFiles(s.env.downloadFolder()));
    QCOMPARE(s.env.prompts.boxes.size(), 1);
    const QStringList log = s.env.logMessages();
    QVERIFY(log.size() >= 2);
    QVERIFY(log[log.size() - 2].startsWith("HANDLEFILECOPY: There was an error while copying "));
    QVERIFY(log.last().startsWith("ERROR: Could not copy "));
}

void TestInstall::linksAreReplacedNotWrittenThrough() {
    Setup s;
    // The destination and a leftover temporary file both point elsewhere.
    const QString victim = s.env.writeFile(s.env.work("victim"), "victim");
    const QString other = s.env.writeFile(s.env.work("other"), "other");
    QFile::link(victim, s.destination);
    QFile::link(other, s.env.downloadFolder() + "/.~a.package.part");
    QCOMPARE(HandleFileCopy(s.source, s.destination), 1);
    QCOMPARE(Content(victim), QByteArray("victim"));
    QCOMPARE(Content(other), QByteArray("other"));
    QCOMPARE(Content(s.destination), QByteArray("new"));
    QVERIFY(!QFileInfo(s.destination).isSymLink());
    QVERIFY(NoPartFiles(s.env.downloadFolder()));
}

void TestInstall::dispatch_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("skipExes");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("failStart");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("shelled");
    QTest::addColumn<int>("result");
    const QStringList none;
    const QString query = "Run setup.exe?|68|Brushwick 2";
    const QStringList exe{"EXE: %P"};
    const int yes = platform::Box::Yes, no = platform::Box::No;
    QTest::newRow("pack, any case") << "Hair.SIMS2PACK" << false << 0 << false
                                    << QStringList{"Sims2Pack: %P"} << none << true << 1;
    QTest::newRow("backpack") << "backpack" << false << 0 << false << QStringList{"Sims2Pack: %P"}
                              << none << true << 1;
    QTest::newRow("skin") << "Body.Sims2Skin" << false << 0 << false << QStringList{"Sims2Skin: %P"}
                          << none << true << 1;
    QTest::newRow("package") << "A.PACKAGE" << false << 0 << false
                             << QStringList{"Package: %P -> %D", "FILEEXISTS: 53: File not found"}
                             << none << false << 1;
    QTest::newRow("program skipped") << "setup.EXE" << true << 0 << false
                                     << exe + QStringList{"SkipEXEs: %P"} << none << false << 0;
    QTest::newRow("program refused")
        << "setup.exe" << false << no << false << exe + QStringList{"EXE: %P manually skipped"}
        << QStringList{query} << false << 0;
    QTest::newRow("program run")
        << "setup.exe" << false << yes << false
        << exe + QStringList{"Execution approved", "INFO: Press OK when the installer is done"}
        << QStringList{query, "Press OK when the installer is done|64|Brushwick 2"} << false << 0;
    QTest::newRow("program fails to start")
        << "setup.exe" << false << yes << true
        << exe + QStringList{"Execution approved", "HANDLEFILE: %P - 53: File not found"}
        << QStringList{query} << false << 0;
    QTest::newRow("other") << "readme.txt" << false << 0 << false << QStringList{"UNHANDLED: %P"}
                           << none << false << 0;
    QTest::newRow("last four only")
        << "a.zip.bak" << false << 0 << false << QStringList{"UNHANDLED: %P"} << none << false << 0;
}

void TestInstall::dispatch() {
    QFETCH(QString, name);
    QFETCH(bool, skipExes);
    QFETCH(int, answer);
    QFETCH(bool, failStart);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, boxes);
    QFETCH(bool, shelled);
    QFETCH(int, result);
    Setup s;
    G().SkipEXEs = skipExes;
    s.env.shell.failStart = failStart;
    if (answer)
        s.env.prompts.answers.push_back(answer);
    const QString path = s.env.writeFile(s.env.work(name), "content");
    const QString destination = G().SimsPath + name;

    QCOMPARE(HandleFile(path), result);
    QCOMPARE(s.env.logMessages(), Filled(lines, path, destination));
    QCOMPARE(Boxes(s.env.prompts), boxes);
    QCOMPARE(s.env.shell.opened, shelled ? QStringList{path} : QStringList{});
    // The game's installer gets its fixed pause after every hand-over.
    QCOMPARE(s.env.process.sleeps, shelled ? QList<int>{5000} : QList<int>{});
    QCOMPARE(s.env.shell.started, answer == platform::Box::Yes ? QStringList{path} : QStringList{});
    QCOMPARE(QFile::exists(destination), lines.first().startsWith("Package"));
}

void TestInstall::archivesGoToTheirExtractor_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("line");
    QTest::newRow("zip") << "Hair.ZIP"
                         << "ZIP: ";
    QTest::newRow("rar") << "hair.rar"
                         << "RAR: ";
}

void TestInstall::archivesGoToTheirExtractor() {
    QFETCH(QString, name);
    QFETCH(QString, line);
    Setup s;
    G().BadZipAlertBox = false;
    const QString path = s.env.writeFile(s.env.work(name), "not an archive");
    QCOMPARE(HandleFile(path), 0);
    QCOMPARE(s.env.logMessages().value(0), line + path);
    QVERIFY(s.env.shell.opened.isEmpty());
    QVERIFY(s.env.process.sleeps.isEmpty());
}

void TestInstall::dispatchLevels() {
    Setup s;
    G().LogLevel = 2;
    G().SkipEXEs = true;
    for (const char* name : {"a.sims2pack", "a.package", "setup.exe", "a.txt"})
        HandleFile(s.env.writeFile(s.env.work(name), "x"));
    QCOMPARE(s.env.logMessages(),
             Filled({"Sims2Pack: %P/a.sims2pack", "Package: %P/a.package -> %Da.package",
                     "SkipEXEs: %P/setup.exe", "UNHANDLED: %P/a.txt"},
                    s.env.workFolder(), G().SimsPath));
}

void TestInstall::readOnlySourceMadeWritable_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("package") << "a.package";
    QTest::newRow("pack") << "a.sims2pack";
    QTest::newRow("unhandled") << "a.txt";
}

void TestInstall::readOnlySourceMadeWritable() {
    QFETCH(QString, name);
    Setup s;
    const QString path = s.env.writeFile(s.env.work(name), "x");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther);
    HandleFile(path);
    QVERIFY(QFile::permissions(path) & QFile::WriteOwner);
}

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
