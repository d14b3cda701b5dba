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
    QString source = env.writeFile(env.work("in/a.package"), "new");
    QString destination = env.downloadFolder() + "/a.package";
    Setup() {
        env.useTestLanguage();
        G().SimsPath = env.downloadFolder() + "/";
    }
    // A test may put a stand-in for the kernel's copy in place.
    ~Setup() { FileOps::SetKernelCopy(nullptr); }
    // No temporary copy may be left beside the installed files.
    bool noPartFiles() const {
        const QStringList names =
            QDir(env.downloadFolder()).entryList(QDir::System | QDir::Hidden | QDir::AllEntries);
        return std::none_of(names.begin(), names.end(), FileOps::IsPartName);
    }
};

// Stand-ins for the kernel's copy, so that every way it can refuse is met
// on any machine.
int refusal = 0;
long Refuse(int, int, std::size_t) {
    errno = refusal;
    return -1;
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

QByteArray Noise(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((unsigned(i) * 7919u + unsigned(i) / 251u) & 0xFFu);
    return bytes;
}

const QString Missing = "FILEEXISTS: 53: File not found";

} // namespace

class TestInstall : public QObject {
    Q_OBJECT
private slots:
    void overwritePolicy();
    void failedCopies();
    void kernelRefusalFallsBackToPlainCopy();
    void specialFilesAreNeverOpened();
    void namesKeepTheirBytes();
    void partFilesAndLinks();
    void dispatch();
    void sims2packInstalledByTheProgram();
};

void TestInstall::overwritePolicy() {
    const auto check = [](const QByteArray& existing, bool confirm, bool reject, int answer,
                          const QStringList& lines) {
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
        const QString box =
            "Overwrite " + s.destination + "?|36|Brushwick 2 File Management Wizard";
        QCOMPARE(Boxes(s.env.prompts), answer ? QStringList{box} : QStringList{});
        // Made writable before the policy applies, even when it then refuses.
        QVERIFY(QFile::permissions(s.destination) & QFile::WriteOwner);
        QVERIFY(s.noPartFiles());
    };
    const QStringList exists{"FILE EXISTS: %D"};
    const int yes = platform::Box::Yes, no = platform::Box::No;
    // Nothing there: copied without a question whatever the settings.
    check("<absent>", true, true, 0, {Missing});
    // An empty file counts as absent.
    check("", true, false, 0, {});
    // Asked: Yes replaces, No keeps.
    check("old", true, false, yes, exists);
    check("old", true, false, no, exists + QStringList{"OVERWRITE REJECTED"});
    // Asking beats refusing.
    check("old", true, true, yes, exists);
    // Not asked: refused, or replaced.
    check("old", false, true, 0, exists + QStringList{"OVERWRITE AUTO-REJECTED"});
    check("old", false, false, 0, exists);

    // One answer for many files: asked once, with the two extra answers;
    // each file logged as Yes or No would.
    for (int answer : {platform::Box::YesToAll, platform::Box::NoToAll}) {
        Setup s;
        G().LogLevel = Error_Mod::Level::Verbose;
        G().ConfirmOverwrites = true;
        s.env.prompts.answers = {answer};
        const bool all = answer == platform::Box::YesToAll;
        for (int i = 0; i < 3; ++i) {
            const QString target =
                s.env.writeFile(G().SimsPath + QString("f%1.package").arg(i), "old");
            QCOMPARE(HandleFileCopy(s.source, target), all ? 1 : 0);
            QCOMPARE(Content(target), all ? QByteArray("new") : QByteArray("old"));
        }
        QCOMPARE(s.env.prompts.boxes.size(), 1);
        QVERIFY(s.env.prompts.boxes[0].offersAll);
        QCOMPARE(s.env.logMessages(), all ? QStringList{} : QStringList(3, "OVERWRITE REJECTED"));
        QCOMPARE(G().Run.report.Count(all ? Outcome::Replaced : Outcome::Refused), 3);
    }
}

