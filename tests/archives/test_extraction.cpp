// Unpacking archives the tests build: where files land, what is installed,
// what the player is asked, and that hostile or broken archives never reach
// outside their own private folder.
#include "archive_maker.h"
#include "pipeline/archives.h"
#include "pipeline/zip_bridge.h"

#include <QProcess>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace BrushwickMod;
using maker::File;
using maker::LinesStarting;

class TestExtraction : public QObject {
    Q_OBJECT
private slots:
    void installsFlatLaterNamesWin();
    void macTwinNotInstalled();
    void sevenZipInsideZip();
    void passwordSkippedForTheRun_data();
    void passwordSkippedForTheRun();
    void hostileNamesStayInside_data();
    void hostileNamesStayInside();
    void linksAndDevicesCreateNothing();
    void nestingStops();
    void failingWriteLeavesNothingHalfWritten();
    void rarVolumeSets_data();
    void rarVolumeSets();
    void makeTempNeverReusesAFolder();
    void passwordCutToTheBuffer();
};

static const QString Volumes = "test_rar_multivolume_single_file.part%1.rar";

void TestExtraction::installsFlatLaterNamesWin() {
    TestEnv env;
    maker::PrepareRun(env);
    const QString inner = maker::Zip(env.work("inner.zip"), {File("deep/b.package", "b")});
    const QString rar = maker::CorpusFile("test_read_format_rar5_compressed.rar");
    const QString zip = maker::Zip(env.work("hair.zip"), {{"Hair/", {}, AE_IFDIR},
                                                          File("Hair/Long/long.package", "long"),
                                                          File("Hair/short.package", "short"),
                                                          File("Hair/readme.txt"),
                                                          File("Hair/Old/short.package", "newer"),
                                                          File("x/inner.zip", maker::Read(inner)),
                                                          File("set.rar", maker::Read(rar))});
    QCOMPARE(DoZip(zip), 3);

    QCOMPARE(maker::Extracted(env),
             QStringList({"b.package", "inner.zip", "long.package", "readme.txt", "set.rar",
                          "short.package", "test.bin"}));
    QCOMPARE(maker::NamesIn(env.downloadFolder()),
             QStringList({"b.package", "long.package", "short.package"}));
    QCOMPARE(maker::Read(env.downloadFolder() + "/short.package"), QByteArray("newer"));
    // The file listed last is handled first. The first folder drawn is always 99d.
    const QString f = G().TidselTemp + "99d/";
    QCOMPARE(env.logMessages().filter(
                 QRegularExpression("^(?!MAKETEMP|CLEANUP).*: " + QRegularExpression::escape(f))),
             QStringList({"Package: " + f + "short.package -> " + G().SimsPath + "short.package",
                          "RAR: " + f + "set.rar", "UNHANDLED: " + f + "readme.txt",
                          "Package: " + f + "long.package -> " + G().SimsPath + "long.package",
                          "ZIP: " + f + "inner.zip"}));
    QVERIFY(LinesStarting(env, "BAD ZIP: ").isEmpty());
}

void TestExtraction::macTwinNotInstalled() {
    TestEnv env;
    maker::PrepareRun(env);
    // A zip made on a Mac: every file has a resource-fork twin.
    const QByteArray fork("\x00\x05\x16\x07\x00\x02\x00\x00Mac OS X        ", 24);
    const QString zip = maker::Zip(env.work("mac.zip"), {File("hair/a.package", "a"),
                                                         File("__MACOSX/hair/._a.package", fork)});
    QCOMPARE(DoZip(zip), 1);
    QCOMPARE(maker::NamesIn(env.downloadFolder()), QStringList{"a.package"});
    QCOMPARE(LinesStarting(env, "UNHANDLED: ").size(), 1);
    QVERIFY(LinesStarting(env, "UNHANDLED: ").first().endsWith("/._a.package"));
}

