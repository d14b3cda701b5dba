#include "containers/runtime_error.h"
#include "pipeline/file_ops.h"
#include "platform/globals.h"
#include "test_env.h"

#include <QtTest>

using namespace FileOps;

namespace {

QStringList Texts(const MArray& list) {
    QStringList out;
    for (const Variant& v : list.Give())
        out.append(v.toText());
    return out;
}

} // namespace

class TestFileOps : public QObject {
    Q_OBJECT
private slots:
    void pathParts_data();
    void pathParts();
    void listFiles_data();
    void listFiles();
    void listFilesOfMissingFolderFails();
    void fileExists();
    void folderExists();
    void setAttrNormalLeavesLinksAlone();
    void errorNumbers_data();
    void errorNumbers();
};

void TestFileOps::pathParts_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<QString>("drive");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folder");
    const QChar back('\\'), slash('/');
    QTest::newRow("windows file") << "C:\\x\\y.zip" << back << "C:"
                                  << "y.zip"
                                  << "C:\\x\\";
    QTest::newRow("windows folder") << "C:\\x\\" << back << "C:"
                                    << ""
                                    << "C:\\x\\";
    QTest::newRow("network") << "\\\\server\\share\\f" << back << "\\\\"
                             << "f"
                             << "\\\\server\\share\\";
    QTest::newRow("bare name") << "y.zip" << back << "y."
                               << "y.zip"
                               << "";
    QTest::newRow("short") << "y" << slash << "y"
                           << "y"
                           << "";
    QTest::newRow("linux file") << "/home/p/y.zip" << slash << "/h"
                                << "y.zip"
                                << "/home/p/";
    QTest::newRow("linux folder") << "/home/p/" << slash << "/h"
                                  << ""
                                  << "/home/p/";
    // Each form splits only at its own separator.
    QTest::newRow("backslash in a linux name") << "/dl/a\\b.package" << slash << "/d"
                                               << "a\\b.package"
                                               << "/dl/";
}

void TestFileOps::pathParts() {
    QFETCH(QString, path);
    QFETCH(QChar, sep);
    QFETCH(QString, drive);
    QFETCH(QString, name);
    QFETCH(QString, folder);
    QCOMPARE(GetDrive(path), drive);
    QCOMPARE(GetFileName(path, sep), name);
    QCOMPARE(GetFolder(path, sep), folder);
}

void TestFileOps::listFiles_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("everything") << "*.*"
                                << QStringList{".hidden", "a.package", "B.package", "c",
                                               "Readme.TXT"};
    QTest::newRow("case-insensitive match") << "*.PACKAGE" << QStringList{"a.package", "B.package"};
    QTest::newRow("single character") << "?" << QStringList{"c"};
    QTest::newRow("nothing") << "*.rar" << QStringList{};
}

void TestFileOps::listFiles() {
    QFETCH(QString, pattern);
    QFETCH(QStringList, names);
    TestEnv env;
    for (const char* name : {"Readme.TXT", "B.package", "a.package", ".hidden", "c"})
        env.writeFile(env.work(name), "x");
    QDir().mkpath(env.work("sub.package"));
    const QString folder = env.workFolder() + "/";
    QStringList expected;
    for (const QString& name : names)
        expected.append(folder + name);
    QCOMPARE(Texts(ListFiles(folder + pattern)), expected);
}

void TestFileOps::listFilesOfMissingFolderFails() {
    TestEnv env;
    try {
        ListFiles(env.work("none/*.*"));
        QFAIL("no error");
    } catch (const RunTimeError& e) {
        QCOMPARE(e.Number(), 53);
    }
}

void TestFileOps::fileExists() {
    TestEnv env;
    const QString full = env.writeFile(env.work("full"), "x");
    const QString empty = env.writeFile(env.work("empty"), "");
    QVERIFY(FileExists(full));
    QVERIFY(!FileExists(empty));
    QVERIFY(env.logMessages().isEmpty());
    QVERIFY(!FileExists(env.work("missing")));
    QVERIFY(!FileExists(env.workFolder()));
    QCOMPARE(env.logMessages(), QStringList(2, "FILEEXISTS: 53: File not found"));

    G().LogLevel = 3;
    QVERIFY(!FileExists(env.work("missing")));
    QCOMPARE(env.logMessages().size(), 2);
}

void TestFileOps::folderExists() {
    TestEnv env;
    QString bare = env.workFolder();
    QVERIFY(FolderExists(bare));
    QCOMPARE(bare, env.workFolder() + "/");
    QString withSep = bare;
    QVERIFY(FolderExists(withSep));
    QCOMPARE(withSep, bare);
    QString missing = env.work("missing");
    QVERIFY(!FolderExists(missing));
    QString file = env.writeFile(env.work("f"), "x");
    QVERIFY(!FolderExists(file));
    QCOMPARE(file, env.work("f/"));
}

void TestFileOps::setAttrNormalLeavesLinksAlone() {
    TestEnv env;
    const QString target = env.writeFile(env.work("target"), "x");
    QFile::setPermissions(target, QFile::ReadOwner);
    QFile::link(target, env.work("link"));
    SetAttrNormal(env.work("link"));
    QCOMPARE(QFile::permissions(target) & QFile::WriteOwner, QFile::Permissions());
    SetAttrNormal(target);
    QVERIFY(QFile::permissions(target) & QFile::WriteOwner);
}

void TestFileOps::errorNumbers_data() {
    QTest::addColumn<int>("err");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("start");
    QTest::newRow("missing") << ENOENT << 53 << "File not found";
    QTest::newRow("not a folder") << ENOTDIR << 76 << "Path not found";
    QTest::newRow("no rights") << EACCES << 70 << "Permission denied";
    QTest::newRow("not permitted") << EPERM << 70 << "Permission denied";
    QTest::newRow("disk full") << ENOSPC << 61 << "Disk full";
    QTest::newRow("quota") << EDQUOT << 61 << "Disk full";
    QTest::newRow("other") << ENOTEMPTY << 75 << "Path/File access error (";
}

void TestFileOps::errorNumbers() {
    QFETCH(int, err);
    QFETCH(int, number);
    QFETCH(QString, start);
    try {
        Raise(std::error_code(err, std::generic_category()));
    } catch (const RunTimeError& e) {
        QCOMPARE(e.Number(), number);
        QVERIFY2(e.Description().startsWith(start), qPrintable(e.Description()));
    }
}

QTEST_GUILESS_MAIN(TestFileOps)
#include "test_file_ops.moc"
