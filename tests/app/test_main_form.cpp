#include "app/main_form.h"
#include "app/drop_picture.h"
#include "platform/globals.h"
#include "test_env.h"
#include "windows/help_form.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>

namespace {

// The window stands in for the status interface, as in the program.
struct WindowEnv {
    TestEnv env;
    mainForm window;
    WindowEnv() {
        platform::Install({&env.prompts, &window, &env.shell, &env.process, &env.settings});
        env.useTestLanguage();
        G().SimsPath = env.downloadFolder() + "/";
    }
};

void Drop(QWidget* target, QMimeData* data) {
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

QMimeData* Files(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    data->setUrls(urls);
    return data;
}

} // namespace

class TestMainForm : public QObject {
    Q_OBJECT
private slots:
    void layout();
    void dropInstallsInDroppedOrder();
    void dropOfTextIsAnEmptyRun();
    void noDropDuringARun();
    void rightClickOpensMenu_data();
    void rightClickOpensMenu();
    void helpButtonOpensMenu();
    void menuEntriesAndCaptions();
    void webPageWithoutBrowser();
    void webPageOpened();
    void helpAndChangeLogShareOneWindow();
    void creditsHideTheWindow();
};

void TestMainForm::layout() {
    WindowEnv w;
    QCOMPARE(w.window.size(), QSize(387, 201));
    QCOMPARE(w.window.DnDPic->geometry(), QRect(0, 0, 387, 173));
    QCOMPARE(w.window.HelpButton->geometry(), QRect(344, 128, 41, 41));
    QCOMPARE(w.window.HelpButton->toolTip(), QString("Help!"));
    QCOMPARE(w.window.SBar->geometry().top(), 173);
    QVERIFY(w.window.DnDPic->acceptDrops());
}

void TestMainForm::dropInstallsInDroppedOrder() {
    WindowEnv w;
    const QString a = w.env.writeFile(w.env.work("dl/a.package"), "a");
    const QString b = w.env.writeFile(w.env.work("b.package"), "b");
    const QString skin = w.env.writeFile(w.env.work("body.skin"), "s");
    std::unique_ptr<QMimeData> data(Files({w.env.work("dl"), b, skin}));
    Drop(w.window.DnDPic, data.get());

    QVERIFY(QFile::exists(w.env.downloadFolder() + "/a.package"));
    QVERIFY(QFile::exists(w.env.downloadFolder() + "/b.package"));
    QCOMPARE(w.env.shell.opened, QStringList{skin});
    QCOMPARE(w.window.Text(), QString("Done! 3 files installed"));
    const QStringList log = w.env.logMessages();
    QCOMPARE(log.value(0), QString("HANDLEDODFILECOUNT: 3"));
    QVERIFY(log.indexOf("FOLDER: " + w.env.work("dl")) < log.indexOf("Sims2Skin: " + skin));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

void TestMainForm::dropOfTextIsAnEmptyRun() {
    WindowEnv w;
    auto data = std::make_unique<QMimeData>();
    data->setText("just some words");
    Drop(w.window.DnDPic, data.get());
    QCOMPARE(w.window.Text(), QString("Done! No files installed"));
    QVERIFY(w.env.logMessages().contains("HANDLEDODFILECOUNT: 0"));
}

void TestMainForm::noDropDuringARun() {
    WindowEnv w;
    const QString b = w.env.writeFile(w.env.work("b.package"), "b");
    w.window.SetBusy(true);
    std::unique_ptr<QMimeData> data(Files({b}));
    Drop(w.window.DnDPic, data.get());
    w.window.SetBusy(false);
    QVERIFY(!QFile::exists(w.env.downloadFolder() + "/b.package"));
    QVERIFY(w.env.logMessages().isEmpty());
    Drop(w.window.DnDPic, data.get());
    QVERIFY(QFile::exists(w.env.downloadFolder() + "/b.package"));
}

void TestMainForm::rightClickOpensMenu_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("opens");
    QTest::newRow("right") << int(Qt::RightButton) << true;
    QTest::newRow("left") << int(Qt::LeftButton) << false;
    QTest::newRow("middle") << int(Qt::MiddleButton) << false;
}

void TestMainForm::rightClickOpensMenu() {
    QFETCH(int, button);
    QFETCH(bool, opens);
    WindowEnv w;
    w.window.show();
    QTest::mouseClick(w.window.DnDPic, Qt::MouseButton(button), {}, QPoint(50, 50));
    QCOMPARE(w.window.helpMenu->isVisible(), opens);
    w.window.helpMenu->hide();
}

void TestMainForm::helpButtonOpensMenu() {
    WindowEnv w;
    w.window.show();
    QTest::mouseClick(w.window.HelpButton, Qt::LeftButton);
    QVERIFY(w.window.helpMenu->isVisible());
    w.window.helpMenu->hide();
}

void TestMainForm::menuEntriesAndCaptions() {
    WindowEnv w;
    auto captions = [&] {
        QStringList texts;
        for (QAction* a : w.window.helpMenu->actions())
            texts << (a->isSeparator() ? "-" : a->text());
        return texts;
    };
    QCOMPARE(captions(), QStringList({"Help", "Brushwick Website!", "-", "Language Options",
                                      "Logging Options", "Other Options", "-", "ChangeLog",
                                      "Credits"}));
    w.window.SetMenuCaptions({"Hilfe", "Sprache", "Mitwirkende", "Protokoll", "Andere"});
    QCOMPARE(captions(), QStringList({"Hilfe", "Brushwick Website!", "-", "Sprache", "Protokoll",
                                      "Andere", "-", "ChangeLog", "Mitwirkende"}));
}

void TestMainForm::webPageWithoutBrowser() {
    WindowEnv w;
    w.env.shell.browserFound = false;
    w.window.bwkwebMenuOption->trigger();
    QCOMPARE(w.env.prompts.boxes.size(), 1);
    QCOMPARE(w.env.prompts.boxes[0].prompt,
             "Sorry, but I could not determine which browser you are using. You will have to go "
             "to " + mainForm::WebPage + " yourself.");
    QCOMPARE(w.env.prompts.boxes[0].title, QString("Brushwick 2 Error Wizard"));
    QCOMPARE(w.env.prompts.boxes[0].style, platform::Box::Exclamation);
    QVERIFY(!QFile::exists(w.env.programFolder() + "/temphtm.HTML"));

    // A program folder that cannot take the marker file gets the same report
    // (a folder in its place stops the write even for the superuser).
    QDir().mkpath(w.env.programFolder() + "/temphtm.HTML");
    w.env.shell.browserFound = true;
    w.window.bwkwebMenuOption->trigger();
    QCOMPARE(w.env.prompts.boxes.size(), 2);
}

void TestMainForm::webPageOpened() {
    WindowEnv w;
    w.window.bwkwebMenuOption->trigger();
    QCOMPARE(w.env.shell.addresses, QStringList{mainForm::WebPage});
    QVERIFY(w.env.prompts.boxes.isEmpty());
    QVERIFY(!QFile::exists(w.env.programFolder() + "/temphtm.HTML"));
}

void TestMainForm::helpAndChangeLogShareOneWindow() {
    WindowEnv w;
    G().LangChoice = "lang.0eng.txt";
    w.env.writeFile(w.env.programFolder() + "/ChangeLog.txt", "1.0 Build 2\r\n");
    w.env.writeFile(w.env.programFolder() + "/langs/readme.lang.0eng.txt", "Read me\r\n");
    w.window.changeLogMenu->trigger();
    helpForm* first = w.window.HelpWindow();
    QVERIFY(first && first->isVisible());
    w.window.helpMenuOption->trigger();
    QCOMPARE(w.window.HelpWindow(), first);
    QVERIFY(first->Text1->toPlainText().startsWith("Read me"));
}

void TestMainForm::creditsHideTheWindow() {
    WindowEnv w;
    w.window.show();
    bool hiddenMeanwhile = false;
    bool flagMeanwhile = false;
    QTimer::singleShot(0, [&] {
        hiddenMeanwhile = !w.window.isVisible();
        flagMeanwhile = G().AboutFromMenu;
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    w.window.aboutMenuOption->trigger();
    QVERIFY(hiddenMeanwhile);
    QVERIFY(flagMeanwhile);
    QVERIFY(w.window.isVisible());
    QVERIFY(!G().AboutFromMenu);
}

QTEST_MAIN(TestMainForm)
#include "test_main_form.moc"
