// Unpacking archives the tests build: where files land, what is installed,
// and that hostile or broken archives never reach outside their folder.
#include "archive_maker.h"
#include "pipeline/archives.h"
#include "platform/globals.h"
#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace BrushwickMod;
using maker::File;
using maker::Folder;
using maker::Symlink;

class TestExtraction : public QObject {
    Q_OBJECT
private slots:
    void foldersAreDroppedAndLaterNamesWin();
    void nestedArchivesGetSiblingFolders();
    void sameArchiveTwiceGetsTwoFolders();
    void notAnArchive_data();
    void notAnArchive();
    void passwordAnswered_data();
    void passwordAnswered();
    void wrongPasswordIsAskedAgain();
    void emptyPasswordSkipsForTheRun_data();
    void emptyPasswordSkipsForTheRun();
    void hostileNamesStayInside();
    void linksAndDevicesCreateNothing();
    void nestingStopsAtSixteen_data();
    void nestingStopsAtSixteen();
    void failingWriteLeavesNothingHalfWritten();
    void rarVolumeSets();
};

namespace {

QString CorpusFile(const QString& name) {
    return qEnvironmentVariable("BW_CORPUS") + "/archives/" + name;
}

QString CopyCorpus(const QString& name, const QString& to) {
    QDir().mkpath(QFileInfo(to).path());
    QFile::copy(CorpusFile(name), to);
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
    return to;
}

QStringList LinesStarting(const TestEnv& env, const QString& start) {
    QStringList lines;
    for (const QString& line : env.logMessages()) {
        if (line.startsWith(start))
            lines.append(line);
    }
    return lines;
}

// Files bigger than limit cannot be written while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lowered);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
};

} // namespace

void TestExtraction::foldersAreDroppedAndLaterNamesWin() {
    TestEnv env;
    maker::PrepareRun(env);
    const QString zip = maker::Zip(env.work("hair.zip"),
                                   {Folder("Hair/"), File("Hair/Long/long.package", "long"),
                                    File("Hair/short.package", "short"), File("Hair/readme.txt"),
                                    File("Hair/Old/short.package", "newer")});
    QCOMPARE(DoZip(zip), 2);

    const QStringList folders = maker::ExtractionFolders(env);
    QCOMPARE(folders.size(), 1);
    QCOMPARE(maker::NamesIn(folders[0]),
             QStringList({"long.package", "readme.txt", "short.package"}));
    QCOMPARE(maker::Read(env.downloadFolder() + "/short.package"), QByteArray("newer"));
    QCOMPARE(maker::Read(env.downloadFolder() + "/long.package"), QByteArray("long"));
    // The file listed last is handled first.
    const QString f = folders[0];
    QCOMPARE(LinesStarting(env, "Package: ") + LinesStarting(env, "UNHANDLED: "),
             QStringList({"Package: " + f + "short.package -> " + G().SimsPath + "short.package",
                          "Package: " + f + "long.package -> " + G().SimsPath + "long.package",
                          "UNHANDLED: " + f + "readme.txt"}));
    QVERIFY(LinesStarting(env, "BAD ZIP: ").isEmpty());
}

void TestExtraction::nestedArchivesGetSiblingFolders() {
    TestEnv env;
    maker::PrepareRun(env);
    const QString inner = maker::Zip(env.work("inner/inner.zip"), {File("b.package")});
    const QString rar = CopyCorpus("test_read_format_rar5_compressed.rar", env.work("x/set.rar"));
    const QString outer = maker::Zip(
        env.work("outer.zip"), {File("a.package"), File("deeper/inner.zip", maker::Read(inner)),
                                File("x/set.rar", maker::Read(rar))});
    QCOMPARE(DoZip(outer), 2);

    QStringList files;
    for (const QString& folder : maker::ExtractionFolders(env))
        files += maker::NamesIn(folder);
    files.sort();
    QCOMPARE(files, QStringList({"a.package", "b.package", "inner.zip", "set.rar", "test.bin"}));
    QCOMPARE(maker::ExtractionFolders(env).size(), 3);
    QCOMPARE(maker::NamesIn(env.downloadFolder()), QStringList({"a.package", "b.package"}));
    QCOMPARE(LinesStarting(env, "RAR: ").size(), 1);
}

void TestExtraction::sameArchiveTwiceGetsTwoFolders() {
    TestEnv env;
    maker::PrepareRun(env);
    const QString zip = maker::Zip(env.work("a.zip"), {File("a.package")});
    QCOMPARE(DoZip(zip), 1);
    QCOMPARE(DoZip(zip), 1);
    const QStringList folders = maker::ExtractionFolders(env);
    QCOMPARE(folders.size(), 2);
    for (const QString& folder : folders)
        QCOMPARE(maker::NamesIn(folder), QStringList({"a.package"}));
}

