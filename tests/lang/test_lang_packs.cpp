#include "containers/runtime_error.h"
#include "lang/language.h"
#include "lang/language_keys.h"
#include "lang/text_readers.h"
#include "state/globals.h"
#include "test_env.h"

#include <QtTest>

using BrushwickMod::DefaultPack;

namespace {

QString writePack(const TestEnv& env, const QString& name, const QByteArray& content) {
    return env.writeFile(env.programFolder() + "/langs/" + name, content);
}

void writeDefault(const TestEnv& env) {
    writePack(env, DefaultPack,
              "Default\r\nSomeone\r\n# comment\r\n\r\nHELP = Help\r\nLANGOPT = Language\r\n"
              "CREDopt = Credits\r\nLOGGopt = Logging\r\nOTHEROPT = Other\r\n"
              "Defbarmsg = Drop here\r\nTwice = first\r\nTwice = second\r\n");
}

void load(const QString& choice) {
    G().LangChoice = choice;
    BrushwickMod::LoadLanguage();
}

QString text(const char* key) {
    return G().CurLang.SeeByName(key).toText();
}

} // namespace

class TestLangPacks : public QObject {
    Q_OBJECT
private slots:
    void readers();
    void chosenPackOverDefault();
    void failedLoadKeepsPackInForce();
    void shippedPacksAreComplete();
};

void TestLangPacks::readers() {
    TestEnv env;
    const QString plain = env.writeFile(env.work("plain"), "a\r\nb\rc\nd\r\n");
    QCOMPARE(FileOps::ReadLines(plain, false).Give(), (QList<Variant>{"a", "b", "c\nd"}));
    const QString mixed = env.writeFile(
        env.work("mixed"), "  Name  \r\n\r\n   # note\r\n' note\r\n\t# tab\r\nk = v # x ");
    QCOMPARE(FileOps::ReadLines(mixed, true).Give(),
             (QList<Variant>{"Name", "\t# tab", "k = v # x"}));

    // The choice window shows the name line as it stands; a byte-order mark
    // is no part of it; a pack saved by a Windows editor keeps its
    // typographic marks.
    const QList<QPair<QByteArray, QString>> names{
        {"  Name  \r\nAuthor", "  Name  "},
        {"\xef\xbb\xbf" + QStringLiteral("Français").toUtf8(), QStringLiteral("Français")},
        {"\x84Gr\xfc\xdf\x93 \x92\x80 \x96", QString::fromUtf8("„Grüß“ ’€ –")},
    };
    for (const auto& [bytes, name] : names)
        QCOMPARE(FileOps::ReadFirstLine(env.writeFile(env.work("first"), bytes)), name);
}

void TestLangPacks::chosenPackOverDefault() {
    TestEnv env;
    writeDefault(env);
    load(DefaultPack);
    QCOMPARE(text("TWICE"), QString("first"));

    // A comment between name and author does not count as a header line.
    writePack(env, "lang.1x.txt",
              "Chosen\r\n# between\r\nTranslator\r\nhelp = Hilfe\r\ntwice = one\r\n"
              "TWICE = two\r\ndefbarmsg = Hier\r\nLANGCODE = de\r\n");
    load("lang.1x.txt");
    QCOMPARE(G().CurLang.author(), QString("Translator"));
    QCOMPARE(text("Twice"), QString("two"));
    const platform::MenuCaptions& c = env.status.captions;
    QCOMPARE((QStringList{c.help, c.language, c.credits, c.logging, c.other}),
             (QStringList{"Hilfe", "Language", "Credits", "Logging", "Other"}));
    QCOMPARE(env.status.text, QString("Hier"));
    // Qt's own buttons follow the pack where the system has their words.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QString("&Ja"));

    // A default pack with nothing in it is no failure: every text is empty.
    writePack(env, DefaultPack, "# nothing but a comment\r\n");
    load(DefaultPack);
    QCOMPARE(G().CurLang.Name(), QString());
    QCOMPARE(env.status.captions.help, QString());
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QString("&Yes"));

    // A chosen pack with nothing in it counts as missing: the program ends, saying so.
    writePack(env, "lang.1x.txt", "");
    QVERIFY_THROWS_EXCEPTION(platform::ProgramEnded, load("lang.1x.txt"));
    QCOMPARE(env.prompts.boxes.size(), 1);
    QCOMPARE(env.logMessages(),
             QStringList{"ERROR: Language data cannot be loaded and as such I cannot continue."});
}

void TestLangPacks::failedLoadKeepsPackInForce() {
    // A pack that cannot be read, or the default pack gone since the start:
    // the texts in force stay.
    const QList<QPair<QByteArray, int>> chosen{
        {"Bad\r\nA\r\nHELP = Broken\r\nno equals\r\n", ErrNo::SubscriptOutOfRange},
        {"Bad\nA\nHELP = Broken\n", ErrNo::SubscriptOutOfRange}, // Unix line ends
        {"Good\r\nA\r\nHELP = Fine\r\n", ErrNo::FileNotFound},
    };
    for (const auto& [content, number] : chosen) {
        TestEnv env;
        writeDefault(env);
        load(DefaultPack);
        writePack(env, "lang.9bad.txt", content);
        if (number == ErrNo::FileNotFound)
            QVERIFY(QFile::remove(env.programFolder() + "/langs/" + DefaultPack));
        try {
            load("lang.9bad.txt");
            QFAIL("the load should have failed");
        } catch (const RunTimeError& e) {
            QCOMPARE(e.Number(), number);
        }
        QCOMPARE(text("HELP"), QString("Help"));
        QCOMPARE(env.status.captions.help, QString("Help"));
    }
}

void TestLangPacks::shippedPacksAreComplete() {
    const QDir source(qEnvironmentVariable("BW_SOURCE") + "/langs");
    const QStringList files = source.entryList({"lang.*"}, QDir::Files);
    // English and the six languages beside it.
    QCOMPARE(files, QStringList({"lang.0eng.txt", "lang.1deu.txt", "lang.2fra.txt", "lang.3spa.txt",
                                 "lang.4ptb.txt", "lang.5nld.txt", "lang.6pol.txt"}));
    for (const QString& file : files) {
        // Each pack on its own, without the default pack behind it.
        LanguagePack pack;
        pack.Initialize(FileOps::ReadLines(source.filePath(file), true).Give());
        QStringList known;
        for (const BrushwickMod::LanguageKey& key : BrushwickMod::LanguageKeys) {
            known.append(QString(key.key).toLower());
            const QString t = pack.SeeByName(key.key).toText();
            QVERIFY2(!t.isEmpty() && t.count("...") == key.fillIns,
                     qPrintable(file + ": " + key.key + " = " + t));
        }
        const QString code = pack.SeeByName("LANGCODE").toText();
        QVERIFY2(code == "en" ||
                     QTranslator().load(QLocale(code), "qtbase", "_",
                                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)),
                 qPrintable(file + ": no Qt translation for " + code));
        // A misspelt key would hide behind the default text.
        for (qint32 i = 0; i < pack.Size(); ++i) {
            const QString key = SplitItem(pack.See(i)).key;
            QVERIFY2(known.contains(key.toLower()), qPrintable(file + ": " + key));
        }
    }
}

QTEST_GUILESS_MAIN(TestLangPacks)
#include "test_lang_packs.moc"
