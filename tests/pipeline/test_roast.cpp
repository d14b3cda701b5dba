#include "locked_folder.h"
#include "pipeline/roast.h"
#include "test_env.h"

#include <QtTest>

using namespace BrushwickMod;

namespace {

QString Rm(const QString& folder) {
    return "ROASTRM: " + folder + "Empty, I guess. RmDiring";
}
QString Push(const QString& folder) {
    return "ROASTPUSH: " + folder;
}
QString Back(const QString& folder) {
    return "ROASTUNSHIFT: " + folder + "Not empty, I guess. Unshifting back.";
}

bool NoRoastTree(const QStringList& log) {
    return std::none_of(log.begin(), log.end(),
                        [](const QString& l) { return l.startsWith("ROAST_TREE: "); });
}

} // namespace

class TestRoast : public QObject {
    Q_OBJECT
private slots:
    void flatFolder_data();
    void flatFolder();
    void subfoldersGoFirst();
    void deepTreeGoesInOneCall_data();
    void deepTreeGoesInOneCall();
    void linksAreRemovedNotFollowed();
    void staysInsideFolderWithoutSeparator();
    void undeletableStopsWithOneLine();
};

void TestRoast::flatFolder_data() {
    QTest::addColumn<QStringList>("files");
    QTest::newRow("empty") << QStringList{};
    QTest::newRow("files of every kind") << QStringList{"a.package", ".hidden", "readonly"};
}

void TestRoast::flatFolder() {
    QFETCH(QStringList, files);
    TestEnv env;
    const QString top = env.work("t/");
    QDir().mkpath(top);
    for (const QString& name : files)
        env.writeFile(top + name, "x");
    QFile::setPermissions(top + "readonly", QFile::ReadOwner);
    Roast(top);
    QVERIFY(!QFileInfo::exists(top));
    QCOMPARE(env.logMessages(), (QStringList{"ROAST: " + top, Rm(top)}));
}

void TestRoast::subfoldersGoFirst() {
    TestEnv env;
    const QString top = env.work("t/");
    env.writeFile(top + "a/1", "x");
    env.writeFile(top + "b/2", "x");
    env.writeFile(top + "f", "x");
    Roast(top);
    QVERIFY(!QFileInfo::exists(top));
    // Listed a, b; taken from the end, so b goes first; the top folder waits.
    QCOMPARE(env.logMessages(), (QStringList{"ROAST: " + top, Push(top + "a/"), Push(top + "b/"),
                                             Back(top), Rm(top + "b/"), Rm(top + "a/"), Rm(top)}));
}

void TestRoast::deepTreeGoesInOneCall_data() {
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("width");
    QTest::newRow("two levels") << 2 << 1;
    QTest::newRow("seven levels") << 7 << 1;
    QTest::newRow("four levels, three wide") << 4 << 3;
}

void TestRoast::deepTreeGoesInOneCall() {
    QFETCH(int, depth);
    QFETCH(int, width);
    TestEnv env;
    const QString top = env.work("t/");
    QStringList level{top};
    for (int d = 0; d < depth; ++d) {
        QStringList next;
        for (const QString& folder : level)
            for (int w = 0; w < width; ++w)
                next.append(folder + QString::number(w) + "/");
        for (const QString& folder : next)
            env.writeFile(folder + "f", "x");
        level = next;
    }
    Roast(top);
    QVERIFY(!QFileInfo::exists(top));
    QVERIFY(NoRoastTree(env.logMessages()));
    if (depth == 2) {
        const QString mid = top + "0/", low = mid + "0/";
        QCOMPARE(env.logMessages(),
                 (QStringList{"ROAST: " + top, Push(mid), Back(top), Push(low), Back(mid), Rm(low),
                              Push(mid), Back(top), Rm(mid), Rm(top)}));
    }
}

void TestRoast::linksAreRemovedNotFollowed() {
    TestEnv env;
    const QString outside = env.work("outside/");
    const QString kept = env.writeFile(outside + "keep.package", "x");
    const QString top = env.work("t/");
    env.writeFile(top + "sub/f", "x");
    QFile::link(outside, top + "sub/folderlink");
    QFile::link(kept, top + "filelink");
    QFile::link(env.work("nothing"), top + "dangling");
    Roast(top);
    QVERIFY(!QFileInfo::exists(top));
    QVERIFY(QFileInfo::exists(kept));
    QVERIFY(NoRoastTree(env.logMessages()));

    // Given a link itself, only the link goes.
    QFile::link(outside, env.work("toplink"));
    Roast(env.work("toplink/"));
    QVERIFY(!QFileInfo(env.work("toplink")).isSymLink());
    QVERIFY(QFileInfo::exists(kept));
}

void TestRoast::staysInsideFolderWithoutSeparator() {
    TestEnv env;
    env.writeFile(env.work("t/a"), "x");
    const QString neighbour = env.writeFile(env.work("ta"), "x");
    Roast(env.work("t"));
    QVERIFY(!QFileInfo::exists(env.work("t")));
    QVERIFY(QFileInfo::exists(neighbour));
}

void TestRoast::undeletableStopsWithOneLine() {
    TestEnv env;
    const QString top = env.work("t/");
    const QString stuck = env.writeFile(top + "locked/f", "x");
    env.writeFile(top + "z/f", "x");
    LockedFolder lock(top + "locked");
    if (!lock.ok())
        QSKIP("folders cannot be locked here");
    Roast(top);
    const QStringList log = env.logMessages();
    QCOMPARE(log.last(), QString("ROAST_TREE: 70: Permission denied"));
    QCOMPARE(log.filter("ROAST_TREE: ").size(), 1);
    QVERIFY(QFileInfo::exists(stuck));
    // Taken before the locked folder, so already gone.
    QVERIFY(!QFileInfo::exists(top + "z"));
}

QTEST_GUILESS_MAIN(TestRoast)
#include "test_roast.moc"
