// Unpacking archives the tests build: where files land, what is installed,
// what the player is asked, and that hostile or broken archives never reach
// outside their own private folder.
#include "archive_maker.h"
#include "pipeline/archives.h"

#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace BrushwickMod;
using namespace maker;

class TestExtraction : public QObject {
    Q_OBJECT
private slots:
    void installsFlatLaterNamesWin();
    void hostileNamesStayInside_data();
    void hostileNamesStayInside();
    void linksAndDevicesCreateNothing();
    void nestingStops();
    void failingWriteLeavesNothingHalfWritten();
    void rarVolumeSets();
    void makeTempNeverReusesAFolder();
};

// The three volumes of a real set, stored in the old numbering.
static const QStringList Volumes{"test_rar_multivolume_single_file.rar",
                                 "test_rar_multivolume_single_file.r00",
                                 "test_rar_multivolume_single_file.r01"};

void TestExtraction::installsFlatLaterNamesWin() {
    Run env;
    const QString inner = Zip(env.work("inner.zip"), {{"deep/b.package", "b"}});
    const QByteArray rar = Content(CorpusFile("test_read_format_rar5_compressed.rar"));
    // Made on a Mac: the resource-fork twin is named like a package.
    const QByteArray fork("\x00\x05\x16\x07\x00\x02\x00\x00Mac OS X        ", 24);
    const QString zip = Zip(env.work("hair.zip"), {{"Hair/", {}, AE_IFDIR},
                                                   {"Hair/Long/long.package", "long"},
                                                   {"Hair/top.package", "top"},
                                                   {"Hair/readme.txt"},
                                                   {"Hair/Old/top.package", "newer"},
                                                   {"__MACOSX/Hair/._top.package", fork},
                                                   {"x/inner.zip", Content(inner)},
                                                   {"set.rar", rar},
                                                   {"y/hair.7z", Content(CorpusFile("plain.7z"))}});
    QCOMPARE(DoZip(zip), 4);

    QCOMPARE(Extracted(env), QStringList({"._top.package", "b.package", "hair.7z", "inner.zip",
                                          "long.package", "readme.txt", "readme.txt", "set.rar",
                                          "short.package", "test.bin", "top.package"}));
    QCOMPARE(NamesIn(env.downloadFolder()),
             QStringList({"b.package", "long.package", "short.package", "top.package"}));
    QCOMPARE(Content(env.downloadFolder() + "/top.package"), QByteArray("newer"));
    // The file listed last is handled first. The first folder drawn is always 99d.
    const QString f = G().TidselTemp + "99d/";
    QCOMPARE(env.logMessages().filter(
                 QRegularExpression("^(?!MAKETEMP|CLEANUP).*: " + QRegularExpression::escape(f))),
             QStringList({"Package: " + f + "top.package -> " + G().SimsPath + "top.package",
                          "RAR: " + f + "set.rar", "UNHANDLED: " + f + "readme.txt",
                          "Package: " + f + "long.package -> " + G().SimsPath + "long.package",
                          "ZIP: " + f + "inner.zip", "7Z: " + f + "hair.7z",
                          "UNHANDLED: " + f + "._top.package"}));
    QVERIFY(LinesStarting(env, "BAD ZIP: ").isEmpty());
}

void TestExtraction::hostileNamesStayInside_data() {
    // Those ending in x.package come out as x.package; the rest are left out
    // and the archive reported.
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("parent") << QByteArray("../x.package");
    QTest::newRow("parent, backslash") << QByteArray("..\\x.package");
    QTest::newRow("absolute") << QByteArray("/x.package");
    QTest::newRow("up through a folder") << QByteArray("a/../../x.package");
    QTest::newRow("drive") << QByteArray("C:\\Windows\\x.package");
    QTest::newRow("dot dot") << QByteArray("..");
    QTest::newRow("dot") << QByteArray(".");
    QTest::newRow("folder dot dot") << QByteArray("a/..");
    QTest::newRow("too long") << "far/" + QByteArray(300, 'n') + ".package";
}

void TestExtraction::hostileNamesStayInside() {
    QFETCH(QByteArray, name);
    const bool kept = name.endsWith("x.package");
    Run env;
    const QString zip = Zip(env.work("evil.zip"), {{name}, {"keep.package"}});
    const QStringList before = Tree(env);

    QCOMPARE(DoZip(zip), kept ? 2 : 1);
    QCOMPARE(Extracted(env).join(", "), kept ? "keep.package, x.package" : "keep.package");
    QCOMPARE(LinesStarting(env, "BAD ZIP: ").size(), kept ? 0 : 1);
    QCOMPARE(Tree(env, before), QStringList());
}