void TestExtraction::sevenZipInsideZip() {
    TestEnv env;
    maker::PrepareRun(env);
    const QByteArray seven = maker::Read(maker::CorpusFile("plain.7z"));
    const QString zip = maker::Zip(env.work("outer.zip"), {File("inner/hair.7z", seven)});
    QCOMPARE(DoZip(zip), 1);
    QCOMPARE(maker::NamesIn(env.downloadFolder()), QStringList{"short.package"});
    QCOMPARE(LinesStarting(env, "7Z: ").size(), 1);
    QVERIFY(LinesStarting(env, "7Z: ").first().endsWith("/hair.7z"));
    QCOMPARE(maker::Extracted(env), QStringList({"hair.7z", "readme.txt", "short.package"}));
}

void TestExtraction::passwordSkippedForTheRun_data() {
    QTest::addColumn<bool>("cancelled");
    // Whether a bad zip is shown as well as logged.
    QTest::addColumn<bool>("alertBox");
    QTest::newRow("empty, box shown") << false << true;
    QTest::newRow("cancelled, box off") << true << false;
}

void TestExtraction::passwordSkippedForTheRun() {
    QFETCH(bool, cancelled);
    QFETCH(bool, alertBox);
    TestEnv env;
    maker::PrepareRun(env);
    G().BadZipAlertBox = alertBox;
    const QString first = maker::Zip(env.work("one.zip"), {File("a.package")}, "pw");
    const QString second = maker::Zip(env.work("two.zip"), {File("b.package")}, "pw", "aes256");
    env.prompts.inputs = {cancelled ? fakes::Cancelled : std::optional<QString>(""), "pw"};
    QCOMPARE(DoZip(first), 0);
    QCOMPARE(DoZip(second), 0);
    QCOMPARE(env.prompts.inputPrompts.size(), 1);
    QCOMPARE(env.prompts.inputPrompts[0].prompt, QString("Please Enter The Password!"));
    QCOMPARE(env.prompts.inputPrompts[0].title, AppTitle);
    QCOMPARE(LinesStarting(env, "BAD ZIP: "),
             QStringList({"BAD ZIP: " + first, "BAD ZIP: " + second}));
    QCOMPARE(env.prompts.boxes.size(), alertBox ? 2 : 0);
    QVERIFY(maker::NamesIn(env.downloadFolder()).isEmpty());
}

void TestExtraction::hostileNamesStayInside_data() {
    QTest::addColumn<QByteArray>("name");
    // Unpacked as x.package, or left out and the archive reported.
    QTest::addColumn<bool>("kept");
    QTest::newRow("parent") << QByteArray("../x.package") << true;
    QTest::newRow("parent, backslash") << QByteArray("..\\x.package") << true;
    QTest::newRow("absolute") << QByteArray("/x.package") << true;
    QTest::newRow("up through a folder") << QByteArray("a/../../x.package") << true;
    QTest::newRow("drive") << QByteArray("C:\\Windows\\x.package") << true;
    QTest::newRow("dot dot") << QByteArray("..") << false;
    QTest::newRow("dot") << QByteArray(".") << false;
    QTest::newRow("folder dot dot") << QByteArray("a/..") << false;
    QTest::newRow("too long") << "far/" + QByteArray(300, 'n') + ".package" << false;
}

void TestExtraction::hostileNamesStayInside() {
    QFETCH(QByteArray, name);
    QFETCH(bool, kept);
    TestEnv env;
    maker::PrepareRun(env);
    const QString zip = maker::Zip(env.work("evil.zip"), {File(name), File("keep.package")});
    const QStringList before = maker::Tree(env.root());

    QCOMPARE(DoZip(zip), kept ? 2 : 1);
    QCOMPARE(maker::Extracted(env).join(", "), kept ? "keep.package, x.package" : "keep.package");
    QCOMPARE(LinesStarting(env, "BAD ZIP: ").size(), kept ? 0 : 1);
    for (const QString& path : maker::Tree(env.root())) {
        QVERIFY2(before.contains(path) || path.startsWith("/drive/temp") ||
                     path.startsWith("/downloads/") || path == "/program/Brushwick2.log",
                 qPrintable(path));
    }
}

