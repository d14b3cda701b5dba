#include "checks.h"
#include "log/log.h"
#include "pipeline/copy_file.h"
#include "pipeline/file_ops.h"
#include "pipeline/handle_file.h"
#include "pipeline/install_copy.h"
#include "pipeline/run.h"
#include "platform/file_names.h"
#include "state/globals.h"
#include "test_env.h"

#include <QtTest>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

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
        for (const QString& name :
             QDir(env.downloadFolder()).entryList(QDir::System | QDir::Hidden | QDir::AllEntries))
            if (FileOps::IsPartName(name))
                return false;
        return true;
    }
};

// Stand-ins for the kernel's copy, so that every way it can refuse is met
// on any machine.
int refusal = 0;
long Refuse(int, int, std::size_t) {
    errno = refusal;
    return -1;
}
long NoProgress(int, int, std::size_t) {
    return 0;
}
// Copies one byte, then says the files are on different file systems.
long OneByteThenRefuse(int in, int out, std::size_t) {
    static bool first = true;
    first = !first;
    if (first) {
        errno = EXDEV;
        return -1;
    }
    char c;
    return ::read(in, &c, 1) == 1 && ::write(out, &c, 1) == 1 ? 1 : -1;
}
// Turns the destination into a folder and the download folder read-only
// while the copy is on: the temporary file cannot take its name and must go
// although its folder is no longer writable.
QString turnIntoFolder;
long SpoilDestination(int, int, std::size_t) {
    QDir().mkpath(turnIntoFolder + "/inside");
    QFile::setPermissions(QFileInfo(turnIntoFolder).path(), QFile::ReadOwner | QFile::ExeOwner);
    errno = EXDEV;
    return -1;
}

struct KernelCopyGuard {
    explicit KernelCopyGuard(FileOps::KernelCopy copy) { FileOps::SetKernelCopy(copy); }
    ~KernelCopyGuard() { FileOps::SetKernelCopy(nullptr); }
};

QByteArray Noise(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7919 + i / 251) & 0xFF);
    return bytes;
}

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
    void kernelRefusalFallsBackToPlainCopy_data();
    void kernelRefusalFallsBackToPlainCopy();
    void copyBetweenFileSystems();
    void specialFilesAreNeverOpened_data();
    void specialFilesAreNeverOpened();
    void namesKeepTheirBytes_data();
    void namesKeepTheirBytes();
    void leftoversRemoved();
    void manyFailuresOneBox();
    void answerOnceForMany_data();
    void answerOnceForMany();
    void sims2packInstalledByTheProgram_data();
    void sims2packInstalledByTheProgram();
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
    QTest::addColumn<int>("way");
    QTest::newRow("the copy fails") << 0;
    QTest::newRow("destination is a folder") << 1;
    QTest::newRow("folder read-only before the rename") << 2;
}

void TestInstall::failedCopyKeepsDestination() {
    QFETCH(int, way);
    Setup s;
    // Either the temporary copy cannot be made, or it cannot replace the
    // destination; both must leave the download folder as it was.
    const QString kept = way == 0 ? s.destination : s.destination + "/inside";
    s.env.writeFile(kept, "old");
    refusal = ENOSPC;
    turnIntoFolder = s.destination;
    if (way == 2)
        QFile::remove(kept);
    KernelCopyGuard guard(way == 0 ? Refuse : way == 2 ? SpoilDestination : nullptr);

    QCOMPARE(HandleFileCopy(s.source, s.destination), 0);
    if (way != 2)
        QCOMPARE(Content(kept), QByteArray("old"));
    QVERIFY(s.noPartFiles());
    QCOMPARE(s.env.prompts.boxes.size(), 1);
    QVERIFY(s.env.logMessages().last().startsWith("ERROR: Could not copy "));
    if (way == 0)
        QVERIFY(s.env.logMessages().contains("HANDLEFILECOPY: There was an error while copying " +
                                             s.source + " to " + s.destination +
                                             ". 61: Disk full"));
}

void TestInstall::kernelRefusalFallsBackToPlainCopy_data() {
    QTest::addColumn<int>("how");
    QTest::addColumn<int>("error");
    QTest::newRow("another file system") << 0 << EXDEV;
    QTest::newRow("not offered") << 0 << EOPNOTSUPP;
    QTest::newRow("not for these files") << 0 << EINVAL;
    QTest::newRow("no such call") << 0 << ENOSYS;
    QTest::newRow("no progress") << 1 << 0;
    QTest::newRow("refused part way") << 2 << EXDEV;
}

void TestInstall::kernelRefusalFallsBackToPlainCopy() {
    QFETCH(int, how);
    QFETCH(int, error);
    Setup s;
    const QByteArray content = Noise(700 * 1024 + 3);
    s.env.writeFile(s.source, content);
    refusal = error;
    KernelCopyGuard guard(how == 0 ? Refuse : how == 1 ? NoProgress : OneByteThenRefuse);
    QCOMPARE(HandleFileCopy(s.source, s.destination), 1);
    QCOMPARE(Content(s.destination), content);
    QVERIFY(s.noPartFiles());
    QVERIFY(s.env.prompts.boxes.isEmpty());
}

