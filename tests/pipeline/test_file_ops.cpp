#include "pipeline/file_ops.h"
#include "state/globals.h"
#include "test_env.h"

#include <QtTest>

using namespace FileOps;

class TestFileOps : public QObject {
    Q_OBJECT
private slots:
    void pathParts_data();
    void pathParts();
    void listFiles_data();
    void listFiles();
    void existenceTests();
};

void TestFileOps::pathParts_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folder");
    QTest::newRow("windows") << "C:\\x\\y.zip" << QChar('\\') << "y.zip"
                             << "C:\\x\\";
    QTest::newRow("windows folder") << "C:\\x\\" << QChar('\\') << ""
                                    << "C:\\x\\";
    QTest::newRow("linux") << "/home/p/y.zip" << QChar('/') << "y.zip"
                           << "/home/p/";
    QTest::newRow("bare name") << "y.zip" << QChar('/') << "y.zip"
                               << "";
    // Each form splits only at its own separator.
    QTest::newRow("backslash in a linux name") << "/dl/a\\b" << QChar('/') << "a\\b"
                                               << "/dl/";
}

void TestFileOps::pathParts() {
    QFETCH(QString, path);
    QFETCH(QChar, sep);
    QFETCH(QString, name);
    QFETCH(QString, folder);
    QCOMPARE(GetFileName(path, sep), name);
    QCOMPARE(GetFolder(path, sep), folder);
}

void TestFileOps::listFiles_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("names");
    // Hidden files count, folders never; names sorted without regard to case.
    QTest::newRow("everything") << "*.*" << QStringList{".h", "a.package", "B.package", "c"};
    QTest::newRow("case-insensitive") << "*.PACKAGE" << QStringList{"a.package", "B.package"};
    QTest::newRow("one character") << "?" << QStringList{"c"};
    QTest::newRow("nothing") << "*.rar" << QStringList{};
}

void TestFileOps::listFiles() {
    QFETCH(QString, pattern);
    QFETCH(QStringList, names);
    TestEnv env;
    for (const char* name : {"c", "B.package", "a.package", ".h"})
        env.writeFile(env.work(name), "x");
    QDir().mkpath(env.work("sub.package"));
    QStringList found;
    for (const Variant& v : ListFiles(env.work(pattern)).Give())
        found.append(v.toText());
    for (QString& name : names)
        name = env.work(name);
    QCOMPARE(found, names);
}

void TestFileOps::existenceTests() {
    TestEnv env;
    QVERIFY(FileExists(env.writeFile(env.work("full"), "x")));
    QVERIFY(!FileExists(env.writeFile(env.work("empty"), "")));
    QVERIFY(env.logMessages().isEmpty());
    QVERIFY(!FileExists(env.work("missing")));
    QVERIFY(!FileExists(env.workFolder()));
    QCOMPARE(env.logMessages(), QStringList(2, "FILEEXISTS: 53: File not found"));

    QString folder = env.workFolder();
    QVERIFY(FolderExists(folder));
    QCOMPARE(folder, env.workFolder() + "/");
    QString file = env.work("full");
    QVERIFY(!FolderExists(file));
    QString missing = env.work("missing/");
    QVERIFY(!FolderExists(missing));
    QCOMPARE(missing, env.work("missing/"));
}

QTEST_GUILESS_MAIN(TestFileOps)
#include "test_file_ops.moc"
