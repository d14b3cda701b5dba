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

// A home whose Wine prefix holds the game's folders: a user's Downloads
// folder, and an edition's game folder without one.
struct Home {
    TestEnv env;
    QString downloads, edition;
    Home() {
        env.useTestLanguage();
        const QString docs = env.root() + "/home/.wine/drive_c/users/me/Documents/EA Games/";
        downloads = docs + "The Sims 2/Downloads/";
        edition = docs + "The Sims 2 Ultimate Collection/Downloads/";
        QDir().mkpath(downloads);
        QDir().mkpath(docs + "The Sims 2/Neighborhoods");
        QDir().mkpath(docs + "The Sims 2 Ultimate Collection/Neighborhoods");
    }
};

} // namespace

class TestSimsPath : public QObject {
    Q_OBJECT
private slots:
    void storedFolder_data();
    void storedFolder();
    void firstStartChoice_data();
    void firstStartChoice();
    void chooserInsistsOnAnExistingFolder();
    void storedFolderGone();
    void errorEndsProgram();
};

void TestSimsPath::storedFolder_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("failWrite");
    QTest::addColumn<QStringList>("lines");
    const QString reg = "GETSIMSPATH: REG = ";
    QTest::newRow("without separator") << "<dl>" << false << QStringList{reg + "<dl>"};
    QTest::newRow("with separator") << "<dl>/" << false << QStringList{reg + "<dl>/"};
    QTest::newRow("write fails") << "<dl>" << true
                                 << QStringList{reg + "<dl>",
                                                "SETTINGS: could not store SimsPath = <dl>/"};
}

void TestSimsPath::storedFolder() {
    QFETCH(QString, stored);
    QFETCH(bool, failWrite);
    QFETCH(QStringList, lines);
    TestEnv env;
    const QString dl = env.downloadFolder();
    env.settings.setValue("SimsPath", QString(stored).replace("<dl>", dl));
    env.settings.failWrites = failWrite;
    QCOMPARE(GetSimsPath(), dl + "/");
    QCOMPARE(env.settings.value("SimsPath"), failWrite ? dl : dl + "/");
    QCOMPARE(env.logMessages(), lines.replaceInStrings("<dl>", dl));
    QVERIFY(env.prompts.boxes.isEmpty());
    QCOMPARE(env.prompts.browseCount, 0);
}

void TestSimsPath::firstStartChoice_data() {
    // The folder choice's answers, the boxes' answers, the folder chooser's.
    QTest::addColumn<QList<int>>("picks");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QStringList>("browsed");
    // What is taken (a path below the fake home, "" when the player quit),
    // and the boxes the player saw after the first one.
    QTest::addColumn<QString>("taken");
    QTest::addColumn<QStringList>("boxes");
    const int yes = platform::Box::Yes, no = platform::Box::No;
    const int other = platform::FolderPick::Other, closed = platform::FolderPick::Closed;
    const QString quit = "FOLDERQUIT|36|Brushwick 2";
    QTest::newRow("the one found first, with one OK")
        << QList<int>{0} << QList<int>{} << QStringList{} << "<dl>" << QStringList{};
    QTest::newRow("the game folder without Downloads: made")
        << QList<int>{1} << QList<int>{} << QStringList{} << "<ed>" << QStringList{};
    QTest::newRow("another folder, warned, used anyway")
        << QList<int>{other} << QList<int>{yes} << QStringList{"<home>/x.package"} << "<home>/"
        << QStringList{"FOLDERNOTDOWNLOADS <home>/|52|Brushwick 2"};
    QTest::newRow("another folder, warned, chosen again")
        << QList<int>{other, 0} << QList<int>{no} << QStringList{"<home>/x.package"} << "<dl>"
        << QStringList{"FOLDERNOTDOWNLOADS <home>/|52|Brushwick 2"};
    QTest::newRow("closed, then chosen after all")
        << QList<int>{closed, 0} << QList<int>{no} << QStringList{} << "<dl>"
        << QStringList{quit};
    QTest::newRow("chooser closed, then quit")
        << QList<int>{other} << QList<int>{yes} << QStringList{""} << "" << QStringList{quit};
}

