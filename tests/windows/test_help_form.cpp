#include "log/log.h"
#include "platform/globals.h"
#include "test_env.h"
#include "windows/help_form.h"

#include <QPlainTextEdit>
#include <QtTest>

class TestHelpForm : public QObject {
    Q_OBJECT
private slots:
    void readmeOfTheChosenLanguageOrTheFallback_data();
    void readmeOfTheChosenLanguageOrTheFallback();
    void linesAreShownAsTheyStand_data();
    void linesAreShownAsTheyStand();
    void oneReadOnlyWindowForBothTexts();
    void textBoxFollowsTheWindowSize();
};

void TestHelpForm::readmeOfTheChosenLanguageOrTheFallback_data() {
    QTest::addColumn<QByteArray>("chosen");
    QTest::addColumn<QByteArray>("fallback");
    QTest::addColumn<QString>("shown");
    QTest::newRow("chosen") << QByteArray("Hallo\r\n") << QByteArray("Hello\r\n") << "Hallo\n";
    QTest::newRow("none for the language") << QByteArray() << QByteArray("Hello\r\n") << "Hello\n";
    QTest::newRow("empty for the language")
        << QByteArray("") << QByteArray("Hello\r\n") << "Hello\n";
    QTest::newRow("no fallback either") << QByteArray() << QByteArray() << "";
}

void TestHelpForm::readmeOfTheChosenLanguageOrTheFallback() {
    QFETCH(QByteArray, chosen);
    QFETCH(QByteArray, fallback);
    QFETCH(QString, shown);
    TestEnv env(Error_Mod::Level::Errors);
    env.useTestLanguage();
    G().LangChoice = "lang.1deu.txt";
    const QString langs = env.programFolder() + "/langs/";
    if (!chosen.isNull())
        env.writeFile(langs + "readme.lang.1deu.txt", chosen);
    if (!fallback.isNull())
        env.writeFile(langs + "readme.lang.eng0.txt", fallback);
    helpForm help(nullptr);
    help.Text1->setPlainText("from before");
    help.Load_Readme();
    QCOMPARE(help.windowTitle(), QString("Brushwick 2 - Help"));
    if (!shown.isEmpty()) {
        QCOMPARE(help.Text1->toPlainText(), shown);
        return;
    }
    // Nothing to show: the window says so instead of failing.
    const QString path = langs + "readme.lang.eng0.txt";
    QCOMPARE(help.Text1->toPlainText(),
             "This text cannot be shown.\n\n" + path + "\nError 53: File not found\n");
    QCOMPARE(env.logMessages(), QStringList{"SHOWTEXTFILE: " + path + " - 53: File not found"});
    QVERIFY(env.prompts.boxes.isEmpty());
}

void TestHelpForm::linesAreShownAsTheyStand_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty file") << QByteArray("") << "\n";
    QTest::newRow("no break after the last line") << QByteArray("a\r\nb") << "a\nb\n";
    QTest::newRow("blank lines, comments, blanks")
        << QByteArray("1.0\r\n\r\n  # not a comment \r\n") << "1.0\n\n  # not a comment \n";
    QTest::newRow("Latin-1") << QByteArray("caf\xe9\r\n") << QString::fromUtf8("café\n");
}

void TestHelpForm::linesAreShownAsTheyStand() {
    QFETCH(QByteArray, content);
    QFETCH(QString, shown);
    TestEnv env;
    env.useTestLanguage();
    env.writeFile(env.programFolder() + "/ChangeLog.txt", content);
    helpForm help(nullptr);
    help.Load_ChangeLog();
    QCOMPARE(help.Text1->toPlainText(), shown);
}

void TestHelpForm::oneReadOnlyWindowForBothTexts() {
    TestEnv env;
    env.useTestLanguage();
    G().LangChoice = "lang.0eng.txt";
    env.writeFile(env.programFolder() + "/ChangeLog.txt", "Changes\r\n");
    env.writeFile(env.programFolder() + "/langs/readme.lang.0eng.txt", "Read me\r\n");
    QWidget main;
    main.resize(387, 220);
    main.show();
    helpForm help(&main);
    help.Load_ChangeLog();
    help.show();
    QCOMPARE(help.windowModality(), Qt::NonModal);
    QCOMPARE(help.frameGeometry().width(), main.frameGeometry().width());
    help.Text1->setFocus();
    QTest::keyClicks(help.Text1, "typed");
    QCOMPARE(help.Text1->toPlainText(), QString("Changes\n"));

    // While it stays open the window keeps its title and width.
    G().CurLang.Change("HELP", "HELP = Hilfe");
    main.resize(500, 220);
    help.Load_Readme();
    QCOMPARE(help.Text1->toPlainText(), QString("Read me\n"));
    QCOMPARE(help.windowTitle(), QString("Brushwick 2 - Help"));

    // Closed and used again, it takes them anew.
    help.close();
    help.Load_Readme();
    help.show();
    QCOMPARE(help.windowTitle(), QString("Brushwick 2 - Hilfe"));
    QCOMPARE(help.frameGeometry().width(), main.frameGeometry().width());
}

void TestHelpForm::textBoxFollowsTheWindowSize() {
    TestEnv env;
    helpForm help(nullptr);
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    // 435 twips of the outer height and 150 of its width stay free.
    auto expected = [&help] {
        const QSize outer = help.frameGeometry().size();
        return QSize(std::clamp(outer.width() - 10, 0, help.width()),
                     std::clamp(outer.height() - 29, 0, help.height()));
    };
    help.resize(400, 300);
    QCOMPARE(help.Text1->size(), expected());
    QCOMPARE(help.Text1->pos(), QPoint(0, 0));
    help.resize(4, 4);
    QCOMPARE(help.Text1->size(), expected());

    // Minimised, the box keeps its size; restored, it follows again.
    help.resize(400, 300);
    const QSize before = help.Text1->size();
    help.setWindowState(Qt::WindowMinimized);
    help.resize(600, 500);
    QCOMPARE(help.Text1->size(), before);
    help.setWindowState(Qt::WindowNoState);
    QCOMPARE(help.Text1->size(), expected());
}

QTEST_MAIN(TestHelpForm)
#include "test_help_form.moc"
