#include "log/log.h"
#include "platform/globals.h"
#include "test_env.h"
#include "windows/artwork.h"
#include "windows/help_form.h"

#include <QPlainTextEdit>
#include <QtTest>

namespace {

// The main window as the help window sees it: an icon and an outer width.
struct MainWindow {
    MainWindow() {
        window.setWindowIcon(OkIcon());
        window.resize(387, 220);
    }
    QWidget window;
};

QString Readme(const TestEnv& env, const QString& name) {
    return env.programFolder() + "/langs/readme." + name;
}

} // namespace

class TestHelpForm : public QObject {
    Q_OBJECT
private slots:
    void readmeOfTheChosenLanguage();
    void readmeFallsBackToTheEnglishText_data();
    void readmeFallsBackToTheEnglishText();
    void missingTextsShowAMessage_data();
    void missingTextsShowAMessage();
    void changeLogLinesAreShownAsTheyStand_data();
    void changeLogLinesAreShownAsTheyStand();
    void oneWindowForBothTexts();
    void textCannotBeEdited();
    void loadTakesTheMainWindowsLookAnewAfterClosing();
    void textBoxFollowsTheWindowSize();
};

void TestHelpForm::readmeOfTheChosenLanguage() {
    TestEnv env;
    env.useTestLanguage();
    G().LangChoice = "lang.1deu.txt";
    env.writeFile(Readme(env, "lang.1deu.txt"), "Hallo\r\nWelt");
    env.writeFile(Readme(env, "lang.eng0.txt"), "Hello\r\n");
    MainWindow main;
    helpForm help(&main.window);
    help.Load_Readme();
    QCOMPARE(help.Text1->toPlainText(), QString("Hallo\nWelt\n"));
    QCOMPARE(help.windowTitle(), QString("Brushwick 2 - Help"));
}

void TestHelpForm::readmeFallsBackToTheEnglishText_data() {
    QTest::addColumn<QByteArray>("chosen");
    QTest::newRow("no read-me for the language") << QByteArray();
    QTest::newRow("empty read-me") << QByteArray("");
}

void TestHelpForm::readmeFallsBackToTheEnglishText() {
    QFETCH(QByteArray, chosen);
    TestEnv env;
    env.useTestLanguage();
    G().LangChoice = "lang.0eng.txt";
    if (!chosen.isNull())
        env.writeFile(Readme(env, "lang.0eng.txt"), chosen);
    env.writeFile(Readme(env, "lang.eng0.txt"), "Fallback\r\n");
    MainWindow main;
    helpForm help(&main.window);
    help.Load_Readme();
    QCOMPARE(help.Text1->toPlainText(), QString("Fallback\n"));
}

void TestHelpForm::missingTextsShowAMessage_data() {
    QTest::addColumn<bool>("changeLog");
    QTest::addColumn<QString>("file");
    QTest::newRow("change log") << true << "ChangeLog.txt";
    QTest::newRow("fallback read-me") << false << "langs/readme.lang.eng0.txt";
}

void TestHelpForm::missingTextsShowAMessage() {
    QFETCH(bool, changeLog);
    QFETCH(QString, file);
    TestEnv env(Error_Mod::Level::Errors);
    env.useTestLanguage();
    G().LangChoice = "lang.0eng.txt";
    MainWindow main;
    helpForm help(&main.window);
    help.Text1->setPlainText("something from before");
    if (changeLog)
        help.Load_ChangeLog();
    else
        help.Load_Readme();
    const QString path = env.programFolder() + "/" + file;
    const QString shown = help.Text1->toPlainText();
    QVERIFY2(shown.startsWith("This text cannot be shown."), qPrintable(shown));
    QVERIFY(shown.contains(path));
    QVERIFY(shown.contains("Error 53: File not found"));
    QCOMPARE(env.logMessages(), QStringList{"SHOWTEXTFILE: " + path + " - 53: File not found"});
    QVERIFY(env.prompts.boxes.isEmpty());
}

void TestHelpForm::changeLogLinesAreShownAsTheyStand_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty file") << QByteArray("") << "\n";
    QTest::newRow("no break after the last line") << QByteArray("a\r\nb") << "a\nb\n";
    QTest::newRow("blank lines, comments and blanks kept")
        << QByteArray("1.0 Build 2\r\n\r\n  # not a comment here \r\n' nor this\r\n")
        << "1.0 Build 2\n\n  # not a comment here \n' nor this\n";
    QTest::newRow("lone carriage returns end lines") << QByteArray("a\rb\r") << "a\nb\n";
    QTest::newRow("Latin-1 text") << QByteArray("caf\xe9\r\n") << QString::fromUtf8("café\n");
    QTest::newRow("UTF-8 text") << QByteArray("Français\r\n") << QString::fromUtf8("Français\n");
}