void TestSimsPath::firstStartChoice() {
    QFETCH(QList<int>, picks);
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, browsed);
    QFETCH(QString, taken);
    QFETCH(QStringList, boxes);
    Home h;
    const auto fill = [&](QString text) {
        return text.replace("<dl>", h.downloads)
            .replace("<ed>", h.edition)
            .replace("<home>", h.env.root() + "/home");
    };
    h.env.prompts.picks.assign(picks.begin(), picks.end());
    // The first box tells what comes; its OK is the first answer.
    h.env.prompts.answers = {platform::Box::OK};
    h.env.prompts.answers.insert(h.env.prompts.answers.end(), answers.begin(), answers.end());
    for (const QString& b : browsed)
        h.env.prompts.browsed.push_back(fill(b));

    if (taken.isEmpty()) {
        QVERIFY_THROWS_EXCEPTION(platform::ProgramEnded, GetSimsPath());
        // Quitting stores nothing.
        QVERIFY(!h.env.settings.has("SimsPath"));
    } else {
        QCOMPARE(GetSimsPath(), fill(taken));
        QCOMPARE(h.env.settings.value("SimsPath"), fill(taken));
        QCOMPARE(h.env.logMessages().last(), "GETSIMSPATH: DEF = " + fill(taken));
        QVERIFY(QFileInfo(fill(taken)).isDir());
    }
    QCOMPARE(Boxes(h.env.prompts).mid(1), boxes.replaceInStrings("<home>", h.env.root() + "/home"));
    // The list shows what was found, most likely first; the chooser opens
    // in the prefix's Documents folder.
    const platform::FolderPick& pick = h.env.prompts.folderPicks.first();
    QCOMPARE(pick.folders, QStringList({h.downloads, h.edition + " FOLDERCREATED"}));
    QCOMPARE(pick.selected, 0);
    for (const QString& start : h.env.prompts.browseStarts)
        QCOMPARE(start, h.env.root() + "/home/.wine/drive_c/users/me/Documents/");
}

void TestSimsPath::chooserInsistsOnAnExistingFolder() {
    TestEnv env;
    env.useTestLanguage();
    const QString folder = env.downloadFolder() + "/";
    // Nothing found in the empty home: the chooser comes at once, until it
    // confirms a file in a folder that is there.
    env.prompts.browsed = {env.root() + "/gone/x.package", folder + "any.package"};
    env.prompts.answers = {platform::Box::OK, platform::Box::Yes};
    QCOMPARE(GetSimsPath(), folder);
    QVERIFY(env.prompts.folderPicks.isEmpty());
    QCOMPARE(env.prompts.browseCount, 2);
    QCOMPARE(env.prompts.browseStarts.first(), env.root() + "/home/");
    QCOMPARE(Boxes(env.prompts).first(), QString("Pick the download folder|64|Brushwick 2"));
}

void TestSimsPath::storedFolderGone() {
    Home h;
    const QString gone = h.env.root() + "/old/Downloads/";
    h.env.settings.setValue("SimsPath", gone);
    h.env.prompts.picks = {0};
    QCOMPARE(GetSimsPath(), h.downloads);
    QCOMPARE(Boxes(h.env.prompts), QStringList{"FOLDERGONE " + gone + "|48|Brushwick 2"});
    QCOMPARE(h.env.settings.value("SimsPath"), h.downloads);
}

void TestSimsPath::errorEndsProgram() {
    TestEnv env;
    env.useTestLanguage();
    BrokenSettings settings;
    platform::Use().settings = &settings;
    QVERIFY_THROWS_EXCEPTION(platform::ProgramEnded, GetSimsPath());
    QCOMPARE(env.process.ends, 1);
    QCOMPARE(env.logMessages(), QStringList{"ERROR: Download folder failed 70: Permission denied"});
    QCOMPARE(
        Boxes(env.prompts),
        QStringList{"Download folder failed 70: Permission denied|48|Brushwick 2 Error Wizard"});
}

QTEST_GUILESS_MAIN(TestSimsPath)
#include "test_sims_path.moc"
