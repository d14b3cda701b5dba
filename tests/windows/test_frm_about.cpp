#include "platform/globals.h"
#include "test_env.h"
#include "windows/artwork.h"
#include "windows/frm_about.h"

#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QtTest>

namespace {

// The main window, hidden while the credits window is open.
struct MainWindow {
    MainWindow() {
        window.setWindowIcon(HelpIcon());
        window.hide();
    }
    QWidget window;
};

QStringList CreditLines(const frmAbout& about) {
    return about.aboutLabel->text().split('\n');
}

// Lines of the credits up to the translations, and the closing lines.
const QStringList Opening{
    "", "", "Brushwick 2 v1.0 Build 2", "By the Brushwick 2 team", "", "Special thanks to:"};
const QStringList Closing{"", "", "  And YOU for using The Tidsel and spreading the word!",
                          "  So long... ", ""};

QStringList Translations(const QStringList& lines) {
    const qsizetype from = lines.indexOf("Translations:") + 1;
    return lines.mid(from, lines.size() - from - Closing.size());
}

void WritePack(const TestEnv& env, const QString& file, const QByteArray& content) {
    env.writeFile(env.programFolder() + "/langs/" + file, content);
}

} // namespace

class TestFrmAbout : public QObject {
    Q_OBJECT
private slots:
    void splashShowsVersionAndNotice();
    void splashClosesOnTheTickAndShowsTheMainWindow();
    void clicksCloseOnThePictureOnly_data();
    void clicksCloseOnThePictureOnly();
    void creditsListThePacksInListingOrder();
    void creditsWithoutPacks();
    void creditsWithABadPackReportTheError();
    void creditsScrollAndStartOver();
};

void TestFrmAbout::splashShowsVersionAndNotice() {
    TestEnv env;
    env.useTestLanguage();
    MainWindow main;
    frmAbout about(&main.window);
    QCOMPARE(about.windowTitle(), QString("About"));
    QCOMPARE(about.windowIcon().cacheKey(), main.window.windowIcon().cacheKey());
    QCOMPARE(about.size(), QSize(384, 168));
    QCOMPARE(about.Picture1->pixmap().size(), QSize(383, 169));
    QCOMPARE(about.versionLabel->text(), QString("v1.0 Build 2"));
    QCOMPARE(about.copylabel->text(), QString("Legal notice"));
    QVERIFY(about.versionLabel->isVisibleTo(&about));
    QVERIFY(about.copylabel->isVisibleTo(&about));
    QVERIFY(!about.aboutContainer->isVisibleTo(&about));
    QVERIFY(about.Timer1->isActive());
    QCOMPARE(about.Timer1->interval(), 7500);
}

void TestFrmAbout::splashClosesOnTheTickAndShowsTheMainWindow() {
    TestEnv env;
    env.useTestLanguage();
    MainWindow main;
    {
        frmAbout about(&main.window);
        about.show();
        about.Timer1_Timer();
        QVERIFY(!about.isVisible());
        QVERIFY(!about.Timer1->isActive());
        QVERIFY(main.window.isVisible());
    }
    // The timer itself drives the same beat (brought forward, not waited for).
    main.window.hide();
    frmAbout about(&main.window);
    about.show();
    about.Timer1->start(0);
    QCoreApplication::processEvents();
    QVERIFY(!about.isVisible());
    QVERIFY(main.window.isVisible());
}

