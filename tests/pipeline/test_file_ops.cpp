#include "pipeline/file_ops.h"
#include "state/globals.h"
#include "test_env.h"

#include <QtTest>

using namespace FileOps;

class TestFileOps : public QObject {
    Q_OBJECT
private slots:
    void pathParts();
    void listFiles();
    void existenceTests();
};

void TestFileOps::pathParts() {
    const auto check = [](const QString& path, QChar sep, const QString& name,
                          const QString& folder) {
        QCOMPARE(GetFileName(path, sep), name);
        QCOMPARE(GetFolder(path, sep), folder);
    };
    check("C:\\x\\y.zip", '\\', "y.zip", "C:\\x\\");
    check("C:\\x\\", '\\', "", "C:\\x\\");
    check("y.zip", '/', "y.zip", "");
    // Each form splits only at its own separator.
    check("/dl/a\\b", '/', "a\\b", "/dl/");
}

void TestFileOps::listFiles() {
    TestEnv env;
    for (const char* name : {"c", "B.package", "a.package", ".h"})
        env.writeFile(env.work(name), "x");
    QDir().mkpath(env.work("sub.package"));
    const auto check = [&](const QString& pattern, QStringList names) {
        QStringList found;
        for (const Variant& v : ListFiles(env.work(pattern)).Give())
            found.append(v.toText());
        for (QString& name : names)
            name = env.work(name);
        QCOMPARE(found, names);
    };
    // Hidden files count, folders never; names sorted without regard to case.
    check("*.*", {".h", "a.package", "B.package", "c"});
    check("*.PACKAGE", {"a.package", "B.package"});
    check("?", {"c"});
    check("*.rar", {});
}

void TestFileOps::existenceTests() {
    TestEnv env;
    // A folder is no file. (Missing and empty files are met by every install.)
    QVERIFY(!FileExists(env.workFolder()));
    QCOMPARE(env.logMessages(), QStringList{"FILEEXISTS: 53: File not found"});

    QString folder = env.workFolder();
    QVERIFY(FolderExists(folder));
    QCOMPARE(folder, env.workFolder() + "/");
    QString file = env.writeFile(env.work("full"), "x");
    QVERIFY(!FolderExists(file));
    QString missing = env.work("missing/");
    QVERIFY(!FolderExists(missing));
    QCOMPARE(missing, env.work("missing/"));
}

QTEST_GUILESS_MAIN(TestFileOps)
#include "test_file_ops.moc"
