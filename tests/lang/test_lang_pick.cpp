#include "lang/lang_pick_form.h"
#include "lang/lang_pick_layout.h"
#include "lang/language.h"
#include "platform/globals.h"
#include "test_env.h"

#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QtTest>

#include <deque>
#include <functional>

namespace {

using Answer = std::function<void(langPickForm&)>;

// Answers each modal choice window once it is up, in order. A window shown
// more often than there are answers stops the test at once instead of
// waiting forever.
class PickAnswers : public QObject {
public:
    explicit PickAnswers(std::initializer_list<Answer> answers) : answers_(answers) {
        connect(&timer_, &QTimer::timeout, this, &PickAnswers::Poll);
        timer_.start(0);
    }
    int shown = 0;

private:
    void Poll() {
        auto* form = qobject_cast<langPickForm*>(QApplication::activeModalWidget());
        if (!form || form->property("answered").toBool())
            return;
        if (answers_.empty())
            qFatal("the language choice was shown once too often");
        form->setProperty("answered", true);
        ++shown;
        const Answer answer = answers_.front();
        answers_.pop_front();
        answer(*form);
    }

    std::deque<Answer> answers_;
    QTimer timer_;
};

void clickOption(langPickForm& form, int index) {
    QRadioButton* option = form.langOption().at(index);
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
}

void clickOk(langPickForm& form) {
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
}

Answer choose(int index) {
    return [index](langPickForm& form) {
        clickOption(form, index);
        clickOk(form);
    };
}

void closeBox(langPickForm& form) {
    form.close();
}

void writePack(const TestEnv& env, const QString& name, const QByteArray& content) {
    env.writeFile(env.programFolder() + "/langs/" + name, content);
}

// The German pack in force, as after a start with it chosen.
void startInGerman(TestEnv& env) {
    env.installShippedPacks();
    env.settings.setValue("LangChoice", "lang.1deu.txt");
    G().LangChoice = "lang.1deu.txt";
    BrushwickMod::LoadLanguage();
}

} // namespace

class TestLangPick : public QObject {
    Q_OBJECT
private slots:
    void layoutGrowsWithPacks();
    void windowShowsThePacks();
    void okStoresChoice_data();
    void okStoresChoice();
    void closeAtFirstStartEndsProgram();
    void loadErrorIsReported();
    void failedStoreKeepsChoiceForThisRun();
    void menuShowsAgainUntilPackExists();
    void menuKeepsLanguageWhenPackIsBroken();
};

void TestLangPick::layoutGrowsWithPacks() {
    namespace L = LangPickLayout;
    const L::Measures one = L::ForOptions(1);
    QCOMPARE(one.optionTops, QList<int>{360});
    QCOMPARE(one.frameHeight, 1095);
    QCOMPARE(one.windowHeight, L::WindowHeight);
    QCOMPARE(one.okTop, 1320);

    const L::Measures three = L::ForOptions(3);
    QCOMPARE(three.optionTops, (QList<int>{360, 745, 1130}));
    QCOMPARE(three.frameHeight, 1625);
    QCOMPARE(three.windowHeight, L::WindowHeight + 650);
    QCOMPARE(three.okTop, 1865);
}

void TestLangPick::windowShowsThePacks() {
    TestEnv env;
    env.installShippedPacks();
    writePack(env, "lang.3emp.txt", "");
    QWidget main;
    main.setWindowIcon(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon));
    langPickForm form(&main);

    QCOMPARE(form.windowTitle(), QString("Brushwick 2 - Language Options"));
    QCOMPARE(form.windowIcon().cacheKey(), main.windowIcon().cacheKey());
    QCOMPARE(form.langFrame()->title(), QString("Languages"));
    QStringList captions;
    for (QRadioButton* option : form.langOption())
        captions.append(option->text());
    QCOMPARE(captions, (QStringList{"English", "Deutsch", QStringLiteral("Français"), "0"}));

    // Laid out in twips, shown in pixels.
    using LangPickLayout::ToPixels;
    const LangPickLayout::Measures m = LangPickLayout::ForOptions(4);
    QCOMPARE(form.langOption().at(3)->geometry().topLeft(),
             QPoint(ToPixels(240), ToPixels(m.optionTops.at(3))));
    QCOMPARE(form.langFrame()->height(), ToPixels(m.frameHeight));
    QCOMPARE(form.okButton()->y(), ToPixels(m.okTop));
    QCOMPARE(form.size(), QSize(ToPixels(4680), ToPixels(m.windowHeight)));

    // Tab goes through the options in list order, then to OK.
    QList<QWidget*> chain;
    for (QWidget* w = form.langOption().first(); chain.size() < 5; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            chain.append(w);
    QCOMPARE(chain.last(), static_cast<QWidget*>(form.okButton()));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(chain.at(i), static_cast<QWidget*>(form.langOption().at(i)));

    // Once a pack is loaded the frame speaks its language.
    G().LangChoice = "lang.1deu.txt";
    BrushwickMod::LoadLanguage();
    langPickForm german(&main);
    QCOMPARE(german.langFrame()->title(), QStringLiteral("Wählen Sie Ihre Sprache"));
}

