// The zip bridge's callbacks, called as the unzipping calls them: what they
// collect, answer and show.
#include "checks.h"
#include "pipeline/zip_bridge.h"
#include "state/globals.h"
#include "test_env.h"

#include <QtTest>

using namespace VBUnzBas;

class TestZipBridge : public QObject {
    Q_OBJECT
private slots:
    void messagesCollected();
    void replaceAnswers_data();
    void replaceAnswers();
    void listingColumns();
    void passwordIntoBuffer();
};

void TestZipBridge::messagesCollected() {
    TestEnv env;
    QCOMPARE(UnzipPrint("one\0hidden", 10), 0);
    QCOMPARE(UnzipPrint("\nrest is dropped", 16), 0);
    QCOMPARE(UnzipPrint("two and more", 3), 0);
    QCOMPARE(UnzipPrint(nullptr, 5), 0);
    QCOMPARE(G().Zip.UnzipMessages, QString("one\r\ntwo"));
    // The service notice lets every entry through and keeps nothing.
    QCOMPARE(UnzipService("entry.package", 13), 0);
    QCOMPARE(G().Zip.UnzipMessages, QString("one\r\ntwo"));
}

void TestZipBridge::replaceAnswers_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << int(platform::Box::Yes) << int(Replace::Yes);
    QTest::newRow("no") << int(platform::Box::No) << int(Replace::No);
    QTest::newRow("cancel") << int(platform::Box::Cancel) << int(Replace::None);
}

void TestZipBridge::replaceAnswers() {
    QFETCH(int, button);
    QFETCH(int, answer);
    TestEnv env;
    env.prompts.answers = {button};
    QCOMPARE(UnzipReplace("hair.package"), answer);
    QCOMPARE(Boxes(env.prompts),
             QStringList{"Overwrite hair.package?|51|VBUnZip32 - File Already Exists!"});
}

void TestZipBridge::listingColumns() {
    TestEnv env;
    const QByteArray longName = QByteArray(60, 'x');
    UnzipListEntry(123456789, 0, 0, 3, 4, 2026, 7, 5, ' ', "a.package", "", 0, ' ');
    UnzipListEntry(42, 0, 0, 12, 31, 1999, 23, 59, ' ', longName.constData(), "", 0, ' ');
    const QStringList lines = G().Zip.UnzipListing.split("\r\n");
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0], QString("Filename:").leftJustified(52) + "Size     Date     Time      ");
    QCOMPARE(lines[1], QString("a.package").leftJustified(50) + "3456789  03/04/26   7:05      ");
    QCOMPARE(lines[2], QString(50, 'x') + "     42  12/31/99  23:59      ");
    QCOMPARE(lines[3], QString());
    QCOMPARE(G().Zip.UnzipListCount, 2);
}

void TestZipBridge::passwordIntoBuffer() {
    TestEnv env;
    char buffer[8];
    std::memset(buffer, 'z', sizeof buffer);
    env.prompts.inputs = {"secret-too-long", ""};
    // Cut to the buffer, closing zero included.
    QCOMPARE(UnzipPassword(buffer, 6, "", "a.package"), 0);
    QCOMPARE(QByteArray(buffer, 8), QByteArray("secre\0zz", 8));
    QCOMPARE(env.prompts.inputPrompts[0].prompt, QString("Please Enter The Password!"));
    QCOMPARE(env.prompts.inputPrompts[0].title, QString("Brushwick 2"));
    QVERIFY(env.prompts.inputPrompts[0].secret);
    // An empty answer skips every later question of the run.
    QCOMPARE(UnzipPassword(buffer, 6, "", "b.package"), 1);
    QCOMPARE(UnzipPassword(buffer, 6, "", "c.package"), 1);
    QCOMPARE(env.prompts.inputPrompts.size(), 2);
}

QTEST_GUILESS_MAIN(TestZipBridge)
#include "test_zip_bridge.moc"
