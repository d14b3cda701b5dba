#include "lang/lang_pick_form.h"
#include "lang/lang_pick_layout.h"
#include "lang/language.h"
#include "platform/twips.h"
#include "state/globals.h"
#include "test_env.h"

#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <deque>
#include <functional>

namespace {

using Answer = std::function<void(langPickForm&)>;
using platform::Twips::ToPixels;

// Answers each modal choice window once it is up, in order. A window shown
// more often than there are answers stops the test instead of waiting forever.
class PickAnswers : public QObject {
public:
    explicit PickAnswers(std::initializer_list<Answer> answers) : answers_(answers) {
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* form = qobject_cast<langPickForm*>(QApplication::activeModalWidget());
            if (!form)
                return;
            if (answers_.empty())
                qFatal("the language choice was shown once too often");
            ++shown;
            const Answer answer = answers_.front();
            answers_.pop_front();
            answer(*form);
        });
        timer_.start(0);
    }
    int shown = 0;

private:
    std::deque<Answer> answers_;
    QTimer timer_;
};

// The window's controls, by the names it gives them.
QList<QRadioButton*> options(const langPickForm& form) {
    return form.findChildren<QRadioButton*>();
}

QPushButton* okButton(const langPickForm& form) {
    return form.findChild<QPushButton*>("okButton");
}

QGroupBox* langFrame(const langPickForm& form) {
    return form.findChild<QGroupBox*>("langFrame");
}

void clickOption(langPickForm& form, int index) {
    QRadioButton* option = options(form).at(index);
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
}

Answer choose(int index) {
    return [index](langPickForm& form) {
        clickOption(form, index);
        QTest::mouseClick(okButton(form), Qt::LeftButton);
    };
}

void writePack(const TestEnv& env, const QString& name, const QByteArray& content) {
    env.writeFile(env.programFolder() + "/langs/" + name, content);
}

} // namespace

class TestLangPick : public QObject {
    Q_OBJECT
private slots:
    void windowShowsThePacks();
    void okStoresChoice_data();
    void okStoresChoice();
    void closeAtFirstStartEndsProgram();
    void loadErrorIsReported();
    void failedStoreKeepsChoiceForThisRun();
    void languageMenu();
};

void TestLangPick::windowShowsThePacks() {
    TestEnv env;
    env.installShippedPacks({"lang.0eng.txt", "lang.1deu.txt", "lang.2fra.txt"});
    writePack(env, "lang.3emp.txt", "");
    writePack(env, "lang.4amp.txt", "R&B\r\nX\r\nA = b\r\n");
    langPickForm form;
    QCOMPARE(langFrame(form)->title(), QString("Languages"));
    QStringList captions;
    for (QRadioButton* option : options(form))
        captions.append(option->text());
    QCOMPARE(captions,
             (QStringList{"English", "Deutsch", QStringLiteral("Français"), "0", "R&&B"}));

    // Laid out in twips: each option 385 below the last, frame, button and
    // window grown to match.
    QCOMPARE(options(form).at(4)->y(), ToPixels(1900));
    QCOMPARE(okButton(form)->y(), ToPixels(2635));
    QCOMPARE(form.size(), QSize(ToPixels(4680), ToPixels(3430)));

    // Once a pack is loaded the frame speaks its language.
    G().LangChoice = "lang.1deu.txt";
    BrushwickMod::LoadLanguage();
    QCOMPARE(langFrame(langPickForm())->title(), QStringLiteral("Wählen Sie Ihre Sprache"));
}

void TestLangPick::okStoresChoice_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("click");
    QTest::addColumn<int>("preselected");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first start, no click") << "" << -1 << 0 << "lang.0eng.txt";
    QTest::newRow("stored choice, other case") << "LANG.1Deu.TXT" << -1 << 1 << "lang.1deu.txt";
    QTest::newRow("click") << "lang.1deu.txt" << 2 << 1 << "lang.2fra.txt";
}

