// Archives from the wild: bombs, damaged and cut-off archives, names that
// are not what they claim, and the space they take.
#include "archive_maker.h"
#include "pipeline/archives.h"
#include "pipeline/helper_unpack.h"
#include "pipeline/run.h"
#include "pipeline/unpack_guard.h"

#include <QProcess>
#include <QtTest>

#include <clocale>

using namespace BrushwickMod;
using maker::File;
using maker::LinesStarting;

namespace {

// The limits lowered for one test and put back afterwards.
struct LoweredLimits {
    FileOps::UnpackLimits saved = FileOps::Limits();
    explicit LoweredLimits(const FileOps::UnpackLimits& limits) { FileOps::Limits() = limits; }
    ~LoweredLimits() { FileOps::Limits() = saved; }
};

FileOps::UnpackLimits RatioOnly(qint64 ratio, qint64 allowance) {
    FileOps::UnpackLimits limits;
    limits.reserveBytes = 0;
    limits.reservePercent = 0;
    limits.ratio = ratio;
    limits.allowance = allowance;
    return limits;
}

// A zip written byte by byte (stored entries), so that its names and sizes
// can say what a tool would never write: each entry is name, UTF-8 flag,
// data and the uncompressed size it declares.
QString RawZip(const QString& path, const QString& entries) {
    const int made = QProcess::execute(
        "python3", {"-c",
                    "import struct, sys, zlib\n"
                    "out, cd = bytearray(), bytearray()\n"
                    "for name, flag, data, size in eval(sys.argv[2]):\n"
                    "    off, crc = len(out), zlib.crc32(data)\n"
                    "    out += struct.pack('<IHHHHHIIIHH', 0x04034b50, 20, flag, 0, 0, 0, crc,"
                    " len(data), size, len(name), 0) + name + data\n"
                    "    cd += struct.pack('<IHHHHHHIIIHHHHHII', 0x02014b50, 20, 20, flag, 0, 0,"
                    " 0, crc, len(data), size, len(name), 0, 0, 0, 0, 0, off) + name\n"
                    "n = len(eval(sys.argv[2]))\n"
                    "out += cd + struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, n, n, len(cd),"
                    " len(out), 0)\n"
                    "open(sys.argv[1], 'wb').write(out)\n",
                    path, entries});
    if (made != 0)
        QTest::qFail("python3 could not write the zip", __FILE__, __LINE__);
    return path;
}

} // namespace

class TestWildArchives : public QObject {
    Q_OBJECT
private slots:
    void bombsStopAtTheirLimit_data();
    void bombsStopAtTheirLimit();
    void diskReserveStopsUnpacking();
    void foldersGoWithTheirArchive();
    void cutOffRarInstallsWholeEntries();
    void namesNeverLost();
    void declaredSizeChecked();
    void entriesNamedLikeTemporaryFiles();
    void helperOutputContained();
};

void TestWildArchives::bombsStopAtTheirLimit_data() {
    QTest::addColumn<bool>("nested");
    QTest::newRow("flat") << false;
    QTest::newRow("nested") << true;
}

void TestWildArchives::bombsStopAtTheirLimit() {
    QFETCH(bool, nested);
    TestEnv env;
    maker::PrepareRun(env);
    G().BadZipAlertBox = false;
    const QByteArray zeros(3 << 20, '\0');
    QString bomb;
    if (!nested) {
        bomb =
            maker::Zip(env.work("flat.zip"), {File("a.package", "first"),
                                              File("zeros.bin", zeros + zeros), File("z.package")});
    } else {
        // Each inner archive is small and harmless alone; together they are not.
        QList<maker::Entry> inner;
        for (int i = 0; i < 4; ++i) {
            const QString one =
                maker::Zip(env.work(QString("in%1.zip").arg(i)), {File("zeros.bin", zeros)});
            inner.append(File(QString("in%1.zip").arg(i).toUtf8(), maker::Read(one)));
        }
        bomb = maker::Zip(env.work("nested.zip"), inner);
    }
    // At most 4 MiB (plus nothing for its own size) from the whole archive.
    const LoweredLimits limits(RatioOnly(0, 4 << 20));

    const int installed = DoZip(bomb);
    const QStringList stops = LinesStarting(env, "DOZIP: ");
    QCOMPARE(stops.size(), 1);
    QVERIFY2(stops[0].contains(" - 61: Disk full (" + QFileInfo(bomb).fileName() +
                               " unpacks to more than 0 times its size)"),
             qPrintable(stops[0]));
    QCOMPARE(LinesStarting(env, "BAD ZIP: ").size(), 1);
    // What came out whole before the stop is installed; the rest never is.
    QCOMPARE(installed, nested ? 0 : 1);
    QCOMPARE(maker::NamesIn(env.downloadFolder()),
             nested ? QStringList() : QStringList{"a.package"});
    // Nothing half-written stays, and no folder either.
    // One inner archive came out whole before the limit; no entry is half there.
    QCOMPARE(maker::Extracted(env).filter("zeros.bin").size(), nested ? 1 : 0);
    for (const QString& entry : maker::Extracted(env, true))
        QVERIFY2(!entry.startsWith("zeros.bin ") || entry == "zeros.bin 3145728",
                 qPrintable(entry));
    QCOMPARE(maker::NamesIn(maker::TempRoot(env)), QStringList());
}

