#include "checks.h"
#include "containers/runtime_error.h"
#include "pipeline/sims_path.h"
#include "test_env.h"

#include <QtTest>

using namespace BrushwickMod;

namespace {

class BrokenSettings : public fakes::Settings {
public:
    QString Get(const QString&, const QString&, const QString&) override {
        throw RunTimeError(70, "Permission denied");
    }
};

// One start: the folder choice's answers, the boxes' answers in order and the
// file names the chooser confirms; what is taken (a path below the fake home,
// "" when the player quit) and the boxes the player saw; the folder stored
// before, and whether storing fails.
struct Choice {
    QList<int> picks, answers;
    QStringList browsed;
    QString taken;
    QStringList boxes;
    QString stored = {};
    bool failWrite = false;
};

} // namespace

class TestSimsPath : public QObject {
    Q_OBJECT
private slots:
    void choice_data();
    void choice();
    void errorEndsProgram();
};

void TestSimsPath::choice_data() {
    QTest::addColumn<Choice>("c");
    const int ok = platform::Box::OK, yes = platform::Box::Yes, no = platform::Box::No;
    const int other = platform::FolderPick::Other, closed = platform::FolderPick::Closed;
    const QString first = "Pick the download folder|64|Brushwick 2";
    const QString quit = "FOLDERQUIT|36|Brushwick 2";
    const QString gone = "FOLDERGONE <home>/old/Downloads/|48|Brushwick 2";
    const QString notDownloads = "FOLDERNOTDOWNLOADS <home>/|52|Brushwick 2";
    // A stored folder is taken with a separator added, never doubled; a failed
    // write does not stop the start.
    QTest::newRow("stored") << Choice{{}, {}, {}, "<home>/", {}, "<home>"};
    QTest::newRow("stored, write fails") << Choice{{}, {}, {}, "<home>/", {}, "<home>/", true};
    QTest::newRow("edition's Downloads made") << Choice{{1}, {}, {}, "<ed>", {first}};
    QTest::newRow("other, warned, listed again")
        << Choice{{other, 0}, {ok, no}, {"<home>/x"}, "<dl>", {first, notDownloads}};
    QTest::newRow("closed, chosen") << Choice{{closed, 0}, {ok, no}, {}, "<dl>", {first, quit}};
    QTest::newRow("chooser closed, quit") << Choice{{other}, {ok, yes}, {""}, "", {first, quit}};
    QTest::newRow("stored gone") << Choice{{0}, {}, {}, "<dl>", {gone}, "<home>/old/Downloads/"};
    // Nothing found in the home: the chooser comes at once, until it
    // confirms a file in a folder that is there.
    QTest::newRow("nothing found")
        << Choice{{}, {ok, yes}, {"<home>/gone/x", "<home>/x"}, "<home>/", {first, notDownloads}};
}

void TestSimsPath::choice() {
    QFETCH(Choice, c);
    TestEnv env;
    env.useTestLanguage();
    // A Wine prefix with a user's Downloads folder, and an edition's game
    // folder without one; rows without picks have nothing in the home.
    const QString home = env.root() + "/home", docs = home + "/.wine/drive_c/users/me/Documents/";
    const QString game = docs + "EA Games/The Sims 2", edition = game + " Ultimate/Downloads/";
    const QString downloads = game + "/Downloads/";
    QDir().mkpath(home);
    if (!c.picks.isEmpty())
        for (const char* folder : {"/Neighborhoods", "/Downloads", " Ultimate/Neighborhoods"})
            QDir().mkpath(game + folder);
    const auto fill = [&](QString t) {
        return t.replace("<dl>", downloads).replace("<ed>", edition).replace("<home>", home);
    };
    if (!c.stored.isEmpty())
        env.settings.setValue("SimsPath", fill(c.stored));
    env.settings.failWrites = c.failWrite;
    env.prompts.picks.assign(c.picks.begin(), c.picks.end());
    env.prompts.answers.assign(c.answers.begin(), c.answers.end());
    for (const QString& b : c.browsed)
        env.prompts.browsed.push_back(fill(b));

    if (c.taken.isEmpty()) {
        QVERIFY_THROWS_EXCEPTION(platform::ProgramEnded, GetSimsPath());
        // Quitting stores nothing.
        QVERIFY(!env.settings.has("SimsPath"));
    } else {
        QCOMPARE(GetSimsPath(), fill(c.taken));
        QCOMPARE(env.settings.value("SimsPath"), fill(c.taken));
        QVERIFY(QFileInfo(fill(c.taken)).isDir());
    }
    QStringList lines;
    if (!c.stored.isEmpty())
        lines.append("GETSIMSPATH: REG = " + fill(c.stored));
    if (!c.boxes.isEmpty() && !c.taken.isEmpty())
        lines.append("GETSIMSPATH: DEF = " + fill(c.taken));
    if (c.failWrite)
        lines.append("SETTINGS: could not store SimsPath = " + fill(c.taken));
    QCOMPARE(env.logMessages(), lines);
    QCOMPARE(Boxes(env.prompts), c.boxes.replaceInStrings("<home>", home));
    // The list shows what was found, most likely first; the chooser opens in
    // the prefix's Documents folder, or in the home folder.
    QCOMPARE(env.prompts.folderPicks.size(), c.picks.size());
    for (const platform::FolderPick& pick : env.prompts.folderPicks) {
        QCOMPARE(pick.folders, QStringList({downloads, edition + " FOLDERCREATED"}));
        QCOMPARE(pick.selected, 0);
    }
    QCOMPARE(env.prompts.browseCount, c.browsed.size());
    for (const QString& start : env.prompts.browseStarts)
        QCOMPARE(start, c.picks.isEmpty() ? home + "/" : docs);
}

void TestSimsPath::errorEndsProgram() {
    TestEnv env;
    env.useTestLanguage();
    BrokenSettings settings;
    platform::Use().settings = &settings;
    QVERIFY_THROWS_EXCEPTION(platform::ProgramEnded, GetSimsPath());
    const QString shown = "Download folder failed 70: Permission denied";
    QCOMPARE(env.logMessages(), QStringList{"ERROR: " + shown});
    QCOMPARE(Boxes(env.prompts), QStringList{shown + "|48|Brushwick 2 Error Wizard"});
}

QTEST_GUILESS_MAIN(TestSimsPath)
#include "test_sims_path.moc"