void TestExtraction::notAnArchive_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("alertBox");
    QTest::newRow("zip with box") << "fake.zip" << true;
    QTest::newRow("zip without box") << "fake.zip" << false;
    QTest::newRow("rar") << "fake.rar" << true;
}

void TestExtraction::notAnArchive() {
    QFETCH(QString, name);
    QFETCH(bool, alertBox);
    TestEnv env;
    maker::PrepareRun(env);
    G().BadZipAlertBox = alertBox;
    const QString path = env.writeFile(env.work(name), "just some text");
    const bool zip = name.endsWith(".zip");
    QCOMPARE(zip ? DoZip(path) : DoRar(path), 0);

    const QStringList log = env.logMessages();
    if (zip) {
        QVERIFY(log.contains("BAD ZIP: " + path));
    } else {
        QCOMPARE(LinesStarting(env, "DORAR: ").size(), 1);
        QVERIFY(LinesStarting(env, "DORAR: ")[0].startsWith("DORAR: " + path + " - 321: "));
    }
    if (zip && alertBox) {
        QCOMPARE(env.prompts.boxes.size(), 1);
        QCOMPARE(env.prompts.boxes[0].prompt, path + " is damaged");
        QCOMPARE(env.prompts.boxes[0].style, platform::Box::OKOnly | platform::Box::Information);
        QCOMPARE(env.prompts.boxes[0].title, AppTitle);
    } else {
        QVERIFY(env.prompts.boxes.isEmpty());
    }
}

void TestExtraction::passwordAnswered_data() {
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QString>("answer");
    QTest::newRow("traditional") << QByteArray("zipcrypt") << QByteArray("s3cret") << "s3cret";
    QTest::newRow("aes") << QByteArray("aes256") << QByteArray("s3cret") << "s3cret";
    // The answer is cut to what the password buffer holds.
    const int fits = 255;
    QTest::newRow("too long") << QByteArray("aes256") << QByteArray(fits, 'p')
                              << QString(fits + 45, 'p');
}

void TestExtraction::passwordAnswered() {
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, password);
    QFETCH(QString, answer);
    TestEnv env;
    maker::PrepareRun(env);
    const QString zip =
        maker::Zip(env.work("locked.zip"), {File("a.package", "alpha"), File("b.package", "beta")},
                   password, method.constData());
    env.prompts.inputs = {answer};
    QCOMPARE(DoZip(zip), 2);
    // Asked once: the password holds for the rest of the archive.
    QCOMPARE(env.prompts.inputPrompts.size(), 1);
    QCOMPARE(env.prompts.inputPrompts[0].prompt, QString("Please Enter The Password!"));
    QCOMPARE(env.prompts.inputPrompts[0].title, AppTitle);
    QCOMPARE(maker::Read(env.downloadFolder() + "/a.package"), QByteArray("alpha"));
    QCOMPARE(maker::Read(env.downloadFolder() + "/b.package"), QByteArray("beta"));
    QVERIFY(LinesStarting(env, "BAD ZIP: ").isEmpty());
}

void TestExtraction::wrongPasswordIsAskedAgain() {
    TestEnv env;
    maker::PrepareRun(env);
    const QString zip =
        CopyCorpus("test_read_format_zip_traditional_encryption_data.zip", env.work("locked.zip"));
    env.prompts.inputs = {"wrong", "12345678"};
    DoZip(zip);
    QCOMPARE(env.prompts.inputPrompts.size(), 2);
    QCOMPARE(maker::NamesIn(maker::ExtractionFolders(env)[0]), QStringList({"bar.txt", "foo.txt"}));
    QVERIFY(LinesStarting(env, "BAD ZIP: ").isEmpty());
}

void TestExtraction::emptyPasswordSkipsForTheRun_data() {
    QTest::addColumn<QString>("answer");
    QTest::newRow("empty") << "";
    QTest::newRow("cancelled") << "<cancel>";
}