void TestWildArchives::diskReserveStopsUnpacking() {
    TestEnv env;
    maker::PrepareRun(env);
    G().BadZipAlertBox = false;
    FileOps::UnpackLimits all;
    all.reservePercent = 100; // the whole disk is to stay free: nothing fits
    const LoweredLimits limits(all);
    const QString zip = maker::Zip(env.work("a.zip"), {File("a.package")});
    QCOMPARE(DoZip(zip), 0);
    const QStringList stops = LinesStarting(env, "DOZIP: " + zip + " - 61: Disk full (fewer than ");
    QCOMPARE(stops.size(), 1);
    QVERIFY(stops[0].endsWith(" MiB would stay free for the temporary files)"));
    QCOMPARE(LinesStarting(env, "BAD ZIP: ").size(), 1);
}

void TestWildArchives::foldersGoWithTheirArchive() {
    TestEnv env;
    maker::PrepareRun(env);
    const QString inner = maker::Zip(env.work("inner.zip"), {File("b.package")});
    const QString zip =
        maker::Zip(env.work("run.zip"), {File("a.package"), File("inner.zip", maker::Read(inner))});
    const QString pack = maker::Zip(env.work("pack.zip"), {File("hair.sims2pack")});
    MArray data;
    data.Push(pack);
    data.Push(zip);
    Handle_Processing(data);
    QVERIFY(env.logMessages().contains("POSTINSTALL: 3 files installed"));
    // Only the folder whose file the game's installer got is left.
    const QStringList left = maker::NamesIn(maker::TempRoot(env));
    QCOMPARE(left.size(), 1);
    QCOMPARE(maker::NamesIn(maker::TempRoot(env) + "/" + left[0]), QStringList{"hair.sims2pack"});
    QCOMPARE(env.shell.opened.size(), 1);
    QVERIFY(env.shell.opened[0].startsWith(maker::TempRoot(env) + "/" + left[0] + "/"));
}

void TestWildArchives::cutOffRarInstallsWholeEntries() {
    TestEnv env;
    maker::PrepareRun(env);
    // A download cut off inside the archive's fourth file.
    const QByteArray whole = maker::Read(maker::CorpusFile("test_read_format_rar5_solid.rar"));
    const QString cut = env.writeFile(env.work("cut.rar"), whole.left(800));
    QCOMPARE(DoRar(cut), 0); // .bin files are not installed, only handled
    const QStringList got = maker::Extracted(env, true);
    QVERIFY2(got.size() >= 2, qPrintable(got.join(", ")));
    QCOMPARE(got.mid(0, 2), QStringList({"test.bin 1200", "test1.bin 4096"}));
    for (const QString& entry : got)
        QVERIFY2(entry.endsWith(" 1200") || entry.endsWith(" 4096"), qPrintable(entry));
    const QStringList failed = LinesStarting(env, "DORAR: " + cut + " - ");
    QVERIFY(!failed.isEmpty());
    QCOMPARE(LinesStarting(env, "UNHANDLED: ").size(), got.size());
}

void TestWildArchives::namesNeverLost() {
    TestEnv env;
    maker::PrepareRun(env);
    // A start without a language: the C locale knows nothing beyond ASCII.
    const QByteArray saved = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C");
    const QString japanese =
        maker::CopyCorpus("test_read_format_zip_filename_utf8_jp.zip", env.work("jp.zip"));
    const QString unicode =
        maker::CopyCorpus("test_read_format_rar5_unicode.rar", env.work("u.rar"));
    // Behind the UTF-8 mark: bytes that are not UTF-8, and a line break.
    const QString odd =
        RawZip(env.work("odd.zip"), "[(b'Caf\\xe9 100%.package', 0x800, b'one', 3),"
                                    " (b'evil\\r\\n2026-01-01 - FAKE.package', 0x800, b'two', 3)]");
    DoZip(japanese);
    DoRar(unicode);
    DoZip(odd);
    std::setlocale(LC_ALL, saved.constData());

    QStringList names = maker::Extracted(env);
    QCOMPARE(names, QStringList({"Caf%E9 100%25.package",
                                 QString::fromUtf8("evil\r\n2026-01-01 - FAKE.package"),
                                 QString::fromUtf8("一覧表.txt"), QString::fromUtf8("漢字.txt"),
                                 QString::fromUtf8("👋🌎.txt")}));
    QVERIFY(LinesStarting(env, "BAD ZIP: ").isEmpty());
    QVERIFY(LinesStarting(env, "DORAR: ").isEmpty());
    // The line break cannot forge a log line.
    QCOMPARE(LinesStarting(env, "FAKE").size(), 0);
    QCOMPARE(LinesStarting(env, "Package: ").filter("evil\\r\\n2026-01-01 - FAKE.package").size(),
             1);
}

