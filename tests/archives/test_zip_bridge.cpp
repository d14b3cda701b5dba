// The zip bridge's callbacks and options, and the extraction folders that
// MakeTemp hands out.
#include "archive_maker.h"
#include "pipeline/archives.h"
#include "pipeline/zip_bridge.h"
#include "platform/globals.h"
#include "test_env.h"

#include <QDir>
#include <QtTest>

#include <sys/stat.h>

using namespace VBUnzBas;
using maker::File;
using Opt = ZipBridgeState::Option;

class TestZipBridge : public QObject {
    Q_OBJECT
private slots:
    void makeTempLogsEveryNameTried();
    void makeTempGivesUpWithoutReusingAFolder_data();
    void makeTempGivesUpWithoutReusingAFolder();
    void messagesAndPasswordBuffer();
    void existingFiles_data();
    void existingFiles();
    void listingInsteadOfExtracting();
};

namespace {

int Mode(const QString& path) {
    struct stat st {};
    stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

// The bridge told to extract archive into a fresh folder, everything else
// as DoZip leaves it.
QString ArmForExtraction(const TestEnv& env, const QString& archive) {
    const QString folder = env.work("out/");
    QDir().mkpath(folder);
    G().Zip.ZipName = archive;
    G().Zip.ExtractDir = folder;
    G().Zip.UnzipOptions[Opt::noflag] = 1;
    return folder;
}

} // namespace

void TestZipBridge::makeTempLogsEveryNameTried() {
    TestEnv env;
    maker::PrepareRun(env);
    env.process.rnd = {0.0, 0.0, 0.5};
    const QString stem = G().TidselTemp;
    QCOMPARE(BrushwickMod::MakeTemp(), stem + "99d/");
    QCOMPARE(BrushwickMod::MakeTemp(), stem + "5049d/");
    const QString temp = env.driveFolder() + "/temp";
    QCOMPARE(env.logMessages(),
             QStringList({"MAKETEMP: Mkdir " + temp, "MAKETEMP: " + temp + "/brushwick",
                          "MAKETEMP: " + stem + "99d?", "MAKETEMP: " + stem + "99d/",
                          "MAKETEMP: " + stem + "99d?", "MAKETEMP: " + stem + "5049d?",
                          "MAKETEMP: " + stem + "5049d/"}));
    for (const QString& folder : {temp, temp + "/brushwick", stem + "99d", stem + "5049d"})
        QCOMPARE(Mode(folder), 0700);
}

void TestZipBridge::makeTempGivesUpWithoutReusingAFolder_data() {
    QTest::addColumn<int>("logLevel");
    QTest::addColumn<int>("linesTried");
    QTest::newRow("debug log") << 4 << BrushwickMod::MakeTempTries;
    QTest::newRow("errors only") << 1 << 0;
}

void TestZipBridge::makeTempGivesUpWithoutReusingAFolder() {
    QFETCH(int, logLevel);
    QFETCH(int, linesTried);
    TestEnv env(logLevel);
    maker::PrepareRun(env);
    // Every draw names the one folder that is already taken.
    const QString taken = G().TidselTemp + "99d";
    env.writeFile(taken + "/old.package", "from another archive");
    env.process.rnd = std::deque<double>(BrushwickMod::MakeTempTries, 0.0);
    const QString zip = maker::Zip(env.work("a.zip"), {File("a.package")});

    QCOMPARE(BrushwickMod::DoZip(zip), 0);
    const QStringList log = env.logMessages();
    QCOMPARE(log.count("MAKETEMP: " + taken + "?"), linesTried);
    QCOMPARE(log.last(),
             QString("MAKETEMP: No free folder after %1 tries").arg(BrushwickMod::MakeTempTries));
    QCOMPARE(maker::NamesIn(taken), QStringList({"old.package"}));
    QVERIFY(maker::NamesIn(env.downloadFolder()).isEmpty());
    QVERIFY(env.prompts.boxes.isEmpty());
}

void TestZipBridge::messagesAndPasswordBuffer() {
    TestEnv env;
    QCOMPARE(UnzipPrint("abc\0def", 7), 0);
    QCOMPARE(UnzipPrint("\nrest of it", 11), 0);
    QCOMPARE(UnzipPrint("xyz", 2), 0);
    QCOMPARE(G().Zip.UnzipMessages, QString("abc\r\nxy"));

    // Cut to the buffer with its closing zero; nothing written past it.
    char buffer[12];
    std::memset(buffer, '#', sizeof buffer);
    env.prompts.inputs = {"abcdefghij", ""};
    QCOMPARE(UnzipPassword(buffer, 8, "prompt", "a.package"), 0);
    QCOMPARE(QByteArray(buffer, 8), QByteArray("abcdefg\0", 8));
    QCOMPARE(QByteArray(buffer + 8, 4), QByteArray("####"));
    // An empty answer ends the questions for good.
    QCOMPARE(UnzipPassword(buffer, 8, "prompt", "a.package"), 1);
    QCOMPARE(UnzipPassword(buffer, 8, "prompt", "a.package"), 1);
    QCOMPARE(env.prompts.inputPrompts.size(), 2);
}

void TestZipBridge::existingFiles_data() {
    QTest::addColumn<bool>("ask");
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<QList<int>>("buttons");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QByteArray>("kept");
    using platform::Box::Cancel, platform::Box::No, platform::Box::Yes;
    QTest::newRow("overwrite without asking")
        << false << true << QList<int>{} << 0 << QByteArray("3");
    QTest::newRow("keep without asking") << false << false << QList<int>{} << 0 << QByteArray("1");
    QTest::newRow("asked, yes") << true << false << QList<int>{Yes, Yes} << 2 << QByteArray("3");
    QTest::newRow("asked, no") << true << false << QList<int>{No, No} << 2 << QByteArray("1");
    QTest::newRow("asked, cancel") << true << false << QList<int>{Cancel} << 1 << QByteArray("1");
}

void TestZipBridge::existingFiles() {
    QFETCH(bool, ask);
    QFETCH(bool, overwrite);
    QFETCH(QList<int>, buttons);
    QFETCH(int, questions);
    QFETCH(QByteArray, kept);
    TestEnv env;
    const QString zip =
        maker::Zip(env.work("same.zip"),
                   {File("x/a.package", "1"), File("y/a.package", "2"), File("z/a.package", "3")});
    const QString folder = ArmForExtraction(env, zip);
    G().Zip.UnzipOptions[Opt::noflag] = overwrite;
    G().Zip.UnzipOptions[Opt::PromptToOverwrite] = ask;
    env.prompts.answers.assign(buttons.begin(), buttons.end());

    QCOMPARE(VBUnZip32(), UnzipCode::Ok);
    QCOMPARE(env.prompts.boxes.size(), questions);
    if (questions) {
        QCOMPARE(env.prompts.boxes[0].prompt, QString("Overwrite y/a.package?"));
        QCOMPARE(env.prompts.boxes[0].title, QString("VBUnZip32 - File Already Exists!"));
        QCOMPARE(env.prompts.boxes[0].style,
                 platform::Box::YesNoCancel | platform::Box::Exclamation);
    }
    QCOMPARE(maker::NamesIn(folder), QStringList({"a.package"}));
    QCOMPARE(maker::Read(folder + "a.package"), kept);
}

void TestZipBridge::listingInsteadOfExtracting() {
    TestEnv env;
    const QByteArray longName = "Hair/" + QByteArray(60, 'n') + ".package";
    const QString zip =
        maker::Zip(env.work("list.zip"), {File("a.package", "twelve bytes"), File(longName, "x")});
    const QString folder = ArmForExtraction(env, zip);
    G().Zip.UnzipOptions[Opt::nvflag] = 1;

    QCOMPARE(VBUnZip32(), UnzipCode::Ok);
    QVERIFY(maker::NamesIn(folder).isEmpty());
    QCOMPARE(G().Zip.UnzipListCount, 2);
    const auto line = [](const QString& start) { return start.leftJustified(80) + "\r\n"; };
    QCOMPARE(G().Zip.UnzipListing,
             line("Filename:" + QString(43, ' ') + "Size     Date     Time") +
                 line("a.package" + QString(41, ' ') + "     12  03/05/24   7:08") +
                 line(QString("Hair/" + QString(45, 'n')) + "      1  03/05/24   7:08"));
}

QTEST_GUILESS_MAIN(TestZipBridge)
#include "test_zip_bridge.moc"
