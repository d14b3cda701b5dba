#include "checks.h"
#include "locked_folder.h"
#include "pipeline/handle_file.h"
#include "pipeline/install_copy.h"
#include "platform/globals.h"
#include "test_env.h"

#include <QtTest>

using namespace BrushwickMod;

namespace {

QStringList Filled(QStringList lines, const QString& source, const QString& destination) {
    for (QString& line : lines)
        line.replace("%S", source).replace("%D", destination);
    return lines;
}

struct Setup {
    TestEnv env;
    QString source, destination;
    Setup() {
        env.useTestLanguage();
        G().SimsPath = env.downloadFolder() + "/";
        source = env.writeFile(env.work("in/a.package"), "new");
        destination = G().SimsPath + "a.package";
    }
    // No temporary copy may be left beside the installed files.
    bool noPartFiles() const {
        return QDir(env.downloadFolder())
            .entryList({".~*"}, QDir::System | QDir::Hidden | QDir::AllEntries)
            .isEmpty();
    }
};

const QString Missing = "FILEEXISTS: 53: File not found";

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
    void linksAreReplacedNotWrittenThrough_data();
    void linksAreReplacedNotWrittenThrough();
    void dispatch_data();
    void dispatch();
};

void TestInstall::overwritePolicy_data() {
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<bool>("reject");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("lines");
    const QStringList exists{"FILE EXISTS: %D"};
    const int yes = platform::Box::Yes, no = platform::Box::No;
    QTest::newRow("absent") << QByteArray("<absent>") << true << true << 0 << QStringList{Missing};
    QTest::newRow("empty is absent") << QByteArray("") << true << false << 0 << QStringList{};
    QTest::newRow("ask, yes") << QByteArray("old") << true << false << yes << exists;
    QTest::newRow("ask, no") << QByteArray("old") << true << false << no
                             << exists + QStringList{"OVERWRITE REJECTED"};
    QTest::newRow("asking beats refusing") << QByteArray("old") << true << true << yes << exists;
    QTest::newRow("refuse") << QByteArray("old") << false << true << 0
                            << exists + QStringList{"OVERWRITE AUTO-REJECTED"};
    QTest::newRow("overwrite") << QByteArray("old") << false << false << 0 << exists;
}

void TestInstall::overwritePolicy() {
    QFETCH(QByteArray, existing);
    QFETCH(bool, confirm);
    QFETCH(bool, reject);
    QFETCH(int, answer);
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
    const bool copied = lines.isEmpty() || !lines.last().startsWith("OVERWRITE");

    QCOMPARE(HandleFileCopy(s.source, s.destination), copied ? 1 : 0);
    QCOMPARE(Content(s.destination), copied ? QByteArray("new") : existing);
    QCOMPARE(s.env.logMessages(), Filled(lines, s.source, s.destination));
    QCOMPARE(Boxes(s.env.prompts), answer ? QStringList{"Overwrite " + s.destination +
                                                        "?|36|Brushwick 2 File Management Wizard"}
                                          : QStringList{});
    // Made writable before the policy applies, even when it then refuses.
    QVERIFY(QFile::permissions(s.destination) & QFile::WriteOwner);
    QVERIFY(s.noPartFiles());
}

void TestInstall::missingSource_data() {
    QTest::addColumn<int>("logLevel");
    QTest::addColumn<QStringList>("lines");
    const QStringList failure{
        "HANDLEFILECOPY: There was an error while copying %S to %D. 53: File not found",
        "ERROR: Could not copy %S to %DSee %L for details"};
    QTest::newRow("debug") << 4
                           << QStringList{Missing, Missing,
                                          "HANDLEFILECOPY: Debugging shows %S does not exist!"} +
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
    lines.replaceInStrings("%L", s.env.logPath());
    QCOMPARE(s.env.logMessages(), Filled(lines, s.source, s.destination));
    QCOMPARE(Boxes(s.env.prompts), Filled({"Could not copy %S to %DSee " + s.env.logPath() +
                                           " for details|48|Brushwick 2 Error Wizard"},
                                          s.source, s.destination));
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
    // A merely read-only folder is made writable again by the copy itself.
    if (lockFolder && geteuid() != 0)
        QSKIP("only an immutable folder stays locked");
    LockedFolder lock(s.env.downloadFolder());
    if (lockFolder && !lock.ok())
        QSKIP("folders cannot be locked here");

    QCOMPARE(HandleFileCopy(s.source, s.destination), 0);
    QCOMPARE(Content(kept), QByteArray("old"));
    QVERIFY(s.noPartFiles());
    QCOMPARE(s.env.prompts.boxes.size(), 1);
    QVERIFY(s.env.logMessages().last().startsWith("ERROR: Could not copy "));
}

void TestInstall::linksAreReplacedNotWrittenThrough_data() {
    QTest::addColumn<bool>("dangling");
    QTest::newRow("link to a file") << false;
    QTest::newRow("dangling link") << true;
}

