// Archives from the wild: bombs, damaged and cut-off archives, names that
// are not what they claim, and the space they take.
#include "archive_maker.h"
#include "pipeline/archives.h"
#include "pipeline/helper_unpack.h"
#include "pipeline/run.h"
#include "pipeline/unpack_guard.h"
#include "state/run_state.h"

#include <QtTest>

#include <clocale>

using namespace BrushwickMod;
using namespace maker;

namespace {

// The limits lowered for one test and put back afterwards.
struct LoweredLimits {
    FileOps::UnpackLimits saved = FileOps::Limits();
    explicit LoweredLimits(const FileOps::UnpackLimits& limits) { FileOps::Limits() = limits; }
    ~LoweredLimits() { FileOps::Limits() = saved; }
};

} // namespace

class TestWildArchives : public QObject {
    Q_OBJECT
private slots:
    void bombsStopAtTheirLimit_data();
    void bombsStopAtTheirLimit();
    void foldersGoWithTheirArchive();
    void onlyWholeEntriesComeOut();
    void namesNeverLost();
    void entriesNamedLikeTemporaryFiles();
    void helperOutputContained();
    void helpersAreWatched_data();
    void helpersAreWatched();
};

void TestWildArchives::bombsStopAtTheirLimit_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("flat") << "flat";
    QTest::newRow("nested") << "nested";
    QTest::newRow("disk reserve") << "reserve";
}

void TestWildArchives::bombsStopAtTheirLimit() {
    QFETCH(QString, kind);
    Run env;
    G().BadZipAlertBox = false;
    const QByteArray zeros(3 << 20, '\0');
    QList<Entry> entries{{"a.package", "first"}, {"zeros.bin", zeros + zeros}, {"z.package"}};
    if (kind == "nested") {
        // Each inner archive is small and harmless alone; together they are not.
        entries.clear();
        for (const QString name : {"in0.zip", "in1.zip", "in2.zip", "in3.zip"})
            entries.append({name.toUtf8(), Content(Zip(env.work(name), {{"zeros.bin", zeros}}))});
    }
    const QString bomb = Zip(env.work(kind + ".zip"), entries);
    // At most 4 MiB (plus nothing for its own size) from the whole archive;
    // or the whole disk is to stay free, and nothing fits.
    const LoweredLimits lowered(kind == "reserve" ? FileOps::UnpackLimits{.reservePercent = 100}
                                                  : FileOps::UnpackLimits{.reserveBytes = 0,
                                                                          .reservePercent = 0,
                                                                          .ratio = 0,
                                                                          .allowance = 4 << 20});

    const int installed = DoZip(bomb);
    // A nested bomb stops at the inner archive that crosses the limit. How
    // much would stay free depends on the disk.
    const QString at = kind == "nested" ? G().TidselTemp + "99d/in2.zip" : bomb;
    const QString why = kind == "reserve"
                            ? "fewer than N MiB would stay free for the temporary files"
                            : kind + ".zip unpacks to more than 0 times its size";
    QCOMPARE(
        LinesStarting(env, "DOZIP: ").replaceInStrings(QRegularExpression("\\d+ MiB"), "N MiB"),
        QStringList{"DOZIP: " + at + " - 61: Disk full (" + why + ")"});
    QCOMPARE(LinesStarting(env, "BAD ZIP: ").size(), 1);
    // What came out whole before the stop is installed; the rest never is.
    QCOMPARE(installed, kind == "flat" ? 1 : 0);
    QCOMPARE(NamesIn(env.downloadFolder()),
             kind == "flat" ? QStringList{"a.package"} : QStringList());
    // One inner archive came out whole before the limit; no entry is half
    // there, and no folder stays.
    QCOMPARE(Extracted(env, true).filter("zeros.bin"),
             kind == "nested" ? QStringList{"zeros.bin 3145728"} : QStringList());
    QCOMPARE(NamesIn(TempRoot(env)), QStringList());
}

void TestWildArchives::foldersGoWithTheirArchive() {
    Run env;
    const QString inner = Zip(env.work("inner.zip"), {{"b.package"}});
    MArray data;
    data.Push(Zip(env.work("pack.zip"), {{"hair.sims2pack"}}));
    data.Push(Zip(env.work("run.zip"), {{"a.package"}, {"inner.zip", Content(inner)}}));
    Handle_Processing(data);
    QVERIFY(env.logMessages().contains("POSTINSTALL: 3 files installed"));
    // Only the folder whose file the game's installer got is left.
    const QStringList left = NamesIn(TempRoot(env));
    QCOMPARE(left.size(), 1);
    QCOMPARE(NamesIn(TempRoot(env) + "/" + left[0]), QStringList{"hair.sims2pack"});
    QCOMPARE(env.shell.opened, QStringList{TempRoot(env) + "/" + left[0] + "/hair.sims2pack"});
}

