#include "log/log.h"
#include "platform/globals.h"
#include "test_env.h"
#include "windows/artwork.h"
#include "windows/log_opts_form.h"
#include "windows/opts_form.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

// A stand-in for the main window: the dialogs take its icon.
struct MainWindow {
    MainWindow() { window.setWindowIcon(HelpIcon()); }
    QWidget window;
};

// Clicks an option button or check box on its indicator, where a player
// would aim.
void ClickBox(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

int CheckedLevel(const logOptsForm& dialog) {
    for (int level = 0; level < 5; ++level) {
        if (dialog.logOption[level]->isChecked())
            return level;
    }
    return -1;
}

} // namespace

class TestOptionDialogs : public QObject {
    Q_OBJECT
private slots:
    void logOptionsOpenOnTheLevelInForce_data();
    void logOptionsOpenOnTheLevelInForce();
    void logOptionsOkStoresAChangedLevel_data();
    void logOptionsOkStoresAChangedLevel();
    void logOptionsClosedOtherwiseChangeNothing();
    void logOptionsFailedWriteKeepsTheLevel();
    void otherOptionsShowTextsAndValues();
    void otherOptionsOkAppliesOnlyChanges_data();
    void otherOptionsOkAppliesOnlyChanges();
    void otherOptionsUnderTheRejectPolicy();
    void otherOptionsClosedOtherwiseChangeNothing();
    void otherOptionsFailedWriteKeepsTheValue();
};

void TestOptionDialogs::logOptionsOpenOnTheLevelInForce_data() {
    QTest::addColumn<int>("level");
    for (int level = 0; level < 5; ++level)
        QTest::addRow("level %d", level) << level;
}

void TestOptionDialogs::logOptionsOpenOnTheLevelInForce() {
    QFETCH(int, level);
    TestEnv env;
    MainWindow main;
    G().LogLevel = level;
    logOptsForm dialog(&main.window);
    QCOMPARE(dialog.windowTitle(), QString("Brushwick 2 - Logging Options"));
    QCOMPARE(dialog.windowIcon().cacheKey(), main.window.windowIcon().cacheKey());
    QCOMPARE(dialog.size(), QSize(229, 223));
    QVERIFY(dialog.Frame1->title().isEmpty());
    QCOMPARE(CheckedLevel(dialog), level);
    const QStringList captions{"&Off", "&Errors Only", "&Skipped Files Only", "&Verbose (Default)",
                               "&Debug (Not Recommended)"};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(dialog.logOption[i]->text(), captions[i]);
    QVERIFY(dialog.logButton->text().isEmpty());
    QVERIFY(!dialog.logButton->icon().isNull());
}

void TestOptionDialogs::logOptionsOkStoresAChangedLevel_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("writes");
    QTest::newRow("verbose to debug") << 3 << 4 << QStringList{"LogLevel=debug"};
    QTest::newRow("debug to off") << 4 << 0 << QStringList{"LogLevel=off"};
    QTest::newRow("off to skips") << 0 << 2 << QStringList{"LogLevel=skips"};
    QTest::newRow("verbose to errors") << 3 << 1 << QStringList{"LogLevel=errors"};
    QTest::newRow("errors to verbose") << 1 << 3 << QStringList{"LogLevel=verbose"};
    QTest::newRow("same level") << 3 << 3 << QStringList{};
}

