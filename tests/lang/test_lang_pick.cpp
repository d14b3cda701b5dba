#include "checks.h"
#include "lang/lang_pick_form.h"
#include "lang/lang_pick_layout.h"
#include "lang/language.h"
#include "platform/twips.h"
#include "state/globals.h"
#include "test_env.h"

#include <QtTest>
#include <QtWidgets>

#include <deque>
#include <functional>

namespace {

using Answer = std::function<void(langPickForm&)>;
using platform::Twips::ToPixels;

// Runs the language menu, answering each modal choice window once it is up,
// in order; gives how many were shown. A window shown more often than there
// are answers stops the test instead of waiting forever.
int RunMenu(std::deque<Answer> answers) {
    int shown = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* form = qobject_cast<langPickForm*>(QApplication::activeModalWidget());
        if (!form)
            return;
        if (answers.empty())
            qFatal("the language choice was shown once too often");
        ++shown;
        const Answer answer = answers.front();
        answers.pop_front();
        answer(*form);
    });
    timer.start(0);
    LangMenuOption(nullptr);
    return shown;
}

// The window's options, in order.
QList<QRadioButton*> options(const langPickForm& form) {
    return form.findChildren<QRadioButton*>();
}

void clickOption(langPickForm& form, int index) {
    QRadioButton* option = options(form).at(index);
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
}

Answer choose(int index) {
    return [index](langPickForm& form) {
        clickOption(form, index);
        QTest::mouseClick(form.findChild<QPushButton*>("okButton"), Qt::LeftButton);
    };
}

// What is stored before, the option clicked (-1: none) and the one selected
// beforehand, what OK stores, and whether the store refuses it.
struct Pick {
    QString stored;
    int click, preselected;
    QString expected;
    bool storeFails = false;
};

} // namespace

class TestLangPick : public QObject {
    Q_OBJECT
private slots:
    void windowShowsThePacksOrWhyNot();
    void okStoresChoice_data();
    void okStoresChoice();
    void closeAtFirstStartEndsProgram();
    void languageMenu();
};

void TestLangPick::windowShowsThePacksOrWhyNot() {
    TestEnv env;
    env.installShippedPacks({"lang.0eng.txt", "lang.1deu.txt", "lang.2fra.txt"});
    const QString langs = env.programFolder() + "/langs/";
    env.writeFile(langs + "lang.3emp.txt", "");
    env.writeFile(langs + "lang.4amp.txt", "R&B\r\nX\r\nA = b\r\n");
    langPickForm form;
    QCOMPARE(form.findChild<QGroupBox*>("langFrame")->title(), QString("Languages"));
    QStringList captions;
    for (QRadioButton* option : options(form))
        captions.append(option->text());
    QCOMPARE(captions,
             (QStringList{"English", "Deutsch", QStringLiteral("Français"), "0", "R&&B"}));

    // Laid out in twips: each option 385 below the last, frame, button and
    // window grown to match.
    QCOMPARE(options(form).at(4)->y(), ToPixels(1900));
    QCOMPARE(form.findChild<QPushButton*>("okButton")->y(), ToPixels(2635));
    QCOMPARE(form.size(), QSize(ToPixels(4680), ToPixels(3430)));

    // Once a pack is loaded the frame speaks its language.
    G().LangChoice = "lang.1deu.txt";
    BrushwickMod::LoadLanguage();
    QCOMPARE(langPickForm().findChild<QGroupBox*>("langFrame")->title(),
             QStringLiteral("Wählen Sie Ihre Sprache"));

    // Without the folder the listing fails: reported in that language, and the
    // window is still built (ending the program would have thrown).
    QDir(langs).removeRecursively();
    langPickForm broken;
    QCOMPARE(Boxes(env.prompts), QStringList{"Spracheinstellungen \u2013 Fehler 53: File not "
                                             "found|48|Brushwick 2 Error Wizard"});
}