void TestInstall::linksAreReplacedNotWrittenThrough() {
    QFETCH(bool, dangling);
    Setup s;
    // The destination and a leftover temporary file both point elsewhere.
    const QString victim = s.env.work("victim");
    if (!dangling)
        s.env.writeFile(victim, "victim");
    const QString other = s.env.writeFile(s.env.work("other"), "other");
    QFile::link(victim, s.destination);
    QFile::link(other, s.env.downloadFolder() + "/.~a.package.part");
    QCOMPARE(HandleFileCopy(s.source, s.destination), 1);
    QCOMPARE(Content(victim), dangling ? QByteArray("<absent>") : QByteArray("victim"));
    QCOMPARE(Content(other), QByteArray("other"));
    QCOMPARE(Content(s.destination), QByteArray("new"));
    QVERIFY(!QFileInfo(s.destination).isSymLink());
    QVERIFY(s.noPartFiles());
}

void TestInstall::dispatch_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("skipExes");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("failStart");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<int>("result");
    const QString query = "Run setup.exe?|68|Brushwick 2";
    const QStringList none, exe{"EXE: %S"};
    const int yes = platform::Box::Yes, no = platform::Box::No;
    QTest::newRow("pack, any case")
        << "Hair.SIMS2PACK" << false << 0 << false << QStringList{"Sims2Pack: %S"} << none << 1;
    QTest::newRow("backpack") << "backpack" << false << 0 << false << QStringList{"Sims2Pack: %S"}
                              << none << 1;
    QTest::newRow("skin") << "Body.Sims2Skin" << false << 0 << false << QStringList{"Sims2Skin: %S"}
                          << none << 1;
    QTest::newRow("package") << "A.PACKAGE" << false << 0 << false
                             << QStringList{"Package: %S -> %D", Missing} << none << 1;
    QTest::newRow("zip") << "Hair.ZIP" << false << 0 << false << QStringList{"ZIP: %S"} << none
                         << 0;
    QTest::newRow("rar") << "hair.rar" << false << 0 << false << QStringList{"RAR: %S"} << none
                         << 0;
    QTest::newRow("program skipped")
        << "setup.EXE" << true << 0 << false << exe + QStringList{"SkipEXEs: %S"} << none << 0;
    QTest::newRow("program refused")
        << "setup.exe" << false << no << false << exe + QStringList{"EXE: %S manually skipped"}
        << QStringList{query} << 0;
    QTest::newRow("program run")
        << "setup.exe" << false << yes << false
        << exe + QStringList{"Execution approved", "INFO: Press OK when the installer is done"}
        << QStringList{query, "Press OK when the installer is done|64|Brushwick 2"} << 0;
    QTest::newRow("program fails to start")
        << "setup.exe" << false << yes << true
        << exe + QStringList{"Execution approved", "HANDLEFILE: %S - 53: File not found"}
        << QStringList{query} << 0;
    QTest::newRow("other") << "readme.txt" << false << 0 << false << QStringList{"UNHANDLED: %S"}
                           << none << 0;
    QTest::newRow("last four only")
        << "a.zip.bak" << false << 0 << false << QStringList{"UNHANDLED: %S"} << none << 0;
}

void TestInstall::dispatch() {
    QFETCH(QString, name);
    QFETCH(bool, skipExes);
    QFETCH(int, answer);
    QFETCH(bool, failStart);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, boxes);
    QFETCH(int, result);
    Setup s;
    G().SkipEXEs = skipExes;
    G().BadZipAlertBox = false;
    s.env.shell.failStart = failStart;
    if (answer)
        s.env.prompts.answers.push_back(answer);
    const QString path = s.env.writeFile(s.env.work(name), "content");
    QFile::setPermissions(path, QFile::ReadOwner);
    const QString destination = G().SimsPath + name;
    const bool archive = lines.first().startsWith("ZIP") || lines.first().startsWith("RAR");
    const bool shelled = lines.first().startsWith("Sims2");

    QCOMPARE(HandleFile(path), result);
    // Archives log more of their own after their first line.
    const QStringList log = s.env.logMessages();
    QCOMPARE(archive ? log.mid(0, 1) : log, Filled(lines, path, destination));
    if (!archive)
        QCOMPARE(Boxes(s.env.prompts), boxes);
    QCOMPARE(s.env.shell.opened, shelled ? QStringList{path} : QStringList{});
    // The game's installer gets its fixed pause after every hand-over.
    QCOMPARE(s.env.process.sleeps, shelled ? QList<int>{5000} : QList<int>{});
    QCOMPARE(s.env.shell.started, answer == platform::Box::Yes ? QStringList{path} : QStringList{});
    QCOMPARE(QFile::exists(destination), result == 1 && !shelled);
    // Whatever way it went, the file was made writable first.
    QVERIFY(QFile::permissions(path) & QFile::WriteOwner);
}

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
