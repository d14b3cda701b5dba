#include "pipeline/run.h"
#include "state/globals.h"
#include "state/run_report.h"
#include "test_env.h"

#include <QProcess>
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
    // The log lines that start with one of the prefixes (plain words), with
    // the work folder written as "~" and the download folder as "@".
    QStringList lines(const QStringList& prefixes) const {
        QStringList out =
            env.logMessages().filter(QRegularExpression("^(" + prefixes.join('|') + ")"));
        return out.replaceInStrings(env.workFolder(), "~")
            .replaceInStrings(env.downloadFolder(), "@");
    }
};

} // namespace

class TestRun : public QObject {
    Q_OBJECT
private slots:
    void walksDepthFirstInDropOrder();
    void progressDotsAndStillProcessing();
    void resultText();
    void badPathsAndLinks();
    void mixedRunAtEveryLogLevel();
};

void TestRun::walksDepthFirstInDropOrder() {
    Run r;
    for (const char* name : {"dl/a.package", "dl/B.package", "dl/sub/c.package",
                             "dl/.hidden.package", "dl/1 Hair.sims2pack", "dl/0 setup.exe"})
        r.file(name);
    QDir().mkpath(r.env.work("dl/empty"));
    r.env.prompts.answers = {platform::Box::No};

    Handle_DnD({r.env.work("dl/"), r.file("later.package")});
    // Of one folder's entries the last listed goes first; "." and ".." never.
    QCOMPARE(r.lines({"FOLDER: ", "Package: ", "HANDLE", "LAWN", "POST", "Sims2", "EXE"}),
             (QStringList{
                 "HANDLEDODFILECOUNT: 2", "LAWN", "HANDLEPROCCOUNT: 2", "FOLDER: ~/dl/",
                 "FOLDER: ~/dl/sub", "Package: ~/dl/sub/c.package -> @/c.package",
                 "FOLDER: ~/dl/empty", "Package: ~/dl/B.package -> @/B.package",
                 "Package: ~/dl/a.package -> @/a.package", "Sims2Pack: ~/dl/1 Hair.sims2pack",
                 "EXE: ~/dl/0 setup.exe", "EXE: ~/dl/0 setup.exe manually skipped",
                 "Package: ~/dl/.hidden.package -> @/.hidden.package",
                 "Package: ~/later.package -> @/later.package", "POSTINSTALL: 6 files installed"}));
    QCOMPARE(r.env.status.text, QString("Done! 6 files installed"));
    QCOMPARE(r.env.status.busyHistory, (QList<bool>{true, false}));
}

void TestRun::progressDotsAndStillProcessing() {
    Run r;
    // "Working..." is 10 long: files 1 to 40 bring it to 50, file 41 starts
    // over with the still-working text. Folders add nothing.
    for (int i = 0; i < 45; ++i)
        r.file("dl/" + QString::number(i % 3) + "/f" + QString::number(i + 10) + ".txt");
    Handle_DnD({r.env.work("dl")});
    const QStringList& h = r.env.status.history;
    QCOMPARE(h.size(), 1 + 45 + 1);
    QCOMPARE(h[0], QString("Working..."));
    QCOMPARE(h[40], "Working..." + QString(40, '.'));
    QCOMPARE(h[41], QString("Still working"));
    QCOMPARE(h[45], QString("Still working...."));
    QCOMPARE(h.last(), QString("Done! No files installed"));
}

void TestRun::resultText() {
    // Nothing dropped at all; one package among other files. (No package and
    // several are met by the other runs here.)
    for (const bool one : {false, true}) {
        Run r;
        Handle_DnD(one ? QStringList{r.file("x.txt"), r.file("p.package")} : QStringList{});
        QCOMPARE(r.env.status.text,
                 QString(one ? "Done! 1 file installed" : "Done! No files installed"));
        QCOMPARE(
            r.lines({"HANDLEPROCCOUNT", "POSTINSTALL"}),
            (QStringList{"HANDLEPROCCOUNT: " + QString::number(one ? 2 : 0),
                         "POSTINSTALL: " + QString::number(one ? 1 : 0) + " files installed"}));
    }
}

