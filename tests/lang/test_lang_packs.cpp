#include "containers/runtime_error.h"
#include "lang/language.h"
#include "lang/language_keys.h"
#include "lang/text_readers.h"
#include "platform/globals.h"
#include "test_env.h"

#include <QtTest>

using BrushwickMod::DefaultPack;
using BrushwickMod::LoadLanguage;

namespace {

QString packPath(const TestEnv& env, const QString& name) {
    return env.programFolder() + "/langs/" + name;
}

// A pack file with the usual CR LF line ends.
void writePack(const TestEnv& env, const QString& name, const QStringList& lines) {
    env.writeFile(packPath(env, name), lines.join("\r\n").toUtf8() + "\r\n");
}

void writeDefault(const TestEnv& env) {
    writePack(env, DefaultPack,
              {"Default", "Someone", "  # spaces before a comment", "' another comment", "",
               "HELP = Help", "LANGOPT = Language", "CREDopt = Credits", "LOGGopt = Logging",
               "OTHEROPT = Other", "Defbarmsg = Drop here", "Twice = first", "Twice = second",
               "  padded   =   inner  blanks  ", "sum=a=b", "hash = keeps # this"});
}

void load(const QString& choice) {
    G().LangChoice = choice;
    LoadLanguage();
}

QString text(const char* key) {
    return G().CurLang.SeeByName(key).toText();
}

QStringList texts(const MArray& list) {
    QStringList out;
    for (const Variant& v : list.Give())
        out.append(v.toText());
    return out;
}

const QString French = QStringLiteral("Français");

} // namespace

class TestLangPacks : public QObject {
    Q_OBJECT
private slots:
    void readLines_data();
    void readLines();
    void encodings_data();
    void encodings();
    void headerReaders();
    void chosenPackOverDefault();
    void emptyDefaultPackIsNoFailure();
    void failedLoadKeepsPackInForce_data();
    void failedLoadKeepsPackInForce();
    void missingChosenPackEndsProgram_data();
    void missingChosenPackEndsProgram();
    void shippedPacksAreComplete_data();
    void shippedPacksAreComplete();
};

void TestLangPacks::readLines_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << false << QStringList{"a", "b"};
    QTest::newRow("lone CR ends a line") << QByteArray("a\rb") << false << QStringList{"a", "b"};
    QTest::newRow("lone LF stays") << QByteArray("a\nb\r\nc") << false << QStringList{"a\nb", "c"};
    QTest::newRow("empty file") << QByteArray() << true << QStringList{};
    const QByteArray mixed("  Name  \r\n\r\n   # note\r\n' note\r\n\t# tab\r\nk = v # x \r\n");
    QTest::newRow("unfiltered") << mixed << false
                                << QStringList{"  Name  ", "",        "   # note",
                                               "' note",   "\t# tab", "k = v # x "};
    QTest::newRow("filtered") << mixed << true << QStringList{"Name", "\t# tab", "k = v # x"};
}

void TestLangPacks::readLines() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, filter);
    QFETCH(QStringList, expected);
    TestEnv env;
    QCOMPARE(texts(FileOps::ReadLines(env.writeFile(env.work("t.txt"), bytes), filter)), expected);
}

void TestLangPacks::encodings_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("UTF-8") << French.toUtf8() + "\r\nx";
    QTest::newRow("Latin-1") << French.toLatin1() + "\r\nx";
    QTest::newRow("byte-order mark") << "\xef\xbb\xbf" + French.toUtf8();
}

void TestLangPacks::encodings() {
    QFETCH(QByteArray, bytes);
    TestEnv env;
    QCOMPARE(FileOps::ReadFirstLine(env.writeFile(env.work("t.txt"), bytes)), French);
}

