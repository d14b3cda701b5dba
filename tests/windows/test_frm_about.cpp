#include "platform/globals.h"
#include "test_env.h"
#include "windows/artwork.h"
#include "windows/frm_about.h"

#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QtTest>

namespace {

QStringList CreditLines(const frmAbout& about) {
    return about.aboutLabel->text().split('\n');
}

// The lines after the translations.
const QStringList Closing{"", "", "  And YOU for using The Tidsel and spreading the word!",
                          "  So long... ", ""};

void WritePack(const TestEnv& env, const QString& file, const QByteArray& content) {
    env.writeFile(env.programFolder() + "/langs/" + file, content);
}

} // namespace

class TestFrmAbout : public QObject {
    Q_OBJECT
private slots:
    void splashClosesOnItsTimer();
    void clicksCloseOnThePictureOnly_data();
    void clicksCloseOnThePictureOnly();
    void creditsListThePacksInListingOrder();
    void creditsWithABadPackReportTheError();
    void creditsScrollAndStartOver();
};

void TestFrmAbout::splashClosesOnItsTimer() {
    TestEnv env;
    QWidget main;
    main.setWindowIcon(HelpIcon());
    frmAbout about(&main);
    QCOMPARE(about.windowIcon().cacheKey(), main.windowIcon().cacheKey());
    QCOMPARE(about.versionLabel->text(), QString("v1.0 Build 2"));
    QCOMPARE(about.copylabel->text(), QString("Legal notice"));
    QVERIFY(about.versionLabel->isVisibleTo(&about));
    QVERIFY(!about.aboutContainer->isVisibleTo(&about));
    QCOMPARE(about.Timer1->interval(), 7500);
    QVERIFY(about.Timer1->isActive());
    about.show();
    // The beat is brought forward, not waited for.
    about.Timer1->start(0);
    QCoreApplication::processEvents();
    QVERIFY(!about.isVisible());
    QVERIFY(!about.Timer1->isActive());
    QVERIFY(main.isVisible());
}

void TestFrmAbout::clicksCloseOnThePictureOnly_data() {
    QTest::addColumn<bool>("credits");
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("closes");
    for (const bool credits : {false, true}) {
        const char* mode = credits ? "credits" : "splash";
        QTest::addRow("%s: picture", mode) << credits << "Picture1" << true;
        QTest::addRow("%s: window", mode) << credits << "window" << true;
        QTest::addRow("%s: right click", mode) << credits << "right" << false;
    }
    QTest::newRow("splash: version") << false << "versionLabel" << false;
    QTest::newRow("splash: legal notice") << false << "copylabel" << false;
    QTest::newRow("credits: box") << true << "aboutContainer" << true;
    QTest::newRow("credits: text") << true << "aboutLabel" << true;
}

void TestFrmAbout::clicksCloseOnThePictureOnly() {
    QFETCH(bool, credits);
    QFETCH(QString, control);
    QFETCH(bool, closes);
    TestEnv env;
    QDir().mkpath(env.programFolder() + "/langs");
    G().AboutFromMenu = credits;
    QWidget main;
    frmAbout about(&main);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    if (control == "window") // the column the picture leaves free
        QTest::mouseClick(&about, Qt::LeftButton, {}, QPoint(about.width() - 1, 10));
    else if (control == "right")
        QTest::mouseClick(about.Picture1, Qt::RightButton, {}, QPoint(20, 20));
    else if (control == "aboutContainer") // a corner the text leaves free
        QTest::mouseClick(about.aboutContainer, Qt::LeftButton, {}, QPoint(3, 3));
    else
        QTest::mouseClick(about.findChild<QWidget*>(control), Qt::LeftButton);
    QCOMPARE(about.isVisible(), !closes);
    QCOMPARE(main.isVisible(), closes);
}