void TestExtraction::linksAndDevicesCreateNothing() {
    TestEnv env;
    maker::PrepareRun(env);
    const QString secret = env.writeFile(env.work("secret.package"), "secret");
    const QString links =
        maker::Zip(env.work("links.zip"), {{"evil.package", secret.toUtf8(), AE_IFLNK},
                                           {"up.package", "../../../work/secret.package", AE_IFLNK},
                                           {"dir", "/", AE_IFLNK},
                                           File("dir/inside.package"),
                                           File("real.package")});
    const QString devices = env.work("devices.zip");
    const int made = QProcess::execute(
        "python3", {"-c",
                    "import sys, zipfile\n"
                    "z = zipfile.ZipFile(sys.argv[1], 'w')\n"
                    "for name, mode in (('disk.package', 0o060644), ('tty.package', 0o020644),\n"
                    "                   ('sock.package', 0o140644)):\n"
                    "    i = zipfile.ZipInfo(name); i.create_system = 3\n"
                    "    i.external_attr = mode << 16; z.writestr(i, b'x')\n"
                    "z.writestr('plain.package', b'plain')\n"
                    "z.close()\n",
                    devices});
    QCOMPARE(made, 0);

    QCOMPARE(DoZip(links), 2);
    QCOMPARE(DoZip(devices), 1);
    const QStringList installed{"inside.package", "plain.package", "real.package"};
    QCOMPARE(maker::Extracted(env), installed);
    QCOMPARE(maker::NamesIn(env.downloadFolder()), installed);
    QCOMPARE(maker::Read(env.work("secret.package")), QByteArray("secret"));
    QVERIFY(LinesStarting(env, "BAD ZIP: ").isEmpty());
}

void TestExtraction::nestingStops() {
    TestEnv env;
    maker::PrepareRun(env);
    // Level n holds level n - 1; level 1 holds the package.
    QString archive = maker::Zip(env.work("level1.zip"), {File("deep.package")});
    for (int level = 2; level <= MaxNesting + 1; ++level) {
        archive = maker::Zip(env.work(QString("level%1.zip").arg(level)),
                             {File(QFileInfo(archive).fileName().toUtf8(), maker::Read(archive))});
    }
    QCOMPARE(DoZip(archive), 0);
    const QStringList stopped = LinesStarting(env, "DOZIP: ");
    QCOMPARE(stopped.size(), 1);
    QVERIFY(QRegularExpression("^DOZIP: .*/level1\\.zip - 28: ").match(stopped[0]).hasMatch());
    // The run goes on, and an archive as deep as allowed installs.
    QCOMPARE(DoZip(env.work(QString("level%1.zip").arg(MaxNesting))), 1);
    QCOMPARE(LinesStarting(env, "DOZIP: ").size(), 1);
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
    for (int part = 1; part <= 3; ++part)
        maker::CopyCorpus(Volumes.arg(part), rarSet + QString("v.part%1.rar").arg(part));
    // A disk that takes no file bigger than 16 KiB.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit lowered = saved;
    lowered.rlim_cur = 16 << 10;
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &lowered);
    const int zipped = DoZip(zip);
    const int rarred = DoRar(rarSet + "v.part1.rar");
    setrlimit(RLIMIT_FSIZE, &saved);
    QCOMPARE(zipped, 1);
    QCOMPARE(rarred, 0);
    QCOMPARE(LinesStarting(env, "BAD ZIP: ").size(), 1);
    const QString tooLarge = " - 75: Path/File access error (File too large)";
    QCOMPARE(LinesStarting(env, "DORAR: " + rarSet + "v.part1.rar" + tooLarge).size(), 1);
    QCOMPARE(maker::Extracted(env), QStringList({"small.package"}));
    QCOMPARE(maker::Read(env.downloadFolder() + "/big.package"), QByteArray("old"));

    // Once the disk has room again, the same archive installs whole.
    QCOMPARE(DoZip(zip), 3);
    QCOMPARE(maker::Read(env.downloadFolder() + "/big.package").size(), 4 << 20);
}

