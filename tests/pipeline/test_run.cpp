#include "pipeline/run.h"
#include "platform/globals.h"
#include "test_env.h"

#include <QtTest>

using namespace BrushwickMod;

namespace {

struct Run {
    TestEnv env;
    Run() {
        env.useTestLanguage();
        G().SimsPath = env.downloadFolder() + "/";
    }
    QString file(const QString& relative) { return env.writeFile(env.work(relative), "data"); }
    // The log without the lines a test does not look at.
    QStringList lines(const QStringList& prefixes) const {
        QStringList out;
        for (const QString& line : env.logMessages())
            for (const QString& prefix : prefixes)
                if (line.startsWith(prefix))
                    out.append(line);
        return out;
    }
};

} // namespace

class TestRun : public QObject {
    Q_OBJECT
private slots:
    void walksDepthFirstInDropOrder();
    void everyKindOfFileInOneRun();
    void progressDotsAndStillProcessing();
    void resultText_data();
    void resultText();
    void emptyDrop();
    void unreadablePathsAreSkipped();
    void linksInsideWalkAreNotFollowed();
};

void TestRun::walksDepthFirstInDropOrder() {
    Run r;
    r.file("dl/a.package");
    r.file("dl/B.package");
    r.file("dl/sub/c.package");
    r.file("dl/.hidden.package");
    QDir().mkpath(r.env.work("dl/empty"));
    const QString dl = r.env.work("dl");
    const QString later = r.file("later.package");

    Handle_DnD({dl + "/", later});
    // Of one folder's entries the last listed goes first; "." and ".." never.
    QCOMPARE(
        r.lines({"FOLDER: ", "Package: ", "HANDLE"}),
        (QStringList{"HANDLEDODFILECOUNT: 2", "HANDLEPROCCOUNT: 2", "FOLDER: " + dl + "/",
                     "FOLDER: " + dl + "/sub",
                     "Package: " + dl + "/sub/c.package -> " + G().SimsPath + "c.package",
                     "FOLDER: " + dl + "/empty",
                     "Package: " + dl + "/B.package -> " + G().SimsPath + "B.package",
                     "Package: " + dl + "/a.package -> " + G().SimsPath + "a.package",
                     "Package: " + dl + "/.hidden.package -> " + G().SimsPath + ".hidden.package",
                     "Package: " + later + " -> " + G().SimsPath + "later.package"}));
    QCOMPARE(r.env.logMessages().mid(1, 1), QStringList{"LAWN"});
    QCOMPARE(r.env.logMessages().last(), QString("POSTINSTALL: 5 files installed"));
    QCOMPARE(r.env.status.text, QString("Done! 5 files installed"));
    QCOMPARE(r.env.status.busyHistory, (QList<bool>{true, false}));
    QCOMPARE(QDir(G().SimsPath).entryList(QDir::Files | QDir::Hidden).size(), 5);
}

void TestRun::everyKindOfFileInOneRun() {
    Run r;
    const QString exe = r.file("dl/1 setup.exe");
    const QString pack = r.file("dl/2 Hair.sims2pack");
    const QString skin = r.file("dl/3 body.sims2skin");
    r.file("dl/4 readme.txt");
    r.env.prompts.answers = {platform::Box::No};
    MArray data;
    data.Push(r.env.work("dl"));
    Handle_Processing(data);
    QCOMPARE(data.Size(), 0);
    // Handled last-listed first: skin, pack, then the question for the program.
    QCOMPARE(r.env.shell.opened, (QStringList{skin, pack}));
    QCOMPARE(r.env.process.sleeps, (QList<int>{5000, 5000}));
    QCOMPARE(r.env.prompts.boxes.size(), 1);
    QCOMPARE(r.env.prompts.boxes[0].prompt, QString("Run 1 setup.exe?"));
    QVERIFY(r.env.shell.started.isEmpty());
    QCOMPARE(r.env.status.text, QString("Done! 2 files installed"));
}

void TestRun::progressDotsAndStillProcessing() {
    Run r;
    // "Working..." is 10 long: files 1 to 40 bring it to 50, file 41 starts
    // over with the still-working text. Folders add nothing.
    for (int i = 0; i < 45; ++i)
        r.file(QString("dl/%1/f%2.txt").arg(i % 3).arg(i, 2, 10, QChar('0')));
    MArray data;
    data.Push(r.env.work("dl"));
    Handle_Processing(data);
    const QStringList& h = r.env.status.history;
    QCOMPARE(h.size(), 1 + 45 + 1);
    QCOMPARE(h[0], QString("Working..."));
    QCOMPARE(h[40], "Working..." + QString(40, '.'));
    QCOMPARE(h[41], QString("Still working"));
    QCOMPARE(h[45], QString("Still working...."));
    QCOMPARE(h.last(), QString("Done! No files installed"));
}

void TestRun::resultText_data() {
    QTest::addColumn<int>("packages");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0 << "Done! No files installed";
    QTest::newRow("one") << 1 << "Done! 1 file installed";
    QTest::newRow("two") << 2 << "Done! 2 files installed";
}

void TestRun::resultText() {
    QFETCH(int, packages);
    QFETCH(QString, text);
    Run r;
    QStringList dropped{r.file("x.txt")};
    for (int i = 0; i < packages; ++i)
        dropped.append(r.file(QString("p%1.package").arg(i)));
    Handle_DnD(dropped);
    QCOMPARE(r.env.status.text, text);
}

void TestRun::emptyDrop() {
    Run r;
    Handle_DnD({});
    QCOMPARE(r.env.logMessages(),
             (QStringList{"HANDLEDODFILECOUNT: 0", "LAWN", "HANDLEPROCCOUNT: 0",
                          "POSTINSTALL: 0 files installed"}));
    QCOMPARE(r.env.status.history, (QStringList{"Working...", "Done! No files installed"}));
}

void TestRun::unreadablePathsAreSkipped() {
    Run r;
    const QString missing = r.env.work("missing.package");
    QDir().mkpath(r.env.work("dl"));
    QFile::link(r.env.work("nothing"), r.env.work("dl/dangling.package"));
    Handle_DnD({missing, r.env.work("dl"), r.file("ok.package")});
    QCOMPARE(r.lines({"HANDLE_PROCESSING: "}),
             (QStringList{"HANDLE_PROCESSING: " + missing + " - 53: File not found",
                          "HANDLE_PROCESSING: " + r.env.work("dl/dangling.package") +
                              " - 53: File not found"}));
    QCOMPARE(r.env.status.text, QString("Done! 1 file installed"));
}

void TestRun::linksInsideWalkAreNotFollowed() {
    Run r;
    r.file("dl/a.package");
    r.file("other/b.package");
    QFile::link(r.env.work("dl"), r.env.work("dl/loop"));
    QFile::link(r.env.work("other/b.package"), r.env.work("dl/linked.package"));
    QFile::link(r.env.work("dl"), r.env.work("droplink"));
    Handle_DnD({r.env.work("droplink")});
    const QString walked = r.env.work("droplink");
    QCOMPARE(
        r.lines({"FOLDER: ", "UNHANDLED: ", "Package: "}),
        (QStringList{"FOLDER: " + walked, "UNHANDLED: " + walked + "/loop",
                     "Package: " + walked + "/linked.package -> " + G().SimsPath + "linked.package",
                     "Package: " + walked + "/a.package -> " + G().SimsPath + "a.package"}));
    QCOMPARE(r.env.status.text, QString("Done! 2 files installed"));
}

QTEST_GUILESS_MAIN(TestRun)
#include "test_run.moc"
