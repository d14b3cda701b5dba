#include "checks.h"
#include "containers/runtime_error.h"
#include "pipeline/sims_path.h"
#include "test_env.h"

#include <QtTest>

using namespace BrushwickMod;

namespace {

// Records what the folder dialog was opened with.
class RecordingPrompts : public fakes::Prompts {
public:
    void BrowseFile(const QString& title, const QString& pattern, QString& fileName) override {
        calls.append(title + "|" + pattern + "|" + fileName);
        fakes::Prompts::BrowseFile(title, pattern, fileName);
    }
    QStringList calls;
};

class BrokenSettings : public fakes::Settings {
public:
    QString Get(const QString&, const QString&, const QString&) override {
        throw RunTimeError(70, "Permission denied");
    }
};

} // namespace

class TestSimsPath : public QObject {
    Q_OBJECT
private slots:
    void storedFolder_data();
    void storedFolder();
    void dialogInsistsOnExistingFolder();
    void errorEndsProgram();
};

void TestSimsPath::storedFolder_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("failWrite");
    QTest::addColumn<QStringList>("lines");
    const QString reg = "GETSIMSPATH: REG = ";
    // The folder need not exist: only a chosen folder is checked.
    QTest::newRow("without separator") << "/game/dl" << false << QStringList{reg + "/game/dl"};
    QTest::newRow("with separator") << "/game/dl/" << false << QStringList{reg + "/game/dl/"};
    QTest::newRow("write fails") << "/game/dl" << true
                                 << QStringList{reg + "/game/dl",
                                                "SETTINGS: could not store SimsPath = /game/dl/"};
}

void TestSimsPath::storedFolder() {
    QFETCH(QString, stored);
    QFETCH(bool, failWrite);
    QFETCH(QStringList, lines);
    TestEnv env;
    env.settings.setValue("SimsPath", stored);
    env.settings.failWrites = failWrite;
    QCOMPARE(GetSimsPath(), QString("/game/dl/"));
    QCOMPARE(env.settings.value("SimsPath"), failWrite ? stored : QString("/game/dl/"));
    QCOMPARE(env.logMessages(), lines);
    QVERIFY(env.prompts.boxes.isEmpty());
    QCOMPARE(env.prompts.browseCount, 0);
}

void TestSimsPath::dialogInsistsOnExistingFolder() {
    TestEnv env;
    env.useTestLanguage();
    RecordingPrompts prompts;
    platform::Use().prompts = &prompts;
    const QString folder = env.downloadFolder() + "/";
    const QString gone = env.root() + "/gone/x.package";
    // Closed without a choice, a file in a folder that is not there, a file
    // in the download folder.
    prompts.browsed = {"", gone, folder + "any.package"};

    QCOMPARE(GetSimsPath(), folder);
    QCOMPARE(Boxes(prompts), QStringList{"Pick the download folder|64|Brushwick 2"});
    QCOMPARE(prompts.calls,
             (QStringList{"Download Folder|*.*|NOTOUCHY", "Download Folder|*.*|NOTOUCHY",
                          "Download Folder|*.*|" + gone}));
    QCOMPARE(env.settings.value("SimsPath"), folder);
    QCOMPARE(env.logMessages(), QStringList{"GETSIMSPATH: DEF = " + folder});
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