void TestInstall::copyBetweenFileSystems() {
    // A package dropped from a RAM disk (or a stick) onto a game on disk.
    QTemporaryDir ram("/dev/shm/bw-test-XXXXXX");
    Setup s;
    struct stat a {
    }, b{};
    if (!ram.isValid() || ::stat(QFile::encodeName(ram.path()), &a) != 0 ||
        ::stat(QFile::encodeName(s.env.downloadFolder()), &b) != 0 || a.st_dev == b.st_dev)
        QSKIP("no second file system beside the test folder (/dev/shm)");
    const QByteArray content = Noise(300 * 1024);
    const QString source = s.env.writeFile(ram.path() + "/x.package", content);
    QCOMPARE(HandleFile(source), 1);
    QCOMPARE(Content(G().SimsPath + "x.package"), content);
    QVERIFY(s.noPartFiles());
}

void TestInstall::specialFilesAreNeverOpened_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::newRow("pipe as a package") << "x.package"
                                       << "fifo";
    QTest::newRow("pipe as an archive") << "x.zip"
                                        << "fifo";
    QTest::newRow("pipe as a rar") << "x.rar"
                                   << "fifo";
    QTest::newRow("device as a package") << "y.package"
                                         << "device";
    QTest::newRow("resource fork twin") << "._a.package"
                                        << "appledouble";
}

void TestInstall::specialFilesAreNeverOpened() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    Setup s;
    const QString path = s.env.work(name);
    if (kind == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path), 0644), 0);
    else if (kind == "device")
        QVERIFY(QFile::link("/dev/zero", path));
    else
        s.env.writeFile(path, QByteArray("\x00\x05\x16\x07\x00\x02\x00\x00Mac OS X", 16));
    // Dropped alone and found in a folder alike: the run goes on past it.
    MArray data;
    data.Push(s.env.workFolder());
    BrushwickMod::Handle_Processing(data);
    QVERIFY(s.env.logMessages().contains("UNHANDLED: " + path));
    QCOMPARE(s.env.logMessages().filter(path).size(), 1);
    QVERIFY(s.env.logMessages().contains("POSTINSTALL: 1 files installed"));
    QVERIFY(!QFile::exists(G().SimsPath + name));
    // The copy itself refuses what is not a plain file, without waiting on it.
    if (kind != "appledouble")
        QCOMPARE(HandleFileCopy(path, G().SimsPath + name), 0);
}

void TestInstall::namesKeepTheirBytes_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("Latin-1") << QByteArray("Caf\xe9 Chair.package");
    QTest::newRow("CP437") << QByteArray("M\x94"
                                         "bel \x81"
                                         "ber.package");
    QTest::newRow("255 bytes") << QByteArray(247, 'n') + ".package";
    QTest::newRow("254 bytes, not UTF-8") << QByteArray(245, 'n') + "\xff.package";
}

void TestInstall::namesKeepTheirBytes() {
    QFETCH(QByteArray, name);
    Setup s;
    namespace fs = std::filesystem;
    // In a folder whose own name is not UTF-8 either.
    const fs::path drop = fs::path(QFile::encodeName(s.env.root()).toStdString()) / "drop";
    const fs::path folder = drop / "Gr\xfcn";
    fs::create_directories(folder);
    { std::ofstream(folder / name.toStdString()) << "bytes"; }
    MArray data;
    data.Push(FileOps::FromFs(drop));
    BrushwickMod::Handle_Processing(data);
    const fs::path installed =
        fs::path(QFile::encodeName(s.env.downloadFolder()).toStdString()) / name.toStdString();
    QVERIFY2(fs::is_regular_file(installed), name.constData());
    QVERIFY(s.env.logMessages().contains("POSTINSTALL: 1 files installed"));
    // The log shows the bytes readably, and every line stays UTF-8.
    const QString shown = Error_Mod::EscapeForLog(platform::FileNameText(name));
    QVERIFY(s.env.logMessages().filter("Package: ").first().endsWith("/" + shown));
    QVERIFY(s.noPartFiles());
}