void TestLangPick::okStoresChoice_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("click");
    QTest::addColumn<int>("preselected");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first start, no click") << "" << -1 << -1 << "lang.0eng.txt";
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

    for (int i = 0; i < form.langOption().size(); ++i)
        QCOMPARE(form.langOption().at(i)->isChecked(), i == preselected);
    QCOMPARE(form.chosenIndex(), qMax(preselected, 0));
    if (click >= 0) {
        clickOption(form, click);
        QCOMPARE(form.chosenIndex(), click);
    }
    clickOk(form);

    QCOMPARE(form.result(), int(QDialog::Accepted));
    QVERIFY(!form.isVisible());
    QCOMPARE(form.chosenIndex(), -1);
    QCOMPARE(env.settings.writes, QStringList{"LangChoice=" + expected});
    QCOMPARE(BrushwickMod::ReadLangChoice(), expected);
    QVERIFY(env.prompts.boxes.isEmpty());
    QCOMPARE(G().LangChoice, stored);
}

void TestLangPick::closeAtFirstStartEndsProgram() {
    TestEnv env;
    env.installShippedPacks();
    langPickForm form;
    form.show();
    clickOption(form, 1);
    // What the close box and Escape run.
    QVERIFY_THROWS_EXCEPTION(platform::ProgramEnded, form.reject());

    QCOMPARE(env.process.ends, 1);
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
    QCOMPARE(env.prompts.boxes[0].style, platform::Box::Exclamation);
    QCOMPARE(env.process.ends, 0);
    // What was built is shown: the frame in the pack's language and the one
    // option the window always has.
    QCOMPARE(form.langFrame()->title(), QString("Languages"));
    QCOMPARE(form.langOption().size(), 1);
    QCOMPARE(form.langOption().at(0)->text(), QString("Option Button"));
}

void TestLangPick::failedStoreKeepsChoiceForThisRun() {
    TestEnv env(1);
    env.installShippedPacks();
    env.settings.failWrites = true;
    langPickForm form;
    form.show();
    clickOption(form, 2);
    clickOk(form);

    QVERIFY(!env.settings.has("LangChoice"));
    QCOMPARE(env.process.ends, 0);
    QCOMPARE(BrushwickMod::ReadLangChoice(), QString("lang.2fra.txt"));
    QCOMPARE(env.logMessages(),
             QStringList{"STORELANGCHOICE: Could not store lang.2fra.txt in the settings; it "
                         "holds for this run only"});
}

void TestLangPick::menuShowsAgainUntilPackExists() {
    TestEnv env;
    startInGerman(env);
    // The stored pack has gone since the start.
    env.settings.setValue("LangChoice", "lang.9gone.txt");

    PickAnswers answers{closeBox, choose(2)};
    LangMenuOption(nullptr);

    // Closing with a choice stored ends nothing and stores nothing.
    QCOMPARE(answers.shown, 2);
    QCOMPARE(env.process.ends, 0);
    QCOMPARE(env.settings.writes, QStringList{"LangChoice=lang.2fra.txt"});
    QCOMPARE(G().LangChoice, QString("lang.2fra.txt"));
    QCOMPARE(G().CurLang.Name(), QStringLiteral("Français"));
    QCOMPARE(env.status.captions.help, QString("Aide"));
}

void TestLangPick::menuKeepsLanguageWhenPackIsBroken() {
    TestEnv env;
    startInGerman(env);
    writePack(env, "lang.3bad.txt",
              "Kaputt\r\nJemand\r\nHELP = Kaputt\r\nohne Gleichheitszeichen\r\n");

    PickAnswers answers{choose(3)};
    LangMenuOption(nullptr);

    QCOMPARE(answers.shown, 1);
    QCOMPARE(G().CurLang.Name(), QString("Deutsch"));
    QCOMPARE(env.status.captions.help, QString("Hilfe"));
    QCOMPARE(G().LangChoice, QString("lang.1deu.txt"));
    QCOMPARE(env.settings.value("LangChoice"), QString("lang.1deu.txt"));
    QCOMPARE(env.prompts.boxes.size(), 1);
    QCOMPARE(env.prompts.boxes[0].prompt,
             QString("Spracheinstellungen - Fehler 9: Subscript out of range"));
    QCOMPARE(env.prompts.boxes[0].title, QString("Brushwick 2 Error Wizard"));
    QCOMPARE(env.process.ends, 0);
}

QTEST_MAIN(TestLangPick)
#include "test_lang_pick.moc"