void TestWildArchives::onlyWholeEntriesComeOut() {
    Run env;
    G().BadZipAlertBox = false;
    // A download cut off inside the archive's fourth file.
    const QByteArray solid = Content(CorpusFile("test_read_format_rar5_solid.rar"));
    const QString cut = env.writeFile(env.work("cut.rar"), solid.left(800));
    QCOMPARE(DoRar(cut), 0); // .bin files are not installed, only handled
    const QStringList got = Extracted(env, true);
    QCOMPARE(got.mid(0, 2), QStringList({"test.bin 1200", "test1.bin 4096"}));
    for (const QString& entry : got)
        QVERIFY2(entry.endsWith(" 1200") || entry.endsWith(" 4096"), qPrintable(entry));
    QVERIFY(!LinesStarting(env, "DORAR: " + cut + " - ").isEmpty());
    QCOMPARE(LinesStarting(env, "UNHANDLED: ").size(), got.size());

    // Stored entries whose archive says they are longer than they are.
    env.writeFile(env.downloadFolder() + "/hair.package", "the good one");
    const QString zip = RawZip(env.work("short.zip"), "[(b'hair.package', 0, b'cut', 300, 0),"
                                                      " (b'ok.package', 0, b'fine', 4, 0)]");
    QCOMPARE(DoZip(zip), 1);
    QCOMPARE(Content(env.downloadFolder() + "/hair.package"), QByteArray("the good one"));
    QCOMPARE(Content(env.downloadFolder() + "/ok.package"), QByteArray("fine"));
    QCOMPARE(LinesStarting(env, "BAD ZIP: " + zip).size(), 1);
    // A rar whose second test.txt declares 300 bytes and holds 20 (as a
    // stored copy record does): the first, whole one is kept.
    Seen().clear();
    // Its header is at 148; the header's CRC is set to match.
    QByteArray rar = Content(CorpusFile("test_read_format_rar.rar"));
    qToLittleEndian<quint32>(300, rar.data() + 148 + 11);
    qToLittleEndian<quint16>(0xD7CB, rar.data() + 148);
    const QString copy = env.writeFile(env.work("copy.rar"), rar);
    DoRar(copy);
    QCOMPARE(Extracted(env, true).filter("test.txt"), QStringList{"test.txt 20"});
    QCOMPARE(LinesStarting(env, "DORAR: " + copy),
             QStringList{"DORAR: " + copy +
                         " - 321: Invalid file format (came out as 20 of 300 bytes) "
                         "(testdir/test.txt)"});
}

void TestWildArchives::namesNeverLost() {
    Run env;
    const QString japanese =
        CopyCorpus("test_read_format_zip_filename_utf8_jp.zip", env.work("jp.zip"));
    const QString unicode = CopyCorpus("test_read_format_rar5_unicode.rar", env.work("u.rar"));
    // Behind the UTF-8 mark: bytes that are not UTF-8, and a line break.
    const QString odd = RawZip(env.work("odd.zip"),
                               "[(b'Caf\\xe9 100%.package', 0x800, b'one', 3, 0),"
                               " (b'evil\\r\\n2026-01-01 - FAKE.package', 0x800, b'two', 3, 0)]");
    // A start without a language: the C locale knows nothing beyond ASCII.
    const QByteArray saved = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C");
    DoZip(japanese);
    DoRar(unicode);
    QCOMPARE(DoZip(odd), 2);
    std::setlocale(LC_ALL, saved.constData());

    QCOMPARE(Extracted(env),
             QStringList({"Caf%E9 100%25.package",
                          QString::fromUtf8("evil\r\n2026-01-01 - FAKE.package"),
                          QString::fromUtf8("一覧表.txt"), QString::fromUtf8("漢字.txt"),
                          QString::fromUtf8("👋🌎.txt")}));
    QVERIFY(LinesStarting(env, "DORAR: ").isEmpty());
    QVERIFY(LinesStarting(env, "BAD ZIP: ").isEmpty());
    // The line break cannot forge a log line.
    QCOMPARE(LinesStarting(env, "FAKE").size(), 0);
    QCOMPARE(LinesStarting(env, "Package: ").filter("evil\\r\\n2026-01-01 - FAKE.package").size(),
             1);
}

void TestWildArchives::entriesNamedLikeTemporaryFiles() {
    Run env;
    QList<Entry> entries{{".~bw2-aaaaaaaa.part"}, {"a.package"}, {"b.package"}, {"c.package"}};
    for (int i = 0; i < 100; ++i)
        entries.append({QString(".~bw%1.part").arg(i).toUtf8()});
    QCOMPARE(DoZip(Zip(env.work("names.zip"), entries)), 3);
    QCOMPARE(Extracted(env).size(), 104);
    QVERIFY(LinesStarting(env, "BAD ZIP: ").isEmpty());
}