void TestLangPick::okStoresChoice() {
    QFETCH(QString, stored);
    QFETCH(int, click);
    QFETCH(int, preselected);
    QFETCH(QString, expected);
    TestEnv env;
    env.installShippedPacks();
    G().LangChoice = stored;
    langPickForm form;
    form.show();
    for (int i = 0; i < options(form).size(); ++i)
        QCOMPARE(options(form).at(i)->isChecked(), i == preselected);
    if (click >= 0)
        clickOption(form, click);
    QTest::mouseClick(okButton(form), Qt::LeftButton);
    QCOMPARE(env.settings.writes, QStringList{"LangChoice=" + expected});
}

void TestLangPick::closeAtFirstStartEndsProgram() {
    TestEnv env;
    env.installShippedPacks();
    langPickForm form;
    form.show();
    clickOption(form, 1);
    // What the close box and Escape run.
    QVERIFY_THROWS_EXCEPTION(platform::ProgramEnded, form.reject());
    QCOMPARE(env.prompts.boxes.size(), 1);
    QCOMPARE(env.prompts.boxes[0].prompt, QString("You must select a language to continue"));
    QCOMPARE(env.prompts.boxes[0].style, platform::Box::Information);
    QCOMPARE(env.prompts.boxes[0].title, QString("Brushwick 2 Setup Wizard"));
    QVERIFY(env.settings.writes.isEmpty());
}

void TestLangPick::loadErrorIsReported() {
    TestEnv env;
    env.useTestLanguage();
    // No langs folder at all: the listing fails.
    langPickForm form;
    QCOMPARE(env.prompts.boxes.size(), 1);
    QCOMPARE(env.prompts.boxes[0].prompt, QString("Language Error 53: File not found"));
    QCOMPARE(env.process.ends, 0);
}

void TestLangPick::failedStoreKeepsChoiceForThisRun() {
    TestEnv env(1);
    env.installShippedPacks();
    env.settings.failWrites = true;
    langPickForm form;
    form.show();
    choose(2)(form);
    QCOMPARE(BrushwickMod::ReadLangChoice(), QString("lang.2fra.txt"));
    QCOMPARE(env.logMessages(),
             QStringList{"SETTINGS: could not store LangChoice = lang.2fra.txt"});
    // Once the store works again, what it holds counts.
    env.settings.failWrites = false;
    BrushwickMod::StoreLangChoice("lang.1deu.txt");
    QCOMPARE(BrushwickMod::ReadLangChoice(), QString("lang.1deu.txt"));
}

void TestLangPick::languageMenu() {
    TestEnv env;
    env.installShippedPacks();
    writePack(env, "lang.3bad.txt",
              "Kaputt\r\nJemand\r\nHELP = Kaputt\r\nohne Gleichheitszeichen\r\n");
    G().LangChoice = "lang.1deu.txt";
    BrushwickMod::LoadLanguage();
    // The stored pack has gone since the start: the window comes again after
    // a close, which ends nothing. The broken pack then chosen is reported,
    // and the language in force stays, also for the next start.
    env.settings.setValue("LangChoice", "lang.9gone.txt");
    {
        PickAnswers answers{[](langPickForm& form) { form.close(); }, choose(3)};
        LangMenuOption(nullptr);
        QCOMPARE(answers.shown, 2);
    }
    QCOMPARE(env.settings.writes,
             (QStringList{"LangChoice=lang.3bad.txt", "LangChoice=lang.1deu.txt"}));
    QCOMPARE(G().LangChoice, QString("lang.1deu.txt"));
    QCOMPARE(env.status.captions.help, QString("Hilfe"));
    QCOMPARE(env.prompts.boxes.size(), 1);
    QCOMPARE(env.prompts.boxes[0].prompt,
             QString("Spracheinstellungen \u2013 Fehler 9: Subscript out of range"));

    PickAnswers answers{choose(2)};
    LangMenuOption(nullptr);
    QCOMPARE(env.status.captions.help, QString("Aide"));
}

QTEST_MAIN(TestLangPick)
#include "test_lang_pick.moc"