void TestLangPick::okStoresChoice_data() {
    QTest::addColumn<Pick>("c");
    QTest::newRow("first start, no click") << Pick{"", -1, 0, "lang.0eng.txt"};
    QTest::newRow("stored choice, other case") << Pick{"LANG.1Deu.TXT", -1, 1, "lang.1deu.txt"};
    QTest::newRow("click") << Pick{"lang.1deu.txt", 2, 1, "lang.2fra.txt"};
    // The choice still counts for this run.
    QTest::newRow("store fails") << Pick{"", 2, 0, "lang.2fra.txt", true};
}

void TestLangPick::okStoresChoice() {
    QFETCH(Pick, c);
    TestEnv env;
    env.installShippedPacks();
    env.settings.failWrites = c.storeFails;
    G().LangChoice = c.stored;
    langPickForm form;
    form.show();
    for (int i = 0; i < options(form).size(); ++i)
        QCOMPARE(options(form).at(i)->isChecked(), i == c.preselected);
    if (c.click >= 0)
        clickOption(form, c.click);
    QTest::mouseClick(form.findChild<QPushButton*>("okButton"), Qt::LeftButton);
    QCOMPARE(env.settings.writes, QStringList{"LangChoice=" + c.expected});
    QCOMPARE(BrushwickMod::ReadLangChoice(), c.expected);
    QCOMPARE(env.logMessages(),
             c.storeFails ? QStringList{"SETTINGS: could not store LangChoice = " + c.expected}
                          : QStringList{});
    // Once the store works again, what it holds counts.
    env.settings.failWrites = false;
    BrushwickMod::StoreLangChoice("lang.1deu.txt");
    QCOMPARE(BrushwickMod::ReadLangChoice(), QString("lang.1deu.txt"));
}

void TestLangPick::closeAtFirstStartEndsProgram() {
    TestEnv env;
    env.installShippedPacks();
    langPickForm form;
    form.show();
    clickOption(form, 1);
    // What the close box and Escape run.
    QVERIFY_THROWS_EXCEPTION(platform::ProgramEnded, form.reject());
    QCOMPARE(Boxes(env.prompts),
             QStringList{"You must select a language to continue|64|Brushwick 2 Setup Wizard"});
    QVERIFY(env.settings.writes.isEmpty());
}

void TestLangPick::languageMenu() {
    TestEnv env;
    env.installShippedPacks();
    env.writeFile(env.programFolder() + "/langs/lang.3bad.txt",
                  "Kaputt\r\nJemand\r\nHELP = Kaputt\r\nohne Gleichheitszeichen\r\n");
    G().LangChoice = "lang.1deu.txt";
    BrushwickMod::LoadLanguage();
    // The stored pack has gone since the start: the window comes again after
    // a close, which ends nothing. The broken pack then chosen is reported,
    // and the language in force stays, also for the next start.
    env.settings.setValue("LangChoice", "lang.9gone.txt");
    QCOMPARE(RunMenu({[](langPickForm& form) { form.close(); }, choose(3)}), 2);
    QCOMPARE(env.settings.writes,
             (QStringList{"LangChoice=lang.3bad.txt", "LangChoice=lang.1deu.txt"}));
    QCOMPARE(G().LangChoice, QString("lang.1deu.txt"));
    QCOMPARE(env.status.captions.help, QString("Hilfe"));
    QCOMPARE(Boxes(env.prompts), QStringList{"Spracheinstellungen \u2013 Fehler 9: Subscript out "
                                             "of range|48|Brushwick 2 Error Wizard"});

    QCOMPARE(RunMenu({choose(2)}), 1);
    QCOMPARE(env.status.captions.help, QString("Aide"));

    // The packs' folder gone: OK stores nothing, a close ends the menu, and
    // the language in force stays.
    QDir(env.programFolder() + "/langs").removeRecursively();
    const QStringList stored = env.settings.writes;
    QCOMPARE(RunMenu({choose(0), [](langPickForm& form) { form.close(); }}), 2);
    QCOMPARE(env.settings.writes, stored);
    QCOMPARE(G().LangChoice, QString("lang.2fra.txt"));
    QCOMPARE(env.status.captions.help, QString("Aide"));
}

QTEST_MAIN(TestLangPick)
#include "test_lang_pick.moc"