void TestExtraction::emptyPasswordSkipsForTheRun() {
    QFETCH(QString, answer);
    TestEnv env;
    maker::PrepareRun(env);
    const QString first = maker::Zip(env.work("one.zip"), {File("a.package")}, "pw");
    const QString second = maker::Zip(env.work("two.zip"), {File("b.package")}, "pw", "aes256");
    env.prompts.inputs = {answer, "pw"};
    QCOMPARE(DoZip(first), 0);
    QCOMPARE(DoZip(second), 0);
    QCOMPARE(env.prompts.inputPrompts.size(), 1);
    QCOMPARE(G().Zip.UnzipSkipPassword, qint16(1));
    QCOMPARE(LinesStarting(env, "BAD ZIP: ").size(), 2);
    QVERIFY(maker::NamesIn(env.downloadFolder()).isEmpty());
}

void TestExtraction::hostileNamesStayInside() {
    TestEnv env;
    maker::PrepareRun(env);
    const QString renamed = maker::Zip(
        env.work("evil.zip"), {File("../x1.package"), File("..\\x2.package"), File("/abs.package"),
                               File("a/../../b.package"), File("C:\\Windows\\c.package")});
    const QString unusable =
        maker::Zip(env.work("dots.zip"),
                   {File(".."), File("."), File("a/.."),
                    File("far/" + QByteArray(300, 'n') + ".package"), File("keep.package")});
    const QStringList before = maker::Tree(env.root());

    QCOMPARE(DoZip(renamed), 5);
    QVERIFY(LinesStarting(env, "BAD ZIP: ").isEmpty());
    QCOMPARE(DoZip(unusable), 1);
    QCOMPARE(LinesStarting(env, "BAD ZIP: "), QStringList({"BAD ZIP: " + unusable}));

    const QStringList folders = maker::ExtractionFolders(env);
    QCOMPARE(folders.size(), 2);
    QStringList files = maker::NamesIn(folders[0]) + maker::NamesIn(folders[1]);
    files.sort();
    QCOMPARE(files, QStringList({"abs.package", "b.package", "c.package", "keep.package",
                                 "x1.package", "x2.package"}));
    for (const QString& path : maker::Tree(env.root())) {
        if (before.contains(path))
            continue;
        QVERIFY2(path.startsWith("/drive/temp") || path.startsWith("/downloads/") ||
                     path == "/program/Brushwick2.log",
                 qPrintable(path));
    }
}

void TestExtraction::linksAndDevicesCreateNothing() {
    TestEnv env;
    maker::PrepareRun(env);
    const QString secret = env.writeFile(env.work("secret.package"), "secret");
    const QString links = maker::Zip(env.work("links.zip"),
                                     {Symlink("evil.package", secret.toUtf8()),
                                      Symlink("up.package", "../../../work/secret.package"),
                                      Symlink("dir", "/"), File("dir/inside.package", "inside"),
                                      Folder("sub/"), File("real.package", "real")});
    const QString devices = env.work("devices.zip");
    const int made = QProcess::execute(
        "python3", {"-c",
                    "import sys, zipfile\n"
                    "z = zipfile.ZipFile(sys.argv[1], 'w')\n"
                    "for name, mode in (('disk.package', 0o060644), ('tty.package', 0o020644),\n"
                    "                   ('socket.package', 0o140644)):\n"
                    "    i = zipfile.ZipInfo(name); i.create_system = 3\n"
                    "    i.external_attr = mode << 16; z.writestr(i, b'x')\n"
                    "z.writestr('plain.package', b'plain')\n"
                    "z.close()\n",
                    devices});
    QCOMPARE(made, 0);

    QCOMPARE(DoZip(links), 2);
    QCOMPARE(DoZip(devices), 1);
    QStringList files;
    for (const QString& folder : maker::ExtractionFolders(env)) {
        for (const QString& name : maker::NamesIn(folder)) {
            QVERIFY2(!QFileInfo(folder + name).isSymLink() && QFileInfo(folder + name).isFile(),
                     qPrintable(name));
            files.append(name);
        }
    }
    files.sort();
    QCOMPARE(files, QStringList({"inside.package", "plain.package", "real.package"}));
    QCOMPARE(maker::NamesIn(env.downloadFolder()),
             QStringList({"inside.package", "plain.package", "real.package"}));
    QVERIFY(LinesStarting(env, "BAD ZIP: ").isEmpty());
}

void TestExtraction::nestingStopsAtSixteen_data() {
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("installed");
    QTest::newRow("16 deep") << MaxNesting << 1;
    QTest::newRow("17 deep") << MaxNesting + 1 << 0;
}