void TestRun::badPathsAndLinks() {
    Run r;
    r.file("dl/a.package");
    r.file("other/b.package");
    QFile::link(r.env.work("dl"), r.env.work("dl/loop"));
    QFile::link(r.env.work("other/b.package"), r.env.work("dl/linked.package"));
    QFile::link(r.env.work("nothing"), r.env.work("dl/dangling.package"));
    QFile::link(r.env.work("dl"), r.env.work("droplink"));
    // A missing path and a dangling link cost only themselves; a linked
    // folder is walked when dropped, not when met inside the walk.
    Handle_DnD({r.env.work("missing.package"), r.env.work("droplink")});
    QCOMPARE(r.lines({"HANDLE_PROCESSING: ", "FOLDER: ", "UNHANDLED: ", "Package: "}),
             (QStringList{"HANDLE_PROCESSING: ~/missing.package - 53: File not found",
                          "FOLDER: ~/droplink", "UNHANDLED: ~/droplink/loop",
                          "Package: ~/droplink/linked.package -> @/linked.package",
                          "HANDLE_PROCESSING: ~/droplink/dangling.package - 53: File not found",
                          "Package: ~/droplink/a.package -> @/a.package"}));
    QCOMPARE(r.env.status.text, QString("Done! 2 files installed"));
}

void TestRun::mixedRunAtEveryLogLevel() {
    // Every line of a mixed run with the level it is written at, in order.
    const QList<QPair<QString, int>> all{{"HANDLEPROCCOUNT: ", 4}, {"FOLDER: ", 3},
                                         {"FOLDER: ", 3},          {"EXE: ", 3},
                                         {"SkipEXEs: ", 2},        {"ZIP: ", 3},
                                         {"Package: ", 2},         {"UNHANDLED: ", 2},
                                         {"Package: ", 2},         {"HANDLEFILECOPY: There", 1},
                                         {"ERROR: ", 1},           {"ZIP: ", 3},
                                         {"BAD ZIP: ", 2},         {"Package: ", 2},
                                         {"FILE EXISTS: ", 4},     {"OVERWRITE AUTO-REJECTED", 4},
                                         {"Package: ", 2},         {"POSTINSTALL: ", 4}};
    for (int level = 0; level <= 4; ++level) {
        Run r;
        G().LogLevel = level;
        G().RejectOverwrites = true;
        G().SkipEXEs = true;
        G().BadZipAlertBox = false;
        G().TidselTemp = r.env.driveFolder() + "/temp/brushwick/voriderud";
        for (const char* name : {"mix/a.package", "mix/b.package", "mix/c.package", "mix/notes.txt",
                                 "mix/setup.exe", "mix/broken.zip"})
            r.file(name);
        QDir().mkpath(r.env.work("mix/sub"));
        const QString zip = r.env.work("mix/pack.zip");
        QProcess::execute("zip", {"-qj", zip, r.file("inner/inside.package")});
        r.env.writeFile(G().SimsPath + "b.package", "old");
        // A copy that fails: its destination is a folder with something in it.
        r.env.writeFile(G().SimsPath + "c.package/keep", "old");
        Handle_DnD({r.env.work("mix")});

        QStringList expected, seen;
        for (const auto& [prefix, at] : all)
            if (at <= level)
                expected.append(prefix);
        for (const QString& line : r.env.logMessages()) {
            const auto known = std::find_if(
                all.begin(), all.end(), [&](const auto& p) { return line.startsWith(p.first); });
            if (known != all.end())
                seen.append(known->first);
        }
        QCOMPARE(seen, expected);

        // The report is the same whatever the log keeps.
        const RunReport& report = G().Run.report;
        const QList<QPair<Outcome, int>> counts{
            {Outcome::Installed, 2}, {Outcome::Refused, 1},        {Outcome::Failed, 1},
            {Outcome::Unhandled, 1}, {Outcome::ProgramSkipped, 1}, {Outcome::ArchiveBad, 1},
            {Outcome::Replaced, 0}};
        for (const auto& [outcome, n] : counts)
            QCOMPARE(report.Count(outcome), n);
        QVERIFY(report.NeedsAttention());
        // A file from an archive is named by the archive it came from.
        QVERIFY(std::any_of(report.lines.begin(), report.lines.end(), [&](const ReportLine& l) {
            return l.file == zip + " > inside.package" && l.outcome == Outcome::Installed;
        }));
        // Every file handled was counted for the window's progress.
        QCOMPARE(r.env.status.progress.files, 8);
    }
}

QTEST_GUILESS_MAIN(TestRun)
#include "test_run.moc"