void TestFrmAbout::clicksCloseOnThePictureOnly_data() {
    QTest::addColumn<bool>("credits");
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("closes");
    for (const bool credits : {false, true}) {
        const char* mode = credits ? "credits" : "splash";
        QTest::addRow("%s: picture", mode) << credits << "Picture1" << true;
        QTest::addRow("%s: window", mode) << credits << "window" << true;
        QTest::addRow("%s: right click on the picture", mode) << credits << "right" << false;
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
    env.useTestLanguage();
    QDir().mkpath(env.programFolder() + "/langs");
    G().AboutFromMenu = credits;
    MainWindow main;
    frmAbout about(&main.window);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    if (control == "window") {
        // The column of the window that the picture leaves free.
        QTest::mouseClick(&about, Qt::LeftButton, {}, QPoint(about.width() - 1, 10));
    } else if (control == "right") {
        QTest::mouseClick(about.Picture1, Qt::RightButton, {}, QPoint(20, 20));
    } else if (control == "aboutContainer") {
        // A corner of the box that the text does not cover.
        QTest::mouseClick(about.aboutContainer, Qt::LeftButton, {}, QPoint(3, 3));
    } else {
        auto* widget = about.findChild<QWidget*>(control);
        QVERIFY(widget && widget->isVisible());
        QTest::mouseClick(widget, Qt::LeftButton);
    }
    QCOMPARE(about.isVisible(), !closes);
    QCOMPARE(main.window.isVisible(), closes);
}

void TestFrmAbout::creditsListThePacksInListingOrder() {
    TestEnv env;
    env.useTestLanguage();
    // Listed by file name; the display names sort the other way round.
    WritePack(env, "lang.0zz.txt", "  Zulu \r\n Zed Author \r\nHELP = Z\r\n");
    WritePack(env, "lang.1mm.txt", "Mike\r\nMary\r\nHELP = M\r\n");
    WritePack(env, "lang.2aa.txt", "Alpha\r\n<b>Ann</b>\r\nHELP = A\r\n");
    G().AboutFromMenu = true;
    MainWindow main;
    frmAbout about(&main.window);

    const QStringList lines = CreditLines(about);
    QCOMPARE(lines.mid(0, Opening.size()), Opening);
    const QStringList thanks = lines.mid(Opening.size(), 4);
    for (const QString& line : thanks)
        QVERIFY2(line.startsWith("  ") && line.endsWith(","), qPrintable(line));
    QCOMPARE(lines.mid(Opening.size() + 4, 2), (QStringList{"", "Translations:"}));
    QCOMPARE(Translations(lines),
             (QStringList{"   Zulu by Zed Author", "   Mike by Mary", "   Alpha by <b>Ann</b>"}));
    QCOMPARE(lines.mid(lines.size() - Closing.size()), Closing);
    // Names are shown as written, never as markup.
    QCOMPARE(about.aboutLabel->textFormat(), Qt::PlainText);

    QVERIFY(!about.versionLabel->isVisibleTo(&about));
    QVERIFY(!about.copylabel->isVisibleTo(&about));
    QVERIFY(about.aboutContainer->isVisibleTo(&about));
    QVERIFY(about.aboutLabel->isVisibleTo(&about));
    QCOMPARE(about.Timer1->interval(), 50);
    QVERIFY(about.Timer1->isActive());
    // The box grows with its text.
    QVERIFY(about.aboutLabel->height() >= about.aboutLabel->sizeHint().height());
}

void TestFrmAbout::creditsWithoutPacks() {
    TestEnv env;
    env.useTestLanguage();
    QDir().mkpath(env.programFolder() + "/langs");
    env.writeFile(env.programFolder() + "/langs/readme.lang.eng0.txt", "Not a pack\r\n");
    G().AboutFromMenu = true;
    MainWindow main;
    frmAbout about(&main.window);
    const QStringList lines = CreditLines(about);
    QCOMPARE(lines.mid(lines.indexOf("Translations:") + 1), Closing);
}

void TestFrmAbout::creditsWithABadPackReportTheError() {
    TestEnv env;
    env.useTestLanguage();
    WritePack(env, "lang.0eng.txt", "English\r\nTeam\r\nHELP = Help\r\n");
    WritePack(env, "lang.9bad.txt", "Only a name");
    G().AboutFromMenu = true;
    MainWindow main;
    frmAbout about(&main.window);
    about.show();
    QCOMPARE(env.prompts.boxes.size(), 1);
    QCOMPARE(env.prompts.boxes[0].prompt, QString("Splash Error 62: Input past end of file"));
    QCOMPARE(env.prompts.boxes[0].title, QString("Brushwick 2 Error Wizard"));
    QCOMPARE(env.logMessages(), QStringList{"ERROR: Splash Error 62: Input past end of file"});
    // Only the picture is left, and it waits for a click.
    QVERIFY(!about.versionLabel->isVisible());
    QVERIFY(!about.copylabel->isVisible());
    QVERIFY(!about.aboutContainer->isVisible());
    QVERIFY(!about.Timer1->isActive());
    QTest::mouseClick(about.Picture1, Qt::LeftButton);
    QVERIFY(!about.isVisible());
    QVERIFY(main.window.isVisible());
}

void TestFrmAbout::creditsScrollAndStartOver() {
    TestEnv env;
    env.useTestLanguage();
    WritePack(env, "lang.0eng.txt", "English\r\nTeam\r\nHELP = Help\r\n");
    G().AboutFromMenu = true;
    MainWindow main;
    frmAbout about(&main.window);
    about.show();
    QCOMPARE(about.aboutLabelTop(), 120);
    QCOMPARE(about.aboutLabel->y(), 8);

    about.Timer1_Timer();
    QCOMPARE(about.aboutLabelTop(), 115);
    QCOMPARE(about.aboutLabel->y(), 7);

    // The text moves 5 twips a beat until all of it has passed the upper
    // edge, then it starts again with its first line at the edge.
    const int height = about.aboutLabelHeight();
    QVERIFY(height > 1275);
    const int beatsToPass = (120 + height) / 5 + 1;
    for (int beat = 2; beat < beatsToPass; ++beat)
        about.Timer1_Timer();
    QCOMPARE(about.aboutLabelTop(), 120 - 5 * (beatsToPass - 1));
    QVERIFY(about.aboutLabelTop() + height >= 0);
    about.Timer1_Timer();
    QCOMPARE(about.aboutLabelTop(), 0);
    QCOMPARE(about.aboutLabel->y(), 0);
    about.Timer1_Timer();
    QCOMPARE(about.aboutLabelTop(), -5);
    QCOMPARE(about.aboutLabel->y(), -1);
    QVERIFY(about.isVisible());

    about.close();
    QVERIFY(!about.Timer1->isActive());
    QVERIFY(main.window.isVisible());
}

QTEST_MAIN(TestFrmAbout)
#include "test_frm_about.moc"