void TestLangPacks::headerReaders() {
    TestEnv env;
    const QString spaced = env.writeFile(env.work("spaced"), "  Name  \r\n  Author \r\nK=V\r\n");
    const QString empty = env.writeFile(env.work("empty"), "");
    QCOMPARE(FileOps::ReadFirstLine(spaced), QString("  Name  "));
    QCOMPARE(FileOps::ReadFirstLine(empty), QString("0"));
    QCOMPARE(FileOps::ReadFirstLine(env.work("missing")), QString("0"));
    QCOMPARE(FileOps::ReadHeaderPair(spaced), QString("  Name   =   Author "));
    QCOMPARE(FileOps::ReadHeaderPair(empty), QString("0"));
    QVERIFY_THROWS_EXCEPTION(RunTimeError, FileOps::ReadLines(env.work("missing"), true));

    // The last listed pack comes first, name and author trimmed; read-me
    // files are no packs.
    writePack(env, "lang.a.txt", {"  Alpha ", " Ann "});
    writePack(env, "lang.b.txt", {"Beta", "Bob"});
    writePack(env, "readme.lang.a.txt", {"not a pack"});
    const Hash table = FileOps::ListLanguages();
    QCOMPARE(table.Size(), 2);
    QCOMPARE(table.SeePair(0).toText(), QString("Beta = Bob"));
    QCOMPARE(table.SeePair(1).toText(), QString("Alpha = Ann"));

    // A pack without its author line stops the listing.
    env.writeFile(packPath(env, "lang.b.txt"), "Only a name");
    try {
        FileOps::ListLanguages();
        QFAIL("a one-line pack has no author");
    } catch (const RunTimeError& e) {
        QCOMPARE(e.Number(), ErrNo::InputPastEnd);
    }
}

void TestLangPacks::chosenPackOverDefault() {
    TestEnv env;
    writeDefault(env);
    load(DefaultPack);
    QCOMPARE(G().CurLang.Name(), QString("Default"));
    QCOMPARE(text("TWICE"), QString("first"));
    QCOMPARE(text("padded"), QString("inner  blanks"));
    QCOMPARE(text("SUM"), QString("a=b"));
    QCOMPARE(text("hash"), QString("keeps # this"));

    // A comment between name and author does not count as a header line.
    writePack(env, "lang.1x.txt",
              {"Chosen", "# between", "Translator", "help = Hilfe", "twice = one", "TWICE = two",
               "Extra = only here", "defbarmsg = Hier"});
    load("lang.1x.txt");
    QCOMPARE(G().CurLang.Name(), QString("Chosen"));
    QCOMPARE(G().CurLang.author(), QString("Translator"));
    QCOMPARE(text("Twice"), QString("two"));
    QCOMPARE(text("extra"), QString("only here"));
    QCOMPARE(text("nowhere"), QString());

    const platform::MenuCaptions& c = env.status.captions;
    QCOMPARE((QStringList{c.help, c.language, c.credits, c.logging, c.other}),
             (QStringList{"Hilfe", "Language", "Credits", "Logging", "Other"}));
    QCOMPARE(env.status.text, QString("Hier"));
}

void TestLangPacks::emptyDefaultPackIsNoFailure() {
    TestEnv env;
    writePack(env, DefaultPack, {"# nothing but a comment"});
    load(DefaultPack);
    QVERIFY(G().CurLangLoaded);
    QCOMPARE(G().CurLang.Name(), QString());
    QCOMPARE(env.status.captions.help, QString());
}

void TestLangPacks::failedLoadKeepsPackInForce_data() {
    QTest::addColumn<QByteArray>("chosen");
    QTest::addColumn<bool>("removeDefault");
    QTest::addColumn<int>("number");
    const int subscript = ErrNo::SubscriptOutOfRange;
    QTest::newRow("item without =")
        << QByteArray("Bad\r\nA\r\nHELP = Broken\r\nno equals\r\n") << false << subscript;
    QTest::newRow("tab before #") << QByteArray("Bad\r\nA\r\n\t# no comment\r\n") << false
                                  << subscript;
    QTest::newRow("comments only") << QByteArray("# x\r\n' y\r\n") << false << subscript;
    QTest::newRow("one kept line") << QByteArray("Only a name\r\n") << false << subscript;
    QTest::newRow("Unix line ends") << QByteArray("Bad\nA\nHELP = Broken\n") << false << subscript;
    QTest::newRow("default pack gone")
        << QByteArray("Good\r\nA\r\nHELP = Fine\r\n") << true << int(ErrNo::FileNotFound);
}