void TestWildArchives::declaredSizeChecked() {
    TestEnv env;
    maker::PrepareRun(env);
    G().BadZipAlertBox = false;
    env.writeFile(env.downloadFolder() + "/hair.package", "the good one");
    // A stored entry whose archive says it is longer than it is.
    const QString zip = RawZip(env.work("short.zip"), "[(b'hair.package', 0, b'cut', 300),"
                                                      " (b'ok.package', 0, b'fine', 4)]");
    QCOMPARE(DoZip(zip), 1);
    QCOMPARE(maker::Read(env.downloadFolder() + "/hair.package"), QByteArray("the good one"));
    QCOMPARE(maker::Read(env.downloadFolder() + "/ok.package"), QByteArray("fine"));
    QCOMPARE(LinesStarting(env, "BAD ZIP: " + zip).size(), 1);

    // A rar whose second test.txt declares 300 bytes and holds 20 (as a
    // stored copy record does): the first, whole one is kept.
    QByteArray rar = maker::Read(maker::CorpusFile("test_read_format_rar.rar"));
    const int header = 148;
    qToLittleEndian<quint32>(300, rar.data() + header + 11);
    const quint16 size = qFromLittleEndian<quint16>(rar.constData() + header + 5);
    quint32 crc = 0xFFFFFFFF; // CRC-32, of which rar keeps the low half
    for (int i = header + 2; i < header + size; ++i) {
        crc ^= quint8(rar[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    crc = ~crc;
    qToLittleEndian<quint16>(quint16(crc & 0xFFFF), rar.data() + header);
    const QString patched = env.writeFile(env.work("copy.rar"), rar);
    DoRar(patched);
    QCOMPARE(maker::Extracted(env, true).filter("test.txt"), QStringList{"test.txt 20"});
    QCOMPARE(LinesStarting(env, "DORAR: " + patched),
             QStringList{"DORAR: " + patched +
                         " - 321: Invalid file format (came out as 20 of 300 bytes) "
                         "(testdir/test.txt)"});
}

void TestWildArchives::entriesNamedLikeTemporaryFiles() {
    TestEnv env;
    maker::PrepareRun(env);
    QList<maker::Entry> entries;
    for (int i = 0; i < 100; ++i)
        entries.append(File(QString(".~bw%1.part").arg(i).toUtf8()));
    entries.append(File(".~bw2-aaaaaaaa.part"));
    for (const char* name : {"a.package", "b.package", "c.package"})
        entries.append(File(name, name));
    const QString zip = maker::Zip(env.work("names.zip"), entries);
    QCOMPARE(DoZip(zip), 3);
    QCOMPARE(maker::Extracted(env).size(), 104);
    QVERIFY(LinesStarting(env, "BAD ZIP: ").isEmpty());
}

void TestWildArchives::helperOutputContained() {
    const QString seven = FileOps::HelperProgram(FileOps::Helper::SevenZip);
    if (seven.isEmpty())
        QSKIP("7-Zip is not installed (scripts/setup installs it)");
    TestEnv env;
    maker::PrepareRun(env);
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
    QDir(content).removeRecursively();
    const QStringList before = maker::Tree(env.root());
    env.prompts.inputs.assign({"Secret"});

    const int installed = Do7z(env.work("evil.7z"));
    const QStringList got = maker::Extracted(env);
    QVERIFY2(!got.join(',').contains("not a plain file"), qPrintable(got.join(", ")));
    QVERIFY(got.contains("a.package") && got.contains("x.package"));
    QCOMPARE(installed, int(got.filter(QRegularExpression("\\.package$")).size()));
    QVERIFY(maker::Read(env.downloadFolder() + "/a.package") == "second" ||
            maker::Read(env.downloadFolder() + "/a.package") == "first");
    // Nothing outside the temporary root and the download folder.
    for (const QString& path : maker::Tree(env.root()))
        QVERIFY2(before.contains(path) || path.startsWith("/drive/temp") ||
                     path.startsWith("/downloads/") || path == "/program/Brushwick2.log",
                 qPrintable(path));
    QVERIFY(!QFileInfo::exists(env.root() + "/outside.package"));
    // The link that 7-Zip would not follow makes the archive a bad one.
    QCOMPARE(LinesStarting(env, "BAD 7Z: ").size(), 1);
}

QTEST_GUILESS_MAIN(TestWildArchives)
#include "test_wild_archives.moc"
