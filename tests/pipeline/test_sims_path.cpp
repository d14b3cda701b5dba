#include "containers/runtime_error.h"
#include "pipeline/sims_path.h"
#include "platform/globals.h"
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
    void failedWriteKeepsFolder();
    void errorEndsProgram();
};

void TestSimsPath::storedFolder_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("result");
    QTest::newRow("without separator") << "/game/Downloads"
                                       << "/game/Downloads/";
    QTest::newRow("with separator") << "/game/Downloads/"
                                    << "/game/Downloads/";
}

void TestSimsPath::storedFolder() {
    QFETCH(QString, stored);
    QFETCH(QString, result);
    TestEnv env;
    env.useTestLanguage();
    env.settings.setValue("SimsPath", stored);
    // The folder need not exist: only a chosen folder is checked.
    QCOMPARE(GetSimsPath(), result);
    QCOMPARE(env.settings.value("SimsPath"), result);
    QCOMPARE(env.logMessages(), QStringList{"GETSIMSPATH: REG = " + stored});
    QVERIFY(env.prompts.boxes.isEmpty());
    QCOMPARE(env.prompts.browseCount, 0);
}

void TestSimsPath::dialogInsistsOnExistingFolder() {
    TestEnv env;
    env.useTestLanguage();
    RecordingPrompts prompts;
    platform::Use().prompts = &prompts;
    const QString folder = env.downloadFolder() + "/";
    // Closed without a choice, then a file in a folder that is not there,
    // then a file in the download folder.
    prompts.browsed = {"", env.root() + "/gone/x.package", folder + "any.package"};

    QCOMPARE(GetSimsPath(), folder);
    QCOMPARE(prompts.boxes.size(), 1);
    QCOMPARE(prompts.boxes[0].prompt, QString("Pick the download folder"));
    QCOMPARE(prompts.boxes[0].style, 64);
    QCOMPARE(prompts.boxes[0].title, QString("Brushwick 2"));
    QCOMPARE(prompts.calls,
             (QStringList{"Download Folder|*.*|NOTOUCHY", "Download Folder|*.*|NOTOUCHY",
                          "Download Folder|*.*|" + env.root() + "/gone/x.package"}));
    QCOMPARE(env.settings.value("SimsPath"), folder);
    QCOMPARE(env.logMessages(), QStringList{"GETSIMSPATH: DEF = " + folder});
}

void TestSimsPath::failedWriteKeepsFolder() {
    TestEnv env;
    env.settings.setValue("SimsPath", "/game/Downloads");
    env.settings.failWrites = true;
    QCOMPARE(GetSimsPath(), QString("/game/Downloads/"));
    QCOMPARE(env.logMessages(), (QStringList{"GETSIMSPATH: REG = /game/Downloads",
                                             "GETSIMSPATH: the setting could not be written"}));
}

void TestSimsPath::errorEndsProgram() {
    TestEnv env;
    env.useTestLanguage();
    BrokenSettings settings;
    platform::Use().settings = &settings;
    QVERIFY_THROWS_EXCEPTION(platform::ProgramEnded, GetSimsPath());
    QCOMPARE(env.process.ends, 1);
    QCOMPARE(env.logMessages(), QStringList{"ERROR: Download folder failed 70: Permission denied"});
    QCOMPARE(env.prompts.boxes.size(), 1);
    QCOMPARE(env.prompts.boxes[0].style, 48);
    QCOMPARE(env.prompts.boxes[0].title, QString("Brushwick 2 Error Wizard"));
}

QTEST_GUILESS_MAIN(TestSimsPath)
#include "test_sims_path.moc"