void TestFrmAbout::creditsListThePacksInListingOrder() {
    TestEnv env;
    G().AboutFromMenu = true;
    QDir().mkpath(env.programFolder() + "/langs");
    env.writeFile(env.programFolder() + "/langs/readme.lang.eng0.txt", "Not a pack\r\n");
    {
        frmAbout about(nullptr);
        const QStringList lines = CreditLines(about);
        QCOMPARE(lines.mid(lines.indexOf("Translations:") + 1), Closing);
    }
    // Listed by file name; the display names sort the other way round.
    WritePack(env, "lang.0zz.txt", "  Zulu \r\n Zed \r\nHELP = Z\r\n");
    WritePack(env, "lang.1mm.txt", "Mike\r\nMary\r\nHELP = M\r\n");
    WritePack(env, "lang.2aa.txt", "Alpha\r\n<b>Ann</b>\r\nHELP = A\r\n");
    frmAbout about(nullptr);
    const QStringList lines = CreditLines(about);
    QCOMPARE(lines.mid(0, 6), (QStringList{"", "", "Brushwick 2 v1.0 Build 2",
                                           "By the Brushwick 2 team", "", "Special thanks to:"}));
    for (const QString& thanks : lines.mid(6, 4))
        QVERIFY2(thanks.startsWith("  ") && thanks.endsWith(","), qPrintable(thanks));
    QCOMPARE(lines.mid(10, 5), (QStringList{"", "Translations:", "   Zulu by Zed",
                                            "   Mike by Mary", "   Alpha by <b>Ann</b>"}));
    QCOMPARE(lines.mid(15), Closing);
    QCOMPARE(about.aboutLabel->textFormat(), Qt::PlainText);

    QVERIFY(!about.versionLabel->isVisibleTo(&about));
    QVERIFY(!about.copylabel->isVisibleTo(&about));
    QVERIFY(about.aboutLabel->isVisibleTo(&about));
    QCOMPARE(about.Timer1->interval(), 50);
    QVERIFY(about.Timer1->isActive());
}

void TestFrmAbout::creditsWithABadPackReportTheError() {
    TestEnv env;
    env.useTestLanguage();
    WritePack(env, "lang.9bad.txt", "Only a name");
    G().AboutFromMenu = true;
    QWidget main;
    frmAbout about(&main);
    about.show();
    QCOMPARE(env.logMessages(), QStringList{"ERROR: Splash Error 62: Input past end of file"});
    QCOMPARE(env.prompts.boxes.size(), 1);
    // Only the picture is left, and it waits for a click.
    QVERIFY(!about.versionLabel->isVisible());
    QVERIFY(!about.aboutContainer->isVisible());
    QVERIFY(!about.Timer1->isActive());
    QTest::mouseClick(about.Picture1, Qt::LeftButton);
    QVERIFY(main.isVisible());
}

void TestFrmAbout::creditsScrollAndStartOver() {
    TestEnv env;
    WritePack(env, "lang.0eng.txt", "English\r\nTeam\r\nHELP = Help\r\n");
    G().AboutFromMenu = true;
    frmAbout about(nullptr);
    about.show();
    QCOMPARE(about.aboutLabelTop(), 120);
    about.Timer1_Timer();
    QCOMPARE(about.aboutLabelTop(), 115);
    QCOMPARE(about.aboutLabel->y(), 7);

    // 5 twips a beat until all of the text has passed the upper edge, then
    // it starts again with its first line at the edge.
    const int height = about.aboutLabelHeight();
    QVERIFY(height > 1275);
    const int beatsToPass = (120 + height) / 5 + 1;
    for (int beat = 2; beat < beatsToPass; ++beat)
        about.Timer1_Timer();
    QCOMPARE(about.aboutLabelTop() + height, 0);
    about.Timer1_Timer();
    QCOMPARE(about.aboutLabelTop(), 0);
    QCOMPARE(about.aboutLabel->y(), 0);
    about.Timer1_Timer();
    QCOMPARE(about.aboutLabel->y(), -1);
}

QTEST_MAIN(TestFrmAbout)
#include "test_frm_about.moc"
