// Real archives made by other tools, driven by the corpus manifest: what
// each must yield, and that damaged ones only ever give the bad-archive
// report.
#include "archive_maker.h"
#include "pipeline/archives.h"
#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtTest>

class TestCorpus : public QObject {
    Q_OBJECT
private slots:
    void unpacks_data();
    void unpacks();
};

namespace {

QString CorpusFile(const QString& name) {
    return qEnvironmentVariable("BW_CORPUS") + "/archives/" + name;
}

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
    QStringList files{file};
    if (file.contains(".part1.rar")) {
        for (const QString& sibling : QDir(CorpusFile({})).entryList(QDir::Files)) {
            if (sibling != file && sibling.startsWith(file.left(file.indexOf(".part1.rar"))))
                files.append(sibling);
        }
    }
    for (const QString& f : files) {
        const QString to = env.work(f);
        QDir().mkpath(env.workFolder());
        QFile::copy(CorpusFile(f), to);
        QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
    }
    return env.work(file);
}

} // namespace

void TestCorpus::unpacks_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("passwords");
    QTest::addColumn<QString>("expect");
    QTest::addColumn<QStringList>("entries");
    QFile manifest(CorpusFile("../manifest.tsv"));
    QVERIFY2(manifest.open(QIODevice::ReadOnly), "the corpus manifest is missing");
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
    if (zip) {
        for (const QString& p : passwords)
            env.prompts.inputs.push_back(p);
    }
    QCOMPARE(zip ? BrushwickMod::DoZip(path) : BrushwickMod::DoRar(path), 0);

    const QStringList folders = maker::ExtractionFolders(env);
    QCOMPARE(folders.size(), 1);
    const QStringList names = maker::NamesIn(folders[0]);
    for (const QString& name : names) {
        const QFileInfo info(folders[0] + name);
        QVERIFY2(info.isFile() && !info.isSymLink(), qPrintable(name));
    }
    const QStringList log = env.logMessages();
    const bool reported =
        zip ? log.contains("BAD ZIP: " + path)
            : !log.filter(QRegularExpression("^DORAR: " + QRegularExpression::escape(path) +
                                             " - \\d+: "))
                   .isEmpty();
    if (!zip)
        QVERIFY(env.prompts.inputPrompts.isEmpty());

    if (expect == "ok") {
        QVERIFY2(!reported, qPrintable(log.join('\n')));
        QCOMPARE(names, ExpectedNames(file, entries));
    } else if (expect == "fail") {
        QVERIFY(reported);
        QCOMPARE(names, QStringList());
    } else {
        QVERIFY(reported);
        QVERIFY(!names.isEmpty());
        for (const QString& name : names)
            QVERIFY2(entries.contains(name), qPrintable(name));
    }
    // A bad zip is shown too; a rar only ever reaches the log.
    QCOMPARE(env.prompts.boxes.size(), zip && reported ? 1 : 0);
}

QTEST_GUILESS_MAIN(TestCorpus)
#include "test_corpus.moc"