void TestWildArchives::helperOutputContained() {
    const QString seven = FileOps::HelperProgram(FileOps::Helper::SevenZip);
    if (seven.isEmpty())
        QSKIP("7-Zip is not installed (scripts/setup installs it)");
    Run env;
    G().BadZipAlertBox = false;
    // An encrypted 7z, so that 7-Zip unpacks it: folders, a name twice, and a
    // link (stored as one) pointing out of the folder.
    const QString content = env.work("content/");
    env.writeFile(content + "one/a.package", "first");
    env.writeFile(content + "two/a.package", "second");
    env.writeFile(content + "deep/er/x.package", "x");
    QVERIFY(QFile::link("../../../../outside.package", content + "link.package"));
    QProcess make;
    make.setWorkingDirectory(content);
    make.start(seven, {"a", "-bd", "-snl", "-pSecret", env.work("evil.7z"), "one", "two", "deep",
                       "link.package"});
    QVERIFY(make.waitForFinished() && make.exitCode() == 0);
    const QStringList before = Tree(env);
    env.prompts.inputs.assign({"Secret", "X", "X", "X"});

    QCOMPARE(Do7z(env.work("evil.7z")), 2);
    // The same name twice comes out once; the link never.
    QCOMPARE(Extracted(env), QStringList({"a.package", "x.package"}));
    QVERIFY(Content(env.downloadFolder() + "/a.package") == "second" ||
            Content(env.downloadFolder() + "/a.package") == "first");
    // Nothing outside the temporary root and the download folder.
    QCOMPARE(Tree(env, before), QStringList());
    // The link that 7-Zip would not follow makes the archive a bad one.
    QCOMPARE(LinesStarting(env, "BAD 7Z: ").size(), 1);

    // Stored, each file on its own, b's bytes damaged: 7-Zip asks whether
    // the password was wrong, although it was right. a still comes out.
    env.writeFile(content + "a.package", QByteArray(1000, 'a'));
    env.writeFile(content + "b.package", QByteArray(1000, 'b'));
    const QString damaged = env.work("damaged.7z");
    make.start(seven, {"a", "-bd", "-pX", "-mx0", "-ms=off", damaged, "a.package", "b.package"});
    QVERIFY(make.waitForFinished() && make.exitCode() == 0);
    QByteArray bytes = Content(damaged);
    bytes[32 + 1500] = char(bytes[32 + 1500] ^ 0xff);
    env.writeFile(damaged, bytes);
    env.prompts.inputPrompts.clear();
    QCOMPARE(Do7z(damaged), 1);
    QCOMPARE(env.prompts.inputPrompts.size(), 1);
    QCOMPARE(LinesStarting(env, "BAD 7Z: ").size(), 2);

    // Damaged throughout, it refuses the right password as a wrong one: the
    // same answer twice ends the asking.
    bytes[32 + 500] = char(bytes[32 + 500] ^ 0xff);
    env.writeFile(damaged, bytes);
    env.prompts.inputPrompts.clear();
    QCOMPARE(Do7z(damaged), 0);
    QCOMPARE(env.prompts.inputPrompts.size(), 2);
    QCOMPARE(LinesStarting(env, "BAD 7Z: ").size(), 3);
}

void TestWildArchives::helpersAreWatched_data() {
    QTest::addColumn<bool>("stopped");
    QTest::newRow("writes beyond the limit") << false;
    QTest::newRow("the run is stopped") << true;
}

void TestWildArchives::helpersAreWatched() {
    // A 7-Zip gone wrong: it writes on and never ends. What it writes is
    // weighed while it runs, and a stop of the run ends it as well.
    QFETCH(bool, stopped);
    Run env;
    G().BadZipAlertBox = false;
    const QString helper = env.writeFile(
        env.work("bin/7zz"), "#!/bin/sh\n"
                             "for a; do case \"$a\" in -o*) out=\"${a#-o}\";; esac; done\n"
                             "head -c 8388608 /dev/zero > \"$out/big.package\"\n"
                             "exec sleep 600\n");
    QVERIFY(QFile::setPermissions(helper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(env.work("bin")) + ":" + path);
    const QString archive = env.work("hung.7z");
    QVERIFY(QFile::copy(CorpusFile("encrypted.7z"), archive));
    const LoweredLimits lowered(
        {.reserveBytes = 0, .reservePercent = 0, .ratio = 1, .allowance = 1 << 20});
    env.prompts.inputs.assign({"Secret"});
    if (stopped)
        env.prompts.onInput = [] { RunControl::RequestStop(); };

    const int installed = Do7z(archive);
    qputenv("PATH", path);
    RunControl::ClearStop();
    QCOMPARE(installed, 0);
    const QStringList report = LinesStarting(env, "DO7Z: ") + LinesStarting(env, "BAD 7Z: ");
    if (stopped)
        QCOMPARE(report, QStringList());
    else
        QCOMPARE(
            report,
            QStringList({"DO7Z: " + archive +
                             " - 61: Disk full (hung.7z unpacks to more than 1 times its size)",
                         "BAD 7Z: " + archive}));
    QCOMPARE(NamesIn(TempRoot(env)), QStringList());
}

QTEST_GUILESS_MAIN(TestWildArchives)
#include "test_wild_archives.moc"