void TestExtraction::linksAndDevicesCreateNothing() {
    Run env;
    const QString secret = env.writeFile(env.work("secret.package"), "secret");
    const QString links =
        Zip(env.work("links.zip"), {{"evil.package", secret.toUtf8(), AE_IFLNK},
                                    {"up.package", "../../../work/secret.package", AE_IFLNK},
                                    {"dir", "/", AE_IFLNK},
                                    {"dir/inside.package"},
                                    {"real.package"}});
    // A disk, a terminal and a socket, each named like a package.
    const QString devices =
        RawZip(env.work("devices.zip"), "[(b'disk.package', 0, b'x', 1, 0o060644),"
                                        " (b'tty.package', 0, b'x', 1, 0o020644),"
                                        " (b'sock.package', 0, b'x', 1, 0o140644),"
                                        " (b'plain.package', 0, b'plain', 5, 0)]");

    QCOMPARE(DoZip(links), 2);
    QCOMPARE(DoZip(devices), 1);
    QCOMPARE(Extracted(env), QStringList({"inside.package", "plain.package", "real.package"}));
    QCOMPARE(Content(secret), QByteArray("secret"));
    QVERIFY(LinesStarting(env, "BAD ZIP: ").isEmpty());
}

void TestExtraction::nestingStops() {
    Run env;
    // Level n holds level n - 1; level 1 holds the package.
    QString archive = Zip(env.work("level1.zip"), {{"deep.package"}});
    for (int level = 2; level <= MaxNesting + 1; ++level)
        archive = Zip(env.work(QString("level%1.zip").arg(level)),
                      {{QFileInfo(archive).fileName().toUtf8(), Content(archive)}});
    QCOMPARE(DoZip(archive), 0);
    // The run goes on, and an archive as deep as allowed installs.
    QCOMPARE(DoZip(env.work(QString("level%1.zip").arg(MaxNesting))), 1);
    const QStringList stopped = LinesStarting(env, "DOZIP: ");
    QCOMPARE(stopped.size(), 1);
    QVERIFY(QRegularExpression("^DOZIP: .*/level1\\.zip - 28: ").match(stopped[0]).hasMatch());
}

void TestExtraction::failingWriteLeavesNothingHalfWritten() {
    Run env;
    env.writeFile(env.downloadFolder() + "/big.package", "old");
    const QString zip = Zip(env.work("big.zip"), {{"small.package", "small"},
                                                  {"big.package", QByteArray(4 << 20, 'z')},
                                                  {"after.package", "after"}});
    const QString rarSet = env.work("set/");
    for (int part = 1; part <= 3; ++part)
        CopyCorpus(Volumes[part - 1], rarSet + QString("v.part%1.rar").arg(part));
    // A disk that takes no file bigger than 16 KiB.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit lowered{16 << 10, saved.rlim_max};
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
    QCOMPARE(Extracted(env), QStringList({"small.package"}));
    QCOMPARE(Content(env.downloadFolder() + "/big.package"), QByteArray("old"));

    // Once the disk has room again, the same archive installs whole.
    QCOMPARE(DoZip(zip), 3);
    QCOMPARE(Content(env.downloadFolder() + "/big.package").size(), 4 << 20);
}

void TestExtraction::rarVolumeSets() {
    const QStringList numbered{"v.part1.rar", "v.part2.rar", "v.part3.rar"};
    const QString whole = "LibarchiveAddingTest.html 20111";
    // The names the three volumes are given ("" for one not there), which is
    // opened, what comes out, and whether the set is reported instead.
    const QList<std::tuple<QStringList, int, QString, bool>> sets{
        {numbered, 0, whole, false},
        {{"v.rar", "v.r00", "v.r01"}, 0, whole, false},
        // Unpacked from its first volume only, never twice.
        {numbered, 1, "", false},
        // Never a truncated file.
        {{"v.part1.rar", "", ""}, 0, "", true}};
    for (const auto& [names, opened, unpacked, reported] : sets) {
        Run env;
        for (int part = 0; part < 3; ++part)
            if (!names[part].isEmpty())
                CopyCorpus(Volumes[part], env.work(names[part]));
        const QString path = env.work(names[opened]);
        QCOMPARE(DoRar(path), 0);
        QCOMPARE(Extracted(env, true).join(", "), unpacked);
        QCOMPARE(LinesStarting(env, "DORAR: " + path + " - 321: ").size(), reported ? 1 : 0);
    }
}

void TestExtraction::makeTempNeverReusesAFolder() {
    Run env;
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
    QCOMPARE(DoZip(Zip(env.work("a.zip"), {{"a.package"}})), 0);
    QCOMPARE(env.logMessages().count("MAKETEMP: " + stem + "5049d?"), 1 + MakeTempTries);
    QCOMPARE(env.logMessages().last(),
             QString("MAKETEMP: No free folder after %1 tries").arg(MakeTempTries));
    QCOMPARE(NamesIn(stem + "5049d"), QStringList({"old.package"}));
    QVERIFY(env.prompts.boxes.isEmpty());
}

QTEST_GUILESS_MAIN(TestExtraction)
#include "test_extraction.moc"
