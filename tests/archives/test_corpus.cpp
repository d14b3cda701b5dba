// Real archives made by other tools, driven by the corpus manifest: what
// each must yield, and that damaged ones only ever give the bad-archive
// report.
#include "archive_maker.h"
#include "pipeline/archives.h"

#include <QtTest>

class TestCorpus : public QObject {
    Q_OBJECT
private slots:
    void unpacks_data();
    void unpacks();
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
        QCOMPARE(c.size(), 6);
        QTest::newRow(qPrintable(c[0])) << c[0] << c[1] << Split(c[3]) << c[4] << Split(c[5]);
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
    const QString path = CopyIn(env, file);
    const bool zip = format == "zip";
    // A wrong answer first: the question comes again.
    if (zip && !passwords.isEmpty())
        env.prompts.inputs.assign({"wrong", passwords[0]});
    QCOMPARE(zip ? BrushwickMod::DoZip(path) : BrushwickMod::DoRar(path), 0);

    // Links and other special entries never come out as anything.
    const QStringList names = maker::Extracted(env);
    const QStringList reports =
        maker::LinesStarting(env, zip ? "BAD ZIP: " + path : "DORAR: " + path + " - ");
    if (!zip)
        QVERIFY(env.prompts.inputPrompts.isEmpty());

    if (expect == "ok") {
        QVERIFY2(reports.isEmpty(), qPrintable(reports.join('\n')));
        QCOMPARE(names, ExpectedNames(file, entries));
        QCOMPARE(env.prompts.inputPrompts.size(), passwords.isEmpty() ? 0 : 2);
    } else {
        // A rar names each entry that did not come out, once something did.
        QVERIFY2(zip || expect == "fail" ? reports.size() == 1 : reports.size() >= 1,
                 qPrintable(reports.join('\n')));
        QCOMPARE(names.isEmpty(), expect == "fail");
        for (const QString& name : names)
            QVERIFY2(entries.contains(name), qPrintable(name));
    }
    // A bad zip is shown too; a rar only ever reaches the log.
    QCOMPARE(env.prompts.boxes.size(), zip && !reports.isEmpty() ? 1 : 0);
    for (const fakes::Box& box : env.prompts.boxes) {
        QCOMPARE(box.prompt, path + " is damaged");
        QCOMPARE(box.style, platform::Box::OKOnly | platform::Box::Information);
        QCOMPARE(box.title, AppTitle);
    }
}

QTEST_GUILESS_MAIN(TestCorpus)
#include "test_corpus.moc"