void TestInstall::leftoversRemoved() {
    Setup s;
    const QString leftover = s.env.writeFile(G().SimsPath + FileOps::NewPartName(), "half");
    const QString mine = s.env.writeFile(G().SimsPath + ".~notes.part", "player's own");
    FileOps::RemovePartLeftovers(G().SimsPath);
    QVERIFY(!QFile::exists(leftover));
    QVERIFY(QFile::exists(mine));
    QCOMPARE(s.env.logMessages(), QStringList{"CLEANUP: " + leftover});
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
    QTest::newRow("nothing opens it")
        << "Body.Sims2Skin" << false << 0 << true
        << QStringList{"Sims2Skin: %S",
                       "SHELLOPEN: %S - 31: No program is associated with this file"}
        << none << 0;
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
    s.env.shell.failOpen = failStart;
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
    QCOMPARE(s.env.process.sleeps, shelled && result ? QList<int>{5000} : QList<int>{});
    QCOMPARE(s.env.shell.started, answer == platform::Box::Yes ? QStringList{path} : QStringList{});
    QCOMPARE(QFile::exists(destination), result == 1 && !shelled);
    // Whatever way it went, the file was made writable first.
    QVERIFY(QFile::permissions(path) & QFile::WriteOwner);
}

void TestInstall::manyFailuresOneBox() {
    Setup s;
    refusal = ENOSPC;
    KernelCopyGuard guard(Refuse);
    s.env.prompts.checks = {true};
    for (int i = 0; i < 3; ++i)
        QCOMPARE(HandleFileCopy(s.source, G().SimsPath + QString("f%1.package").arg(i)), 0);
    // One box, with the check box ticked; the others reach the log only.
    QCOMPARE(s.env.prompts.boxes.size(), 1);
    QCOMPARE(s.env.prompts.boxes[0].checkText, QString("DONTSHOWAGAIN"));
    QCOMPARE(s.env.logMessages().filter("ERROR: Could not copy").size(), 3);
    QCOMPARE(G().Run.report.Count(Outcome::Failed), 3);
    QVERIFY(s.noPartFiles());
}

void TestInstall::answerOnceForMany_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("yes to all") << int(platform::Box::YesToAll);
    QTest::newRow("no to all") << int(platform::Box::NoToAll);
}

void TestInstall::answerOnceForMany() {
    QFETCH(int, answer);
    Setup s;
    G().LogLevel = Error_Mod::Level::Verbose;
    G().ConfirmOverwrites = true;
    s.env.prompts.answers = {answer};
    const bool yes = answer == platform::Box::YesToAll;
    for (int i = 0; i < 3; ++i) {
        const QString name = QString("f%1.package").arg(i);
        s.env.writeFile(G().SimsPath + name, "old");
        QCOMPARE(HandleFileCopy(s.source, G().SimsPath + name), yes ? 1 : 0);
        QCOMPARE(Content(G().SimsPath + name), yes ? QByteArray("new") : QByteArray("old"));
    }
    // Asked once, with the two extra answers; each file logged as Yes or No would.
    QCOMPARE(s.env.prompts.boxes.size(), 1);
    QVERIFY(s.env.prompts.boxes[0].offersAll);
    QCOMPARE(s.env.logMessages(), yes ? QStringList{} : QStringList(3, "OVERWRITE REJECTED"));
    QCOMPARE(G().Run.report.Count(yes ? Outcome::Replaced : Outcome::Refused), 3);
}

void TestInstall::sims2packInstalledByTheProgram_data() {
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<bool>("self");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("result");
    const QString sims = "SIMS2PACK: %1 -> %D%1";
    QTest::newRow("objects, by the program")
        << "objects.sims2pack" << true
        << QStringList{"Sims2Pack: %S", sims.arg("Lamp.package"), sims.arg("Sofa.package")} << 2;
    QTest::newRow("objects, by the game's installer")
        << "objects.sims2pack" << false << QStringList{"Sims2Pack: %S"} << 1;
    QTest::newRow("a lot, by the game's installer")
        << "lot.sims2pack" << true
        << QStringList{"Sims2Pack: %S",
                       "SIMS2PACK: %S goes to the game's installer (type Lot is not Object)"}
        << 1;
}

void TestInstall::sims2packInstalledByTheProgram() {
    QFETCH(QString, fixture);
    QFETCH(bool, self);
    QFETCH(QStringList, lines);
    QFETCH(int, result);
    Setup s;
    G().LogLevel = Error_Mod::Level::Skips;
    G().Sims2PackSelf = self;
    G().TidselTemp = s.env.driveFolder() + "/temp/brushwick/voriderud";
    const QString path = s.env.work(fixture);
    QVERIFY(QFile::copy(qEnvironmentVariable("BW_CORPUS") + "/" + fixture, path));

    QCOMPARE(HandleFile(path), result);
    QCOMPARE(s.env.logMessages(), Filled(lines, path, G().SimsPath));
    const bool installer = lines.size() != 3;
    QCOMPARE(s.env.shell.opened, installer ? QStringList{path} : QStringList{});
    QCOMPARE(s.env.process.sleeps, installer ? QList<int>{5000} : QList<int>{});
    if (!installer) {
        QVERIFY(Content(G().SimsPath + "Lamp.package").startsWith("DBPF"));
        QVERIFY(Content(G().SimsPath + "Sofa.package").endsWith("sofa"));
        // Unpacked aside and gone again.
        QCOMPARE(QDir(s.env.driveFolder() + "/temp/brushwick")
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }
}

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
