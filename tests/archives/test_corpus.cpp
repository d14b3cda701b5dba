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
    void encryptedSkippedWithAnEmptyAnswer_data();
    void encryptedSkippedWithAnEmptyAnswer();
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

// A first volume comes with the rest of its set; anything else alone.
QString CopyIn(const TestEnv& env, const QString& file) {
    if (file.contains(".part1.rar")) {
        const QString stem = file.left(file.indexOf(".part1.rar"));
        for (const QString& sibling : QDir(maker::CorpusFile({})).entryList({stem + ".part*"}))
            maker::CopyCorpus(sibling, env.work(sibling));
    }
    return maker::CopyCorpus(file, env.work(file));
}

bool HelperFor(const QString& format) {
    if (format.startsWith("rar"))
        return !FileOps::HelperProgram(FileOps::Helper::Unar).isEmpty();
    return format == "7z" && !FileOps::HelperProgram(FileOps::Helper::SevenZip).isEmpty();
}

int Unpack(const QString& format, const QString& path) {
    if (format == "zip")
        return BrushwickMod::DoZip(path);
    if (format == "7z")
        return BrushwickMod::Do7z(path);
    if (format == "sims2pack")
        return BrushwickMod::HandleFile(path);
    return BrushwickMod::DoRar(path);
}

// The line a damaged archive of the format is reported with.
QString ReportStart(const QString& format, const QString& path) {
    if (format == "zip")
        return "BAD ZIP: " + path;
    if (format == "7z")
        return "BAD 7Z: " + path;
    if (format == "sims2pack")
        return "SIMS2PACK: " + path + " goes to the game's installer (";
    return "DORAR: " + path + " - ";
}

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
        const bool helped = !c[6].isEmpty() && HelperFor(c[1]);
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

    TestEnv env;
    maker::PrepareRun(env);
    G().Sims2PackSelf = true;
    const QString path = CopyIn(env, file);
    // A wrong answer first: the question comes again.
    if (!passwords.isEmpty())
        env.prompts.inputs.assign({"wrong", passwords[0]});
    const int installed = Unpack(format, path);

    const QStringList names =
        format == "sims2pack" ? maker::NamesIn(env.downloadFolder()) : maker::Extracted(env);
    const QStringList reports = maker::LinesStarting(env, ReportStart(format, path));
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
    QCOMPARE(env.prompts.boxes.size(), shown ? 1 : 0);
    for (const fakes::Box& box : env.prompts.boxes) {
        QCOMPARE(box.prompt, path + " is damaged");
        QCOMPARE(box.style, platform::Box::OKOnly | platform::Box::Information);
        QCOMPARE(box.title, AppTitle);
    }
    // A container left to the game's installer goes there.
    QCOMPARE(env.shell.opened.size(), format == "sims2pack" && expect == "fail" ? 1 : 0);
}

void TestCorpus::encryptedSkippedWithAnEmptyAnswer_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("rar, encrypted names") << "test_read_format_rar5_encrypted_filenames.rar";
    QTest::newRow("7z, encrypted data") << "encrypted.7z";
}

void TestCorpus::encryptedSkippedWithAnEmptyAnswer() {
    QFETCH(QString, file);
    TestEnv env;
    maker::PrepareRun(env);
    G().BadZipAlertBox = false;
    const QString first = CopyIn(env, file);
    const QString second = maker::CopyCorpus(file, env.work("again/" + file));
    env.prompts.inputs.assign({""});
    Unpack(file.endsWith(".rar") ? "rar" : "7z", first);
    Unpack(file.endsWith(".rar") ? "rar" : "7z", second);
    // One question for the run; nothing came out of either.
    QCOMPARE(env.prompts.inputPrompts.size(), 1);
    QCOMPARE(maker::Extracted(env), QStringList());
    QCOMPARE(G().Zip.UnzipSkipPassword, qint16(1));
}

QTEST_GUILESS_MAIN(TestCorpus)
#include "test_corpus.moc"