void TestInstall::failedCopies() {
    // A source gone missing: the box and the log name both files, and only
    // the debug log says why.
    const QStringList why{Missing, Missing, "HANDLEFILECOPY: Debugging shows %S does not exist!"};
    const QString failed = "HANDLEFILECOPY: There was an error while copying %S to %D. ";
    for (int level : {4, 3}) {
        Setup s;
        G().LogLevel = level;
        QFile::remove(s.source);
        QCOMPARE(HandleFileCopy(s.source, s.destination), 0);
        const QString error = "Could not copy %S to %DSee " + s.env.logPath() + " for details";
        const QStringList lines{failed + "53: File not found", "ERROR: " + error};
        QCOMPARE(s.env.logMessages(),
                 Filled((level == 4 ? why : QStringList()) + lines, s.source, s.destination));
        QCOMPARE(Boxes(s.env.prompts),
                 Filled({error + "|48|Brushwick 2 Error Wizard"}, s.source, s.destination));
        QVERIFY(!QFile::exists(s.destination));
    }
    {
        // The disk fills up three times: what was there stays, each failure
        // is logged and counted, and one box (check box ticked) is all.
        Setup s;
        refusal = ENOSPC;
        FileOps::SetKernelCopy(Refuse);
        s.env.prompts.checks = {true};
        const QString kept = s.env.writeFile(G().SimsPath + "f0.package", "old");
        for (int i = 0; i < 3; ++i)
            QCOMPARE(HandleFileCopy(s.source, G().SimsPath + QString("f%1.package").arg(i)), 0);
        QCOMPARE(Content(kept), QByteArray("old"));
        QVERIFY(
            s.env.logMessages().contains(Filled({failed + "61: Disk full"}, s.source, kept)[0]));
        QCOMPARE(s.env.logMessages().filter("ERROR: Could not copy").size(), 3);
        QCOMPARE(G().Run.report.Count(Outcome::Failed), 3);
        QCOMPARE(s.env.prompts.boxes.size(), 1);
        QCOMPARE(s.env.prompts.boxes[0].checkText, QString("DONTSHOWAGAIN"));
        QVERIFY(s.noPartFiles());
    }
    // The temporary copy cannot replace the destination, a folder from the
    // start or made one (with the download folder read-only) while copying.
    for (bool meanwhile : {false, true}) {
        Setup s;
        turnIntoFolder = s.destination;
        if (!meanwhile)
            s.env.writeFile(s.destination + "/inside", "old");
        FileOps::SetKernelCopy(meanwhile ? SpoilDestination : nullptr);
        QCOMPARE(HandleFileCopy(s.source, s.destination), 0);
        if (!meanwhile)
            QCOMPARE(Content(s.destination + "/inside"), QByteArray("old"));
        QVERIFY(s.noPartFiles());
        QCOMPARE(s.env.prompts.boxes.size(), 1);
        QVERIFY(s.env.logMessages().last().startsWith("ERROR: Could not copy "));
    }
}

void TestInstall::kernelRefusalFallsBackToPlainCopy() {
    const FileOps::KernelCopy noProgress = [](int, int, std::size_t) -> long { return 0; };
    const QList<QPair<FileOps::KernelCopy, int>> kernels{
        {Refuse, EXDEV},  {Refuse, EOPNOTSUPP}, {Refuse, EINVAL},
        {Refuse, ENOSYS}, {noProgress, 0},      {OneByteThenRefuse, EXDEV}};
    for (const auto& [kernel, error] : kernels) {
        Setup s;
        const QByteArray content = Noise(700 * 1024 + 3);
        s.env.writeFile(s.source, content);
        refusal = error;
        FileOps::SetKernelCopy(kernel);
        QCOMPARE(HandleFileCopy(s.source, s.destination), 1);
        QCOMPARE(Content(s.destination), content);
        QVERIFY(s.noPartFiles());
        QVERIFY(s.env.prompts.boxes.isEmpty());
    }
    // The real kernel, for a package dropped from a RAM disk (or a stick)
    // onto a game on disk.
    QTemporaryDir ram("/dev/shm/bw-test-XXXXXX");
    Setup s;
    if (!ram.isValid() ||
        QStorageInfo(ram.path()).rootPath() == QStorageInfo(s.env.downloadFolder()).rootPath())
        QSKIP("no second file system beside the test folder (/dev/shm)");
    const QByteArray content = Noise(300 * 1024);
    const QString source = s.env.writeFile(ram.path() + "/x.package", content);
    QCOMPARE(HandleFile(source), 1);
    QCOMPARE(Content(G().SimsPath + "x.package"), content);
    QVERIFY(s.noPartFiles());
}