void TestOptionDialogs::logOptionsOkStoresAChangedLevel() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QStringList, writes);
    TestEnv env(from);
    MainWindow main;
    {
        logOptsForm dialog(&main.window);
        dialog.show();
        ClickBox(dialog.logOption[to]);
        QTest::mouseClick(dialog.logButton, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    QCOMPARE(env.settings.writes, writes);
    QCOMPARE(G().LogLevel, to);
    QVERIFY(env.logMessages().isEmpty());
    // The next opening starts from the new level.
    logOptsForm again(&main.window);
    QCOMPARE(CheckedLevel(again), to);
}

void TestOptionDialogs::logOptionsClosedOtherwiseChangeNothing() {
    TestEnv env(3);
    MainWindow main;
    logOptsForm dialog(&main.window);
    dialog.show();
    ClickBox(dialog.logOption[4]);
    QVERIFY(dialog.logOption[4]->isChecked());
    dialog.close();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(env.settings.writes.isEmpty());
    QCOMPARE(G().LogLevel, 3);

    // Escape is the keyboard's close box.
    logOptsForm other(&main.window);
    other.show();
    ClickBox(other.logOption[0]);
    QTest::keyClick(&other, Qt::Key_Escape);
    QVERIFY(env.settings.writes.isEmpty());
    QCOMPARE(G().LogLevel, 3);
}

void TestOptionDialogs::logOptionsFailedWriteKeepsTheLevel() {
    TestEnv env(3);
    env.settings.failWrites = true;
    MainWindow main;
    logOptsForm dialog(&main.window);
    dialog.show();
    // Choosing "off" must not swallow the report of the failed write.
    ClickBox(dialog.logOption[0]);
    QTest::mouseClick(dialog.logButton, Qt::LeftButton);
    QCOMPARE(G().LogLevel, 0);
    QCOMPARE(env.logMessages(), QStringList{"LOGOPTS: the setting LogLevel could not be written"});
    QVERIFY(env.prompts.boxes.isEmpty());
}

void TestOptionDialogs::otherOptionsShowTextsAndValues() {
    TestEnv env;
    env.useTestLanguage();
    MainWindow main;
    for (const bool confirm : {false, true}) {
        for (const bool skip : {false, true}) {
            G().ConfirmOverwrites = confirm;
            G().SkipEXEs = skip;
            optsForm dialog(&main.window);
            QCOMPARE(dialog.windowTitle(), QString("Brushwick 2 - Options"));
            QCOMPARE(dialog.windowIcon().cacheKey(), main.window.windowIcon().cacheKey());
            QCOMPARE(dialog.size(), QSize(260, 150));
            QCOMPARE(dialog.confirmOverCheck->text(), QString("Ask before overwriting"));
            QCOMPARE(dialog.skipEXEcheck->text(), QString("Skip programs"));
            QCOMPARE(dialog.confirmOverCheck->isChecked(), confirm);
            QCOMPARE(dialog.skipEXEcheck->isChecked(), skip);
        }
    }
}

void TestOptionDialogs::otherOptionsOkAppliesOnlyChanges_data() {
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<bool>("skip");
    QTest::addColumn<int>("confirmClicks");
    QTest::addColumn<int>("skipClicks");
    QTest::addColumn<QStringList>("writes");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("ask from now on")
        << false << false << 1 << 0 << QStringList{"ConfirmOverwrites=yes"}
        << QStringList{"CONFIRMOVERWRITES: Changed by menu to True"};
    QTest::newRow("stop asking") << true << false << 1 << 0 << QStringList{"ConfirmOverwrites=no"}
                                 << QStringList{"CONFIRMOVERWRITES: Changed by menu to False"};
    QTest::newRow("run programs again") << false << true << 0 << 1 << QStringList{"SkipEXEs=no"}
                                        << QStringList{"SkipEXEs: Changed by menu to False"};
    QTest::newRow("both") << false << false << 1 << 1
                          << QStringList{"ConfirmOverwrites=yes", "SkipEXEs=yes"}
                          << QStringList{"CONFIRMOVERWRITES: Changed by menu to True",
                                         "SkipEXEs: Changed by menu to True"};
    QTest::newRow("nothing changed") << true << true << 0 << 0 << QStringList{} << QStringList{};
    QTest::newRow("changed and changed back")
        << false << true << 2 << 2 << QStringList{} << QStringList{};
}

void TestOptionDialogs::otherOptionsOkAppliesOnlyChanges() {
    QFETCH(bool, confirm);
    QFETCH(bool, skip);
    QFETCH(int, confirmClicks);
    QFETCH(int, skipClicks);
    QFETCH(QStringList, writes);
    QFETCH(QStringList, log);
    TestEnv env;
    env.useTestLanguage();
    G().ConfirmOverwrites = confirm;
    G().SkipEXEs = skip;
    MainWindow main;
    optsForm dialog(&main.window);
    dialog.show();
    for (int i = 0; i < confirmClicks; ++i)
        ClickBox(dialog.confirmOverCheck);
    for (int i = 0; i < skipClicks; ++i)
        ClickBox(dialog.skipEXEcheck);
    QTest::mouseClick(dialog.logButton, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(env.settings.writes, writes);
    QCOMPARE(env.logMessages(), log);
    QCOMPARE(G().ConfirmOverwrites, confirm != (confirmClicks % 2 == 1));
    QCOMPARE(G().SkipEXEs, skip != (skipClicks % 2 == 1));
}

void TestOptionDialogs::otherOptionsUnderTheRejectPolicy() {
    TestEnv env;
    env.useTestLanguage();
    G().RejectOverwrites = true;
    MainWindow main;
    {
        optsForm dialog(&main.window);
        dialog.show();
        QVERIFY(!dialog.confirmOverCheck->isChecked());
        ClickBox(dialog.confirmOverCheck);
        QTest::mouseClick(dialog.logButton, Qt::LeftButton);
    }
    QVERIFY(G().ConfirmOverwrites);
    QCOMPARE(env.settings.value("ConfirmOverwrites"), QString("yes"));
    {
        optsForm dialog(&main.window);
        dialog.show();
        ClickBox(dialog.confirmOverCheck);
        QTest::mouseClick(dialog.logButton, Qt::LeftButton);
    }
    QCOMPARE(env.settings.value("ConfirmOverwrites"), QString("no"));
    // The refusal read at start-up stays for the rest of the run.
    QVERIFY(!G().ConfirmOverwrites);
    QVERIFY(G().RejectOverwrites);
}

void TestOptionDialogs::otherOptionsClosedOtherwiseChangeNothing() {
    TestEnv env;
    env.useTestLanguage();
    MainWindow main;
    optsForm dialog(&main.window);
    dialog.show();
    ClickBox(dialog.confirmOverCheck);
    ClickBox(dialog.skipEXEcheck);
    dialog.close();
    QVERIFY(!G().ConfirmOverwrites);
    QVERIFY(!G().SkipEXEs);
    QVERIFY(env.settings.writes.isEmpty());
    QVERIFY(env.logMessages().isEmpty());
}

void TestOptionDialogs::otherOptionsFailedWriteKeepsTheValue() {
    TestEnv env;
    env.useTestLanguage();
    env.settings.failWrites = true;
    MainWindow main;
    optsForm dialog(&main.window);
    dialog.show();
    ClickBox(dialog.confirmOverCheck);
    ClickBox(dialog.skipEXEcheck);
    QTest::mouseClick(dialog.logButton, Qt::LeftButton);
    QVERIFY(G().ConfirmOverwrites);
    QVERIFY(G().SkipEXEs);
    QCOMPARE(env.logMessages(),
             (QStringList{"CONFIRMOVERWRITES: Changed by menu to True",
                          "OPTS: the setting ConfirmOverwrites could not be written",
                          "SkipEXEs: Changed by menu to True",
                          "OPTS: the setting SkipEXEs could not be written"}));
}

QTEST_MAIN(TestOptionDialogs)
#include "test_option_dialogs.moc"
