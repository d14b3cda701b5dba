// The zip bridge's callbacks, called as the unzipping calls them: what they
// collect, answer and show. (Its overwrite question and its listing are
// switched off for every archive the program unpacks, so no player meets them.)
#include "pipeline/zip_bridge.h"
#include "state/globals.h"
#include "test_env.h"

#include <QtTest>

using namespace VBUnzBas;

class TestZipBridge : public QObject {
    Q_OBJECT
private slots:
    void messagesCollected();
    void passwordIntoBuffer();
};

// What goes into the bad-zip report.
void TestZipBridge::messagesCollected() {
    TestEnv env;
    QCOMPARE(UnzipPrint("one\0hidden", 10), 0);
    QCOMPARE(UnzipPrint("\nrest is dropped", 16), 0);
    QCOMPARE(UnzipPrint("two and more", 3), 0);
    QCOMPARE(UnzipPrint(nullptr, 5), 0);
    QCOMPARE(G().Zip.UnzipMessages, QString("one\r\ntwo"));
}

void TestZipBridge::passwordIntoBuffer() {
    TestEnv env;
    QByteArray buffer(8, 'z');
    env.prompts.inputs = {"secret-too-long", fakes::Cancelled, "late"};
    // Cut to the buffer, closing zero included.
    QCOMPARE(UnzipPassword(buffer.data(), 6, "", "a.package"), 0);
    QCOMPARE(buffer, QByteArray("secre\0zz", 8));
    QCOMPARE(env.prompts.inputPrompts[0].prompt, QString("Please Enter The Password!"));
    QCOMPARE(env.prompts.inputPrompts[0].title, QString("Brushwick 2"));
    QVERIFY(env.prompts.inputPrompts[0].secret);
    // Cancelling skips every later question of the run.
    QCOMPARE(UnzipPassword(buffer.data(), 6, "", "b.package"), 1);
    QCOMPARE(UnzipPassword(buffer.data(), 6, "", "c.package"), 1);
    QCOMPARE(env.prompts.inputPrompts.size(), 2);
}

QTEST_GUILESS_MAIN(TestZipBridge)
#include "test_zip_bridge.moc"