void TestInstall::specialFilesAreNeverOpened() {
    // Pipes named like a package or an archive, a device, a Mac's
    // resource-fork twin: the kind is the name up to its first dot.
    for (const QString name :
         {"fifo.package", "fifo.zip", "fifo.rar", "device.package", "._a.package"}) {
        const QString kind = name.section('.', 0, 0);
        Setup s;
        const QString path = s.env.work(name);
        if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path), 0644), 0);
        else if (kind == "device")
            QVERIFY(QFile::link("/dev/zero", path));
        else
            s.env.writeFile(path, QByteArray("\x00\x05\x16\x07\x00\x02\x00\x00Mac OS X", 16));
        // Found in a folder: the run goes on past it.
        Handle_DnD({s.env.workFolder()});
        QCOMPARE(s.env.logMessages().filter(path), QStringList{"UNHANDLED: " + path});
        QVERIFY(s.env.logMessages().contains("POSTINSTALL: 1 files installed"));
        // The copy itself refuses what is not a plain file, without waiting on it.
        if (!kind.isEmpty())
            QCOMPARE(HandleFileCopy(path, G().SimsPath + name), 0);
    }
}

void TestInstall::namesKeepTheirBytes() {
    // Latin-1, CP437, 255 bytes, and 254 bytes that are not UTF-8.
    const QList<QByteArray> names{"Caf\xe9 Chair.package", "M\224bel \201ber.package",
                                  QByteArray(247, 'n') + ".package",
                                  QByteArray(245, 'n') + "\xff.package"};
    namespace fs = std::filesystem;
    for (const QByteArray& name : names) {
        Setup s;
        // In a folder whose own name is not UTF-8 either.
        const fs::path drop = fs::path(QFile::encodeName(s.env.root()).toStdString()) / "drop";
        fs::create_directories(drop / "Gr\xfcn");
        { std::ofstream(drop / "Gr\xfcn" / name.toStdString()) << "bytes"; }
        Handle_DnD({FileOps::FromFs(drop)});
        const fs::path installed =
            fs::path(QFile::encodeName(s.env.downloadFolder()).toStdString()) / name.toStdString();
        QVERIFY2(fs::is_regular_file(installed), name.constData());
        // The log shows the bytes readably, and every line stays UTF-8.
        const QString shown = Error_Mod::EscapeForLog(platform::FileNameText(name));
        QVERIFY(s.env.logMessages().filter("Package: ").first().endsWith("/" + shown));
        QVERIFY(s.noPartFiles());
    }
}

