#include "app/drop_picture.h"
#include "app/main_form.h"
#include "state/globals.h"
#include "test_env.h"
#include "windows/help_form.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
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
    // Drags the files onto the picture; with none, what a browser drags.
    void drop(const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        if (urls.isEmpty()) {
            urls << QUrl("https://example.org/hair.package");
            data.setText("just some words");
        }
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.DnDPic, &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.DnDPic, &drop);
    }
};

} // namespace

class TestMainForm : public QObject {
    Q_OBJECT
private slots:
    void dropInstallsInDroppedOrder();
    void dropsThatInstallNothing();
    void clicksOpenTheMenu();
    void menuCaptionsFollowTheLanguage();
    void webPage();
    void helpAndChangeLogShareOneWindow();
    void creditsHideTheWindow();
};

void TestMainForm::dropInstallsInDroppedOrder() {
    WindowEnv w;
    w.env.writeFile(w.env.work("dl/a.package"), "a");
    const QString b = w.env.writeFile(w.env.work("b.package"), "b");
    const QString skin = w.env.writeFile(w.env.work("body.skin"), "s");
    w.drop({w.env.work("dl"), b, skin});

    QVERIFY(QFile::exists(w.env.downloadFolder() + "/a.package"));
    QVERIFY(QFile::exists(w.env.downloadFolder() + "/b.package"));
    QCOMPARE(w.env.shell.opened, QStringList{skin});
    QCOMPARE(w.window.Text(), QString("Done! 3 files installed"));
    const QStringList log = w.env.logMessages();
    QVERIFY(log.indexOf("FOLDER: " + w.env.work("dl")) < log.indexOf("Sims2Skin: " + skin));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

void TestMainForm::dropsThatInstallNothing() {
    WindowEnv w;
    const QString b = w.env.writeFile(w.env.work("b.package"), "b");
    w.window.SetBusy(true);
    w.drop({b});
    w.window.SetBusy(false);
    QVERIFY(!QFile::exists(w.env.downloadFolder() + "/b.package"));
    QVERIFY(w.env.logMessages().isEmpty());
    // A web address and text make a run of nothing.
    w.drop({});
    QCOMPARE(w.window.Text(), QString("Done! No files installed"));
    QCOMPARE(w.env.logMessages().value(0), QString("HANDLEDODFILECOUNT: 0"));
    w.drop({b});
    QVERIFY(QFile::exists(w.env.downloadFolder() + "/b.package"));
}

void TestMainForm::clicksOpenTheMenu() {
    WindowEnv w;
    w.window.show();
    QTest::mouseClick(w.window.DnDPic, Qt::RightButton, {}, QPoint(50, 50));
    QVERIFY(w.window.helpMenu->isVisible());
    w.window.helpMenu->hide();
    QTest::mouseClick(w.window.HelpButton, Qt::LeftButton);
    QVERIFY(w.window.helpMenu->isVisible());
    w.window.helpMenu->hide();
}

void TestMainForm::menuCaptionsFollowTheLanguage() {
    WindowEnv w;
    w.window.SetMenuCaptions({"Hilfe", "Sprache", "Mitwirkende", "Protokoll", "Andere"});
    QStringList captions;
    for (QAction* a : w.window.helpMenu->actions())
        captions << (a->isSeparator() ? "-" : a->text());
    QCOMPARE(captions, QStringList({"Hilfe", "Brushwick Website!", "-", "Sprache", "Protokoll",
                                    "Andere", "-", "ChangeLog", "Mitwirkende"}));
}

void TestMainForm::webPage() {
    WindowEnv w;
    const QString marker = w.env.programFolder() + "/temphtm.HTML";
    w.window.bwkwebMenuOption->trigger();
    QCOMPARE(w.env.shell.addresses, QStringList{mainForm::WebPage});
    QVERIFY(w.env.prompts.boxes.isEmpty());
    QVERIFY(!QFile::exists(marker));

    w.env.shell.browserFound = false;
    w.window.bwkwebMenuOption->trigger();
    QCOMPARE(w.env.prompts.boxes.size(), 1);
    const QString sorry = "Sorry, but I could not determine which browser you are using. You will "
                          "have to go to ";
    QCOMPARE(w.env.prompts.boxes[0].prompt, sorry + mainForm::WebPage + " yourself.");
    QVERIFY(!QFile::exists(marker));

    // A program folder that cannot take the marker file gets the same report
    // (a folder in its place stops the write even for the superuser).
    QDir().mkpath(marker);
    w.env.shell.browserFound = true;
    w.window.bwkwebMenuOption->trigger();
    QCOMPARE(w.env.prompts.boxes.size(), 2);
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
    QVERIFY(hiddenMeanwhile && flagMeanwhile);
    QVERIFY(w.window.isVisible());
    QVERIFY(!G().AboutFromMenu);
}

QTEST_MAIN(TestMainForm)
#include "test_main_form.moc"
