#include "locked_folder.h"
#include "pipeline/roast.h"
#include "test_env.h"

#include <QtTest>

using namespace BrushwickMod;

class TestRoast : public QObject {
    Q_OBJECT
private slots:
    void removesWholeTree();
    void linksAreRemovedNotFollowed();
    void undeletableStopsWithOneLine();
};

void TestRoast::removesWholeTree() {
    // The lines after the first: %P pushed, %U put back, %R removed; none
    // given, only that everything went.
    const auto check = [](const QStringList& files, QStringList lines) {
        TestEnv env;
        const QString top = env.work("t/");
        QDir().mkpath(top);
        for (const QString& name : files)
            env.writeFile(top + name, "x");
        QFile::setPermissions(top + "readonly", QFile::ReadOwner);
        Roast(top);
        QVERIFY(!QFileInfo::exists(top));
        const QStringList log = env.logMessages();
        QCOMPARE(log.first(), "ROAST: " + top);
        QCOMPARE(log.filter("ROAST_TREE").size(), 0);
        if (lines.isEmpty())
            return;
        for (QString& line : lines) {
            const QString at = top + line.mid(2);
            line = line.startsWith("%P") ? "ROASTPUSH: " + at
                   : line.startsWith("%U")
                       ? "ROASTUNSHIFT: " + at + "Not empty, I guess. Unshifting back."
                       : "ROASTRM: " + at + "Empty, I guess. RmDiring";
        }
        QCOMPARE(log.mid(1), lines);
    };
    // An empty folder; files of every kind, hidden and read-only ones too.
    check({}, {"%R"});
    check({"a.package", ".hidden", "readonly"}, {"%R"});
    // Listed a, b; taken from the end, so b goes first; the top waits.
    check({"a/1", "b/2", "f"}, {"%Pa/", "%Pb/", "%U", "%Rb/", "%Ra/", "%R"});
    // The middle folder is pushed twice; its second copy finds it gone.
    check({"m/f", "m/d/f"}, {"%Pm/", "%U", "%Pm/d/", "%Um/", "%Rm/d/", "%Pm/", "%U", "%Rm/", "%R"});
    // Eight levels deep, with a side branch on the way.
    check({"1/2/3/4/5/6/7/8/f", "1/2/x/f"}, {});
}

void TestRoast::linksAreRemovedNotFollowed() {
    TestEnv env;
    const QString outside = env.work("outside/");
    const QString kept = env.writeFile(outside + "keep", "x");
    const QString top = env.work("t/");
    env.writeFile(top + "sub/f", "x");
    QFile::link(outside, top + "sub/folderlink");
    QFile::link(kept, top + "filelink");
    QFile::link(env.work("nothing"), top + "dangling");
    Roast(top);
    QVERIFY(!QFileInfo::exists(top));
    QCOMPARE(env.logMessages().filter("ROAST_TREE").size(), 0);

    // Given a link, only the link goes; given no separator, no neighbour
    // ("t" + "a") is touched.
    QFile::link(outside, env.work("toplink"));
    Roast(env.work("toplink/"));
    QVERIFY(!QFileInfo(env.work("toplink")).isSymLink());
    env.writeFile(env.work("t/a"), "x");
    const QString neighbour = env.writeFile(env.work("ta"), "x");
    Roast(env.work("t"));
    QVERIFY(!QFileInfo::exists(top));
    QVERIFY(QFileInfo::exists(kept) && QFileInfo::exists(neighbour));
}

void TestRoast::undeletableStopsWithOneLine() {
    TestEnv env;
    const QString top = env.work("t/");
    const QString stuck = env.writeFile(top + "locked/f", "x");
    env.writeFile(top + "z/f", "x");
    LockedFolder lock(top + "locked");
    Roast(top);
    const QStringList log = env.logMessages();
    QCOMPARE(log.filter("ROAST_TREE: "), QStringList{"ROAST_TREE: 70: Permission denied"});
    QCOMPARE(log.last(), QString("ROAST_TREE: 70: Permission denied"));
    QVERIFY(QFileInfo::exists(stuck));
    QVERIFY(!QFileInfo::exists(top + "z")); // taken before the locked one
}

QTEST_GUILESS_MAIN(TestRoast)
#include "test_roast.moc"