void TestInstall::partFilesAndLinks() {
    {
        // What a copy cut short left goes; a player's file named alike stays.
        Setup s;
        const QString leftover = s.env.writeFile(G().SimsPath + FileOps::NewPartName(), "half");
        const QString mine = s.env.writeFile(G().SimsPath + ".~notes.part", "player's own");
        FileOps::RemovePartLeftovers(G().SimsPath);
        QVERIFY(!QFile::exists(leftover));
        QVERIFY(QFile::exists(mine));
        QCOMPARE(s.env.logMessages(), QStringList{"CLEANUP: " + leftover});
    }
    for (bool dangling : {false, true}) {
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
}

void TestInstall::dispatch() {
    // answer: the one given to the question about running a program, or
    // skipAll for no question, programs skipped by the setting.
    const int skipAll = -1;
    const auto check = [](const QString& name, const QStringList& lines, int result, int answer = 0,
                          const QStringList& boxes = {}, bool failStart = false) {
        Setup s;
        G().SkipEXEs = answer == skipAll;
        G().BadZipAlertBox = false;
        s.env.shell.failStart = s.env.shell.failOpen = failStart;
        if (answer > 0)
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
        QCOMPARE(s.env.shell.started,
                 answer == platform::Box::Yes ? QStringList{path} : QStringList{});
        QCOMPARE(QFile::exists(destination), result == 1 && !shelled);
        // Whatever way it went, the file was made writable first.
        QVERIFY(QFile::permissions(path) & QFile::WriteOwner);
    };
    const QString query = "Run setup.exe?|68|Brushwick 2";
    const QStringList exe{"EXE: %S"}, approved{"EXE: %S", "Execution approved"};
    const int yes = platform::Box::Yes, no = platform::Box::No;
    // Sorted by the last four characters, in any case.
    check("Hair.SIMS2PACK", {"Sims2Pack: %S"}, 1);
    check("backpack", {"Sims2Pack: %S"}, 1);
    check("Body.Sims2Skin", {"Sims2Skin: %S"}, 1);
    // Nothing takes the skin: not installed, and the log says why.
    check("Body.Sims2Skin",
          {"Sims2Skin: %S", "SHELLOPEN: %S - 31: No program is associated with this file"}, 0, 0,
          {}, true);
    check("A.PACKAGE", {"Package: %S -> %D", Missing}, 1);
    check("Hair.ZIP", {"ZIP: %S"}, 0);
    check("hair.rar", {"RAR: %S"}, 0);
    // A program: skipped by the setting, refused, run, failing to start.
    check("setup.EXE", exe + QStringList{"SkipEXEs: %S"}, 0, skipAll);
    check("setup.exe", exe + QStringList{"EXE: %S manually skipped"}, 0, no, {query});
    check("setup.exe", approved + QStringList{"INFO: Press OK when the installer is done"}, 0, yes,
          {query, "Press OK when the installer is done|64|Brushwick 2"});
    check("setup.exe", approved + QStringList{"HANDLEFILE: %S - 53: File not found"}, 0, yes,
          {query}, true);
    // Anything else, also a name with ".zip" before its last four characters.
    check("readme.txt", {"UNHANDLED: %S"}, 0);
    check("a.zip.bak", {"UNHANDLED: %S"}, 0);
}

void TestInstall::sims2packInstalledByTheProgram() {
    Setup s;
    G().LogLevel = Error_Mod::Level::Skips;
    G().Sims2PackSelf = true;
    G().TidselTemp = s.env.driveFolder() + "/temp/brushwick/voriderud";
    const QString path = s.env.work("objects.sims2pack");
    QVERIFY(QFile::copy(qEnvironmentVariable("BW_CORPUS") + "/objects.sims2pack", path));
    QCOMPARE(HandleFile(path), 2);
    const QString sims = "SIMS2PACK: %1 -> " + G().SimsPath + "%1";
    QCOMPARE(s.env.logMessages(), (QStringList{"Sims2Pack: " + path, sims.arg("Lamp.package"),
                                               sims.arg("Sofa.package")}));
    QVERIFY(s.env.shell.opened.isEmpty());
    QVERIFY(Content(G().SimsPath + "Lamp.package").startsWith("DBPF"));
    QVERIFY(Content(G().SimsPath + "Sofa.package").endsWith("sofa"));
    // Unpacked aside and gone again.
    QCOMPARE(QDir(s.env.driveFolder() + "/temp/brushwick")
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
}

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