void TestHelpForm::changeLogLinesAreShownAsTheyStand() {
    QFETCH(QByteArray, content);
    QFETCH(QString, shown);
    TestEnv env;
    env.useTestLanguage();
    env.writeFile(env.programFolder() + "/ChangeLog.txt", content);
    helpForm help(nullptr);
    help.Load_ChangeLog();
    QCOMPARE(help.Text1->toPlainText(), shown);
}

void TestHelpForm::oneWindowForBothTexts() {
    TestEnv env;
    env.useTestLanguage();
    G().LangChoice = "lang.0eng.txt";
    env.writeFile(env.programFolder() + "/ChangeLog.txt", "Changes\r\n");
    env.writeFile(Readme(env, "lang.0eng.txt"), "Read me\r\n");
    MainWindow main;
    helpForm help(&main.window);
    help.Load_ChangeLog();
    help.show();
    QCOMPARE(help.Text1->toPlainText(), QString("Changes\n"));
    help.Load_Readme();
    QCOMPARE(help.Text1->toPlainText(), QString("Read me\n"));
    QCOMPARE(help.windowTitle(), QString("Brushwick 2 - Help"));
    // The help window does not block the main window.
    QVERIFY(!help.isModal());
    QCOMPARE(help.windowModality(), Qt::NonModal);
}

void TestHelpForm::textCannotBeEdited() {
    TestEnv env;
    env.useTestLanguage();
    env.writeFile(env.programFolder() + "/ChangeLog.txt", "Changes\r\n");
    helpForm help(nullptr);
    help.Load_ChangeLog();
    help.show();
    QVERIFY(help.Text1->isReadOnly());
    help.Text1->setFocus();
    QTest::keyClicks(help.Text1, "typed");
    QTest::keyClick(help.Text1, Qt::Key_Backspace);
    QCOMPARE(help.Text1->toPlainText(), QString("Changes\n"));
    QCOMPARE(help.Text1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

void TestHelpForm::loadTakesTheMainWindowsLookAnewAfterClosing() {
    TestEnv env;
    env.useTestLanguage();
    env.writeFile(env.programFolder() + "/ChangeLog.txt", "Changes\r\n");
    MainWindow main;
    main.window.show();
    helpForm help(&main.window);
    help.Load_ChangeLog();
    help.show();
    QCOMPARE(help.frameGeometry().width(), main.window.frameGeometry().width());
    QCOMPARE(help.windowIcon().cacheKey(), main.window.windowIcon().cacheKey());

    // While loaded the window keeps its title and width.
    G().CurLang.Change("HELP", "HELP = Hilfe");
    main.window.resize(500, 220);
    help.Load_ChangeLog();
    QCOMPARE(help.windowTitle(), QString("Brushwick 2 - Help"));
    QVERIFY(help.frameGeometry().width() != main.window.frameGeometry().width());

    // Closed and opened again, it is loaded anew.
    help.close();
    help.Load_ChangeLog();
    QCOMPARE(help.windowTitle(), QString("Brushwick 2 - Hilfe"));
    help.show();
    QCOMPARE(help.frameGeometry().width(), main.window.frameGeometry().width());
}

void TestHelpForm::textBoxFollowsTheWindowSize() {
    TestEnv env;
    env.useTestLanguage();
    env.writeFile(env.programFolder() + "/ChangeLog.txt", "Changes\r\n");
    helpForm help(nullptr);
    help.Load_ChangeLog();
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    const QMargins frame(help.geometry().left() - help.frameGeometry().left(),
                         help.geometry().top() - help.frameGeometry().top(),
                         help.frameGeometry().right() - help.geometry().right(),
                         help.frameGeometry().bottom() - help.geometry().bottom());

    help.resize(400, 300);
    const QSize outer = help.frameGeometry().size();
    // 435 twips of height and 150 of width stay free, at 15 twips a pixel.
    QCOMPARE(help.Text1->geometry(),
             QRect(0, 0, std::min(outer.width() - 10, 400), std::min(outer.height() - 29, 300)));

    // Smaller than the margins: the box shrinks to nothing, never below.
    help.resize(4, 4);
    QVERIFY(help.Text1->width() >= 0 && help.Text1->height() >= 0);
    QVERIFY(help.Text1->width() <= help.width() && help.Text1->height() <= help.height());
    if (frame.isNull())
        QCOMPARE(help.Text1->size(), QSize(0, 0));

    // Minimised, the box keeps its size; restored, it follows again.
    help.resize(400, 300);
    const QRect before = help.Text1->geometry();
    help.setWindowState(Qt::WindowMinimized);
    help.resize(600, 500);
    QCOMPARE(help.Text1->geometry(), before);
    help.setWindowState(Qt::WindowNoState);
    QCOMPARE(help.Text1->width(), std::min(help.frameGeometry().width() - 10, help.width()));
}

QTEST_MAIN(TestHelpForm)
#include "test_help_form.moc"
