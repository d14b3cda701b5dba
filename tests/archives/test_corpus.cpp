// Real archives and containers, driven by the fixtures' manifest: what each
// must yield (with the helper programs where libarchive cannot read one),
// and that damaged ones only ever give the bad-archive report.
#include "archive_maker.h"
#include "pipeline/archives.h"
#include "pipeline/handle_file.h"
#include "pipeline/helper_unpack.h"

#include <QtTest>

class TestCorpus : public QObject {
    Q_OBJECT
private slots:
    void unpacks_data();
    void unpacks();
    void encryptedSkippedForTheRun();
};

namespace {

QStringList Split(const QString& column) {
    return column.isEmpty() ? QStringList() : column.split(QLatin1Char('|'));
}

// The manifest writes names that are not UTF-8 as \xNN escapes. Those are
// legacy names without the UTF-8 mark, which are read in the DOS code page.
QStringList ExpectedNames(const QString& file, const QStringList& entries) {
    QStringList names = entries;
    if (file == "test_read_format_zip_filename_cp866.zip")
        names = QStringList{QString::fromUtf8("ÅÉêéàÆ"), QString::fromUtf8("»α¿óÑΓ")};
    names.removeDuplicates();
    names.sort();
    return names;
}

// A first volume (name.rar beside name.r00, ...) comes with the rest of its
// set; anything else alone.
QString CopyIn(const TestEnv& env, const QString& file) {
    if (file.endsWith(".rar")) {
        const QString stem = file.chopped(4);
        for (const QString& sibling :
             QDir(maker::CorpusFile({})).entryList({stem + ".r[0-9][0-9]"}))
            maker::CopyCorpus(sibling, env.work(sibling));
    }
    return maker::CopyCorpus(file, env.work(file));
}

struct Format {
    int (*unpack)(const QString& path);
    // The line a damaged archive is reported with.
    QString report;
};
const QMap<QString, Format> Formats{
    {"zip", {BrushwickMod::DoZip, "BAD ZIP: %1"}},
    {"7z", {BrushwickMod::Do7z, "BAD 7Z: %1"}},
    {"sims2pack", {BrushwickMod::HandleFile, "SIMS2PACK: %1 goes to the game's installer ("}},
    {"rar4", {BrushwickMod::DoRar, "DORAR: %1 - "}},
    {"rar5", {BrushwickMod::DoRar, "DORAR: %1 - "}}};

} // namespace

void TestCorpus::unpacks_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("passwords");
    QTest::addColumn<QString>("expect");
    QTest::addColumn<QStringList>("entries");
    QFile manifest(maker::CorpusFile("manifest.tsv"));
    QVERIFY2(manifest.open(QIODevice::ReadOnly), "the archive manifest is missing");
    const QStringList lines = QString::fromUtf8(manifest.readAll()).split('\n', Qt::SkipEmptyParts);
    for (const QString& line : lines.mid(1)) {
        const QStringList c = line.split('\t');
        QCOMPARE(c.size(), 8);
        QVERIFY2(Formats.contains(c[1]), qPrintable(c[1]));
        // Only rar and 7z rows say what their helper unpacks.
        const auto helper = c[1] == "7z" ? FileOps::Helper::SevenZip : FileOps::Helper::Unar;
        const bool helped = !c[6].isEmpty() && !FileOps::HelperProgram(helper).isEmpty();
        QTest::newRow(qPrintable(c[0]))
            << c[0] << c[1] << Split(c[3]) << (helped ? c[6] : c[4]) << Split(helped ? c[7] : c[5]);
    }
}

void TestCorpus::unpacks() {
    QFETCH(QString, file);
    QFETCH(QString, format);
    QFETCH(QStringList, passwords);
    QFETCH(QString, expect);
    QFETCH(QStringList, entries);

    maker::Run env;
    G().Sims2PackSelf = true;
    const QString path = CopyIn(env, file);
    // A wrong answer first: the question comes again.
    if (!passwords.isEmpty())
        env.prompts.inputs.assign({"wrong", passwords[0]});
    const int installed = Formats[format].unpack(path);

    const QStringList names =
        format == "sims2pack" ? maker::NamesIn(env.downloadFolder()) : maker::Extracted(env);
    const QStringList reports = maker::LinesStarting(env, Formats[format].report.arg(path));
    if (expect == "ok") {
        QVERIFY2(reports.isEmpty(), qPrintable(reports.join('\n')));
        QCOMPARE(names, ExpectedNames(file, entries));
        QCOMPARE(installed, int(names.filter(QRegularExpression("\\.package$")).size()));
    } else {
        // A rar names each entry that did not come out, once something did.
        QVERIFY2(format.startsWith("rar") && expect == "partial" ? reports.size() >= 1
                                                                 : reports.size() == 1,
                 qPrintable(reports.join('\n')));
        QCOMPARE(names.isEmpty(), expect == "fail");
        for (const QString& name : names)
            QVERIFY2(entries.contains(name), qPrintable(name));
    }
    // A password is asked only of encrypted archives, again after a wrong one.
    if (passwords.isEmpty())
        QVERIFY(env.prompts.inputPrompts.isEmpty());
    else if (expect == "ok")
        QCOMPARE(env.prompts.inputPrompts.size(), 2);
    // A bad zip or 7z is shown too; a rar only ever reaches the log.
    const bool shown = (format == "zip" || format == "7z") && !reports.isEmpty();
    const int info = platform::Box::OKOnly | platform::Box::Information;
    const QString box = path + " is damaged|" + QString::number(info) + "|" + AppTitle;
    QCOMPARE(Boxes(env.prompts), shown ? QStringList{box} : QStringList());
    // A container left to the game's installer goes there.
    QCOMPARE(env.shell.opened.size(), format == "sims2pack" && expect == "fail" ? 1 : 0);
}

void TestCorpus::encryptedSkippedForTheRun() {
    const QString names = "test_read_format_rar5_encrypted_filenames.rar";
    // Two archives of a format, and whether a bad archive is shown as well as logged.
    const QList<std::tuple<QString, QString, QString, bool>> runs{
        {"zip", "test_read_format_zip_traditional_encryption_data.zip",
         "test_read_format_zip_winzip_aes256.zip", true},
        {"rar5", names, names, true},
        {"7z", "encrypted.7z", "encrypted_headers.7z", false}};
    for (const auto& [format, first, second, alertBox] : runs) {
        maker::Run env;
        G().BadZipAlertBox = alertBox;
        const QString one = CopyIn(env, first);
        const QString two = maker::CopyCorpus(second, env.work("again/" + second));
        env.prompts.inputs = {"", "wrong"};
        QCOMPARE(Formats[format].unpack(one), 0);
        QCOMPARE(Formats[format].unpack(two), 0);
        // One question for the run, and nothing came out of either.
        QCOMPARE(env.prompts.inputPrompts.size(), 1);
        QCOMPARE(maker::Extracted(env), QStringList());
        // Both are reported: a zip or 7z with its bare line, a rar with why.
        for (const QString& path : {one, two}) {
            const QStringList lines = maker::LinesStarting(env, Formats[format].report.arg(path));
            QCOMPARE(lines.size(), 1);
            QVERIFY2(format == "rar5" || lines[0] == Formats[format].report.arg(path),
                     qPrintable(lines[0]));
        }
        QCOMPARE(env.prompts.boxes.size(), alertBox && format != "rar5" ? 2 : 0);
    }
}

QTEST_GUILESS_MAIN(TestCorpus)
#include "test_corpus.moc"