void TestExtraction::rarVolumeSets_data() {
    // The names the three volumes are given ("" for one not there), and which is opened.
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("opened");
    // What comes out, or that the set is reported instead.
    QTest::addColumn<QString>("unpacked");
    QTest::addColumn<bool>("reported");
    const QStringList numbered{"v.part1.rar", "v.part2.rar", "v.part3.rar"};
    const QString whole = "LibarchiveAddingTest.html 20111";
    QTest::newRow("numbered set") << numbered << 0 << whole << false;
    QTest::newRow("old-style set") << QStringList{"v.rar", "v.r00", "v.r01"} << 0 << whole << false;
    // Unpacked from its first volume only, never twice.
    QTest::newRow("later volume of a set") << numbered << 1 << "" << false;
    // Never a truncated file.
    QTest::newRow("first volume alone") << QStringList{"v.part1.rar", "", ""} << 0 << "" << true;
}

void TestExtraction::rarVolumeSets() {
    QFETCH(QStringList, names);
    QFETCH(int, opened);
    QFETCH(QString, unpacked);
    QFETCH(bool, reported);
    TestEnv env;
    maker::PrepareRun(env);
    for (int part = 0; part < 3; ++part) {
        if (!names[part].isEmpty())
            maker::CopyCorpus(Volumes.arg(part + 1), env.work(names[part]));
    }
    const QString path = env.work(names[opened]);
    QCOMPARE(DoRar(path), 0);
    QCOMPARE(maker::Extracted(env, true).join(", "), unpacked);
    QCOMPARE(LinesStarting(env, "DORAR: " + path + " - 321: ").size(), reported ? 1 : 0);
}

void TestExtraction::makeTempNeverReusesAFolder() {
    TestEnv env;
    maker::PrepareRun(env);
    // The second draw repeats the first; after that every draw names a taken folder.
    env.process.rnd = {0.0, 0.0, 0.5};
    env.process.rnd.resize(3 + MakeTempTries, 0.5);
    const QString stem = G().TidselTemp;
    QCOMPARE(MakeTemp(), stem + "99d/");
    QCOMPARE(MakeTemp(), stem + "5049d/");
    const QString temp = env.driveFolder() + "/temp";
    QCOMPARE(env.logMessages(),
             QStringList({"MAKETEMP: Mkdir " + temp, "MAKETEMP: " + temp + "/brushwick",
                          "MAKETEMP: " + stem + "99d?", "MAKETEMP: " + stem + "99d/",
                          "MAKETEMP: " + stem + "99d?", "MAKETEMP: " + stem + "5049d?",
                          "MAKETEMP: " + stem + "5049d/"}));
    // What players download stays theirs alone.
    for (const QString& folder : {temp, temp + "/brushwick", stem + "99d", stem + "5049d"}) {
        struct stat st {};
        QCOMPARE(stat(QFile::encodeName(folder).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, 0700u);
    }

    env.writeFile(stem + "5049d/old.package", "from another archive");
    QCOMPARE(DoZip(maker::Zip(env.work("a.zip"), {File("a.package")})), 0);
    QCOMPARE(env.logMessages().count("MAKETEMP: " + stem + "5049d?"), 1 + MakeTempTries);
    QCOMPARE(env.logMessages().last(),
             QString("MAKETEMP: No free folder after %1 tries").arg(MakeTempTries));
    QCOMPARE(maker::NamesIn(stem + "5049d"), QStringList({"old.package"}));
    QVERIFY(maker::NamesIn(env.downloadFolder()).isEmpty());
    QVERIFY(env.prompts.boxes.isEmpty());
}

void TestExtraction::passwordCutToTheBuffer() {
    TestEnv env;
    char buffer[12];
    std::memset(buffer, '#', sizeof buffer);
    env.prompts.inputs = {"abcdefghij"};
    QCOMPARE(VBUnzBas::UnzipPassword(buffer, 8, "prompt", "a.package"), 0);
    QCOMPARE(QByteArray(buffer, 8), QByteArray("abcdefg\0", 8));
    QCOMPARE(QByteArray(buffer + 8, 4), QByteArray("####"));
}

QTEST_GUILESS_MAIN(TestExtraction)
#include "test_extraction.moc"