void TestExtraction::nestingStopsAtSixteen() {
    QFETCH(int, depth);
    QFETCH(int, installed);
    TestEnv env;
    maker::PrepareRun(env);
    QString archive =
        maker::Zip(env.work(QString("level%1.zip").arg(depth)), {File("deep.package")});
    for (int level = depth - 1; level >= 1; --level)
        archive = maker::ZipAround(env.work(QString("level%1.zip").arg(level)), archive);

    QCOMPARE(DoZip(archive), installed);
    const QStringList tooDeep = LinesStarting(env, "DOZIP: ");
    if (installed) {
        QVERIFY(tooDeep.isEmpty());
    } else {
        QCOMPARE(tooDeep.size(), 1);
        QVERIFY(QRegularExpression(QString("^DOZIP: .*/level%1\\.zip - 28: ").arg(depth))
                    .match(tooDeep[0])
                    .hasMatch());
    }
    // The run goes on as before.
    QCOMPARE(DoZip(maker::Zip(env.work("after.zip"), {File("after.package")})), 1);
}

void TestExtraction::failingWriteLeavesNothingHalfWritten() {
    TestEnv env;
    maker::PrepareRun(env);
    env.writeFile(env.downloadFolder() + "/big.package", "old");
    const QString zip =
        maker::Zip(env.work("big.zip"),
                   {File("small.package", "small"), File("big.package", QByteArray(4 << 20, 'z')),
                    File("after.package", "after")});
    const QString rarSet = env.work("set/");
    for (const char* part : {"part1", "part2", "part3"})
        CopyCorpus(QString("test_rar_multivolume_single_file.%1.rar").arg(part),
                   rarSet + QString("v.%1.rar").arg(part));
    {
        const FileSizeLimit limit(16 << 10);
        QCOMPARE(DoZip(zip), 1);
        QCOMPARE(DoRar(rarSet + "v.part1.rar"), 0);
    }
    QCOMPARE(LinesStarting(env, "BAD ZIP: ").size(), 1);
    QCOMPARE(LinesStarting(env, "DORAR: ").size(), 1);
    QVERIFY(LinesStarting(env, "DORAR: ")[0].startsWith(
        "DORAR: " + rarSet + "v.part1.rar - 75: Path/File access error (File too large)"));
    const QStringList folders = maker::ExtractionFolders(env);
    QCOMPARE(maker::NamesIn(folders[0]) + maker::NamesIn(folders[1]),
             QStringList({"small.package"}));
    QCOMPARE(maker::Read(env.downloadFolder() + "/big.package"), QByteArray("old"));

    // Once the disk has room again, the same archive installs whole.
    QCOMPARE(DoZip(zip), 3);
    QCOMPARE(maker::Read(env.downloadFolder() + "/big.package").size(), 4 << 20);
}

void TestExtraction::rarVolumeSets() {
    TestEnv env;
    maker::PrepareRun(env);
    const QString base = "test_rar_multivolume_single_file.";
    const QString set = env.work("set/");
    for (const char* part : {"part1", "part2", "part3"})
        CopyCorpus(base + part + ".rar", set + "v." + part + ".rar");
    const QString old = env.work("old/");
    CopyCorpus(base + "part1.rar", old + "v.rar");
    CopyCorpus(base + "part2.rar", old + "v.r00");
    CopyCorpus(base + "part3.rar", old + "v.r01");
    const QString lone = CopyCorpus(base + "part3.rar", env.work("lone/v.part3.rar"));
    const QString first = CopyCorpus(base + "part1.rar", env.work("first/v.part1.rar"));

    QCOMPARE(DoRar(set + "v.part1.rar"), 0);
    QCOMPARE(DoRar(set + "v.part2.rar"), 0);
    QCOMPARE(DoRar(old + "v.rar"), 0);
    QVERIFY(LinesStarting(env, "DORAR: ").isEmpty());
    QCOMPARE(DoRar(lone), 0);
    QCOMPARE(LinesStarting(env, "DORAR: "),
             QStringList(
                 {"DORAR: " + lone + " - 321: Volume 3 of a set whose first volume is missing"}));
    // A first volume without the rest leaves no truncated file behind.
    QCOMPARE(DoRar(first), 0);
    QVERIFY(LinesStarting(env, "DORAR: ").last().startsWith("DORAR: " + first + " - 321: "));

    QStringList sizes;
    for (const QString& folder : maker::ExtractionFolders(env)) {
        for (const QString& name : maker::NamesIn(folder))
            sizes.append(name + " " + QString::number(QFileInfo(folder + name).size()));
    }
    // The set is unpacked once from each first volume; a later one adds nothing.
    QCOMPARE(sizes,
             QStringList({"LibarchiveAddingTest.html 20111", "LibarchiveAddingTest.html 20111"}));
}

QTEST_GUILESS_MAIN(TestExtraction)
#include "test_extraction.moc"
