#include "platform/globals.h"
#include "test_env.h"
#include "windows/artwork.h"
#include "windows/log_opts_form.h"
#include "windows/opts_form.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

// Clicks an option button or check box on its indicator, where a player aims.
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

// Presses OK, or leaves with the close box when ok is false.
void Leave(QDialog& dialog, QPushButton* okButton, bool ok) {
    if (ok)
        QTest::mouseClick(okButton, Qt::LeftButton);
    else
        dialog.close();
    QVERIFY(!dialog.isVisible());
}

} // namespace

class TestOptionDialogs : public QObject {
    Q_OBJECT
private slots:
    void logLevelIsStoredOnOkOnly_data();
    void logLevelIsStoredOnOkOnly();
    void otherOptionsAreStoredOnOkOnly_data();
    void otherOptionsAreStoredOnOkOnly();
    void failedWritesKeepTheChoiceForThisRun();
};

void TestOptionDialogs::logLevelIsStoredOnOkOnly_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("writes");
    // The words start-up reads back; the level already in force writes nothing.
    const QStringList words{"off", "errors", "skips", "verbose", "debug"};
    for (int to = 0; to < 5; ++to)
        QTest::addRow("verbose to %d", to)
            << 3 << to << true << (to == 3 ? QStringList{} : QStringList{"LogLevel=" + words[to]});
    QTest::newRow("debug to off") << 4 << 0 << true << QStringList{"LogLevel=off"};
    QTest::newRow("close box") << 3 << 4 << false << QStringList{};
}

void TestOptionDialogs::logLevelIsStoredOnOkOnly() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, ok);
    QFETCH(QStringList, writes);
    TestEnv env(from);
    QWidget main;
    main.setWindowIcon(HelpIcon());
    {
        logOptsForm dialog(&main);
        QCOMPARE(dialog.windowIcon().cacheKey(), main.windowIcon().cacheKey());
        QCOMPARE(CheckedLevel(dialog), from);
        dialog.show();
        ClickBox(dialog.logOption[to]);
        Leave(dialog, dialog.logButton, ok);
    }
    QCOMPARE(env.settings.writes, writes);
    QCOMPARE(G().LogLevel, ok ? to : from);
    QVERIFY(env.logMessages().isEmpty());
    // The next opening starts from the level in force.
    logOptsForm again(&main);
    QCOMPARE(CheckedLevel(again), G().LogLevel);
}

void TestOptionDialogs::otherOptionsAreStoredOnOkOnly_data() {
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<bool>("skip");
    QTest::addColumn<int>("confirmClicks");
    QTest::addColumn<int>("skipClicks");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("writes");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("ask from now on")
        << false << false << 1 << 0 << true << QStringList{"ConfirmOverwrites=yes"}
        << QStringList{"CONFIRMOVERWRITES: Changed by menu to True"};
    QTest::newRow("run programs again")
        << false << true << 0 << 1 << true << QStringList{"SkipEXEs=no"}
        << QStringList{"SkipEXEs: Changed by menu to False"};
    QTest::newRow("both") << true << false << 1 << 1 << true
                          << QStringList{"ConfirmOverwrites=no", "SkipEXEs=yes"}
                          << QStringList{"CONFIRMOVERWRITES: Changed by menu to False",
                                         "SkipEXEs: Changed by menu to True"};
    QTest::newRow("changed and changed back")
        << false << true << 2 << 2 << true << QStringList{} << QStringList{};
    QTest::newRow("close box") << false << false << 1 << 1 << false << QStringList{}
                               << QStringList{};
}

void TestOptionDialogs::otherOptionsAreStoredOnOkOnly() {
    QFETCH(bool, confirm);
    QFETCH(bool, skip);
    QFETCH(int, confirmClicks);
    QFETCH(int, skipClicks);
    QFETCH(bool, ok);
    QFETCH(QStringList, writes);
    QFETCH(QStringList, log);
    TestEnv env;
    env.useTestLanguage();
    G().ConfirmOverwrites = confirm;
    G().SkipEXEs = skip;
    optsForm dialog(nullptr);
    QCOMPARE(dialog.confirmOverCheck->text(), QString("Ask before overwriting"));
    QCOMPARE(dialog.skipEXEcheck->text(), QString("Skip programs"));
    QCOMPARE(dialog.confirmOverCheck->isChecked(), confirm);
    QCOMPARE(dialog.skipEXEcheck->isChecked(), skip);
    dialog.show();
    for (int i = 0; i < confirmClicks; ++i)
        ClickBox(dialog.confirmOverCheck);
    for (int i = 0; i < skipClicks; ++i)
        ClickBox(dialog.skipEXEcheck);
    Leave(dialog, dialog.logButton, ok);
    QCOMPARE(env.settings.writes, writes);
    QCOMPARE(env.logMessages(), log);
    QCOMPARE(G().ConfirmOverwrites, confirm != (ok && confirmClicks % 2 == 1));
    QCOMPARE(G().SkipEXEs, skip != (ok && skipClicks % 2 == 1));
}

void TestOptionDialogs::failedWritesKeepTheChoiceForThisRun() {
    TestEnv env(3);
    env.useTestLanguage();
    env.settings.failWrites = true;
    {
        optsForm dialog(nullptr);
        dialog.show();
        ClickBox(dialog.confirmOverCheck);
        QTest::mouseClick(dialog.logButton, Qt::LeftButton);
    }
    QVERIFY(G().ConfirmOverwrites);
    {
        // Choosing "off" must not swallow the report of its own failed write.
        logOptsForm dialog(nullptr);
        dialog.show();
        ClickBox(dialog.logOption[0]);
        QTest::mouseClick(dialog.logButton, Qt::LeftButton);
    }
    QCOMPARE(G().LogLevel, 0);
    QCOMPARE(env.logMessages(),
             (QStringList{"OPTS: the setting ConfirmOverwrites could not be written",
                          "LOGOPTS: the setting LogLevel could not be written"}));
    QVERIFY(env.prompts.boxes.isEmpty());
}

QTEST_MAIN(TestOptionDialogs)
#include "test_option_dialogs.moc"