void TestLangPacks::failedLoadKeepsPackInForce() {
    QFETCH(QByteArray, chosen);
    QFETCH(bool, removeDefault);
    QFETCH(int, number);
    TestEnv env;
    writeDefault(env);
    load(DefaultPack);
    env.status.text = "unchanged";
    env.writeFile(packPath(env, "lang.9bad.txt"), chosen);
    if (removeDefault)
        QVERIFY(QFile::remove(packPath(env, DefaultPack)));

    try {
        load("lang.9bad.txt");
        QFAIL("the load should have failed");
    } catch (const RunTimeError& e) {
        QCOMPARE(e.Number(), number);
    }
    QCOMPARE(G().CurLang.Name(), QString("Default"));
    QCOMPARE(text("HELP"), QString("Help"));
    QCOMPARE(env.status.captions.help, QString("Help"));
    QCOMPARE(env.status.text, QString("unchanged"));
    QVERIFY(env.prompts.boxes.isEmpty());
}

void TestLangPacks::missingChosenPackEndsProgram_data() {
    QTest::addColumn<bool>("emptyFile");
    QTest::newRow("missing") << false;
    QTest::newRow("empty") << true;
}

void TestLangPacks::missingChosenPackEndsProgram() {
    QFETCH(bool, emptyFile);
    TestEnv env(1);
    writeDefault(env);
    if (emptyFile)
        env.writeFile(packPath(env, "lang.1x.txt"), "");
    QVERIFY_THROWS_EXCEPTION(platform::ProgramEnded, load("lang.1x.txt"));

    const QString message = "Language data cannot be loaded and as such I cannot continue.";
    QCOMPARE(env.prompts.boxes.size(), 1);
    QCOMPARE(env.prompts.boxes[0].prompt, message);
    QCOMPARE(env.prompts.boxes[0].style, platform::Box::Exclamation);
    QCOMPARE(env.prompts.boxes[0].title, QString("Brushwick 2 Error Wizard"));
    QCOMPARE(env.logMessages(), QStringList{"ERROR: " + message});
    QVERIFY(!G().CurLangLoaded);
}

void TestLangPacks::shippedPacksAreComplete_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("name");
    QTest::newRow("English") << "lang.0eng.txt"
                             << "English";
    QTest::newRow("German") << "lang.1deu.txt"
                            << "Deutsch";
    QTest::newRow("French") << "lang.2fra.txt" << French;
}

void TestLangPacks::shippedPacksAreComplete() {
    QFETCH(QString, file);
    QFETCH(QString, name);
    const QString path = qEnvironmentVariable("BW_SOURCE") + "/langs/" + file;
    QFile raw(path);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    QVERIFY2(!bytes.startsWith("\xef\xbb\xbf"), "no byte-order mark");
    QVERIFY2(bytes.count('\n') == bytes.count("\r\n"), "every line ends in CR LF");
    QVERIFY2(QString::fromUtf8(bytes).toUtf8() == bytes, "valid UTF-8");
    QCOMPARE(FileOps::ReadHeaderPair(path), name + " = Brushwick 2 team");

    // The pack on its own, without the default pack behind it.
    LanguagePack pack;
    pack.Initialize(FileOps::ReadLines(path, true).Give());
    QStringList known;
    for (const BrushwickMod::LanguageKey& key : BrushwickMod::LanguageKeys) {
        known.append(QString(key.key).toLower());
        const QString t = pack.SeeByName(key.key).toText();
        QVERIFY2(!t.isEmpty(), key.key);
        QVERIFY2(t.count("...") == key.fillIns, qPrintable(QString(key.key) + ": " + t));
    }
    // A misspelt key would hide behind the default text.
    for (qint32 i = 0; i < pack.Size(); ++i) {
        const QString key = SplitItem(pack.See(i)).key;
        QVERIFY2(known.contains(key.toLower()), qPrintable(key));
    }
}

QTEST_GUILESS_MAIN(TestLangPacks)
#include "test_lang_packs.moc"
