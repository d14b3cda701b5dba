#include "containers/language_pack.h"
#include "containers/runtime_error.h"

#include <QtTest>

class TestContainers : public QObject {
    Q_OBJECT
private slots:
    void listEndsAndEmptyStates();
    void queueOrder();
    void outOfRangeIsHarmless();
    void commandLine_data();
    void commandLine();
    void textWithoutFlagIsTypeMismatch();
    void hashItemsSplitAtFirstEquals();
    void hashDuplicatesAndUpdate();
    void hashBadItemKeepsListsParallel();
    void hashPopAndKeysAreIndependent();
    void packHeaderAndLookups();
    void packTooShortIsAnError();
    void properStringFillsLeftToRight_data();
    void properStringFillsLeftToRight();
};

void TestContainers::listEndsAndEmptyStates() {
    MArray a;
    QVERIFY(a.Pop().isNull());
    QVERIFY(a.Shift().isNull());
    QCOMPARE(a.Size(), 0);
    a.Push("x");
    QCOMPARE(a.Size(), 1);
    QCOMPARE(a.See(0).toText(), QString("x"));
    QCOMPARE(a.Pop().toText(), QString("x"));
    QCOMPARE(a.Size(), 0);
    a.Unshift("y");
    QCOMPARE(a.See(0).toText(), QString("y"));
    // Null and empty read as the empty text when joined.
    QCOMPARE(QString("a") + MArray().Pop().toText(), QString("a"));
}

void TestContainers::queueOrder() {
    MArray a;
    a.Push("b");
    a.Push("c");
    a.Unshift("a");
    QCOMPARE(a.Size(), 3);
    QCOMPARE(a.Shift().toText(), QString("a"));
    QCOMPARE(a.Pop().toText(), QString("c"));
    a.Push("d");
    a.Reverse();
    QCOMPARE(a.See(0).toText(), QString("d"));
    QCOMPARE(a.See(1).toText(), QString("b"));
    // Give is a copy.
    QList<Variant> copy = a.Give();
    copy.clear();
    QCOMPARE(a.Size(), 2);
}

void TestContainers::outOfRangeIsHarmless() {
    MArray a;
    a.Push("x");
    QVERIFY(a.See(-1).isEmpty());
    QVERIFY(a.See(1).isEmpty());
    a.Change(1, "y");
    a.Change(-1, "y");
    QCOMPARE(a.Size(), 1);
    QCOMPARE(a.See(0).toText(), QString("x"));
    a.Change(0, "z");
    QCOMPARE(a.See(0).toText(), QString("z"));
}

void TestContainers::commandLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("two quoted") << R"("C:\a b\x.zip" "C:\y.package")"
                                << QStringList{R"(C:\a b\x.zip)", R"(C:\y.package)"};
    QTest::newRow("one quoted") << R"("C:\a b\x.zip")" << QStringList{R"(C:\a b\x.zip)"};
    QTest::newRow("one bare") << R"(C:\x.zip)" << QStringList{R"(C:\x.zip)"};
    QTest::newRow("two bare stay one") << R"(C:\x.zip C:\y.zip)"
                                       << QStringList{R"(C:\x.zip C:\y.zip)"};
    QTest::newRow("three") << R"("a" "b" "c")" << QStringList{"a", "b", "c"};
}

void TestContainers::commandLine() {
    QFETCH(QString, line);
    QFETCH(QStringList, paths);
    MArray a;
    a.Initialize(line, true);
    QStringList got;
    for (const Variant& v : a.Give())
        got << v.toText();
    QCOMPARE(got, paths);
}

void TestContainers::textWithoutFlagIsTypeMismatch() {
    MArray a;
    a.Push("keep");
    try {
        a.Initialize(QStringLiteral("x"), false);
        QFAIL("no error");
    } catch (const RunTimeError& e) {
        QCOMPARE(e.Number(), 13);
    }
    QCOMPARE(a.Size(), 1);
}

void TestContainers::hashItemsSplitAtFirstEquals() {
    Hash h;
    h.Push("KEY=a=b");
    h.Push("  Spaced  =  text  ");
    h.Push("\tTab = t");
    QCOMPARE(h.Value("key").toText(), QString("a=b"));
    QCOMPARE(h.Value("SPACED").toText(), QString("text"));
    QCOMPARE(h.Value(" spaced").toText(), QString());  // the looked-up key is not trimmed
    QCOMPARE(h.Value("\tTab").toText(), QString("t")); // tabs are not trimmed
    QCOMPARE(h.Value("missing").toText(), QString());
    QCOMPARE(h.SeePair(0).toText(), QString("KEY = a=b"));
    QCOMPARE(h.SeePair(7).toText(), QString(" = "));
}

void TestContainers::hashDuplicatesAndUpdate() {
    Hash h;
    h.Initialize({"A = 1", "a = 2", "B = 3"});
    QCOMPARE(h.Size(), 3);
    QCOMPARE(h.Value("a").toText(), QString("1"));
    h.Update({"a = 9", "C = 4"});
    QCOMPARE(h.Size(), 4);
    QCOMPARE(h.SeePair(0).toText(), QString("A = 9")); // stored key keeps its case
    QCOMPARE(h.SeePair(1).toText(), QString("a = 2")); // only the first pair changes
    QCOMPARE(h.Value("c").toText(), QString("4"));
    h.Change("b", "New = 5");
    QCOMPARE(h.Value("new").toText(), QString("5"));
    h.Change("nothing", "X = 1");
    QCOMPARE(h.Size(), 4);
    QCOMPARE(h.Value("x").toText(), QString());
}

void TestContainers::hashBadItemKeepsListsParallel() {
    Hash h;
    QVERIFY_THROWS_EXCEPTION(RunTimeError, h.Initialize({"A = 1", "no equals", "B = 2"}));
    QCOMPARE(h.Size(), 1);
    QCOMPARE(h.Value("A").toText(), QString("1"));
    QCOMPARE(h.SeePair(1).toText(), QString(" = "));
    h.Push("C = 3");
    QCOMPARE(h.SeePair(1).toText(), QString("C = 3"));
}

void TestContainers::hashPopAndKeysAreIndependent() {
    Hash h;
    h.Initialize({"A = 1", "B = 2"});
    MArray keys = h.GetKeys();
    keys.Pop();
    keys.Pop();
    QCOMPARE(h.Size(), 2);
    QCOMPARE(h.Pop().toText(), QString("B = 2"));
    QCOMPARE(h.Pop().toText(), QString("A = 1"));
    QVERIFY(h.Pop().isNull()); // an empty table stays consistent
    QCOMPARE(h.Size(), 0);
    h.Push("D = 4");
    QCOMPARE(h.SeePair(0).toText(), QString("D = 4"));
}

void TestContainers::packHeaderAndLookups() {
    LanguagePack p;
    p.Initialize({"English", "the team", "A = 1", "B = 2"});
    QCOMPARE(p.Name(), QString("English"));
    QCOMPARE(p.author(), QString("the team"));
    QCOMPARE(p.Size(), 2);
    QCOMPARE(p.SeeByName("a").toText(), QString("1"));
    p.Update({"Deutsch", "das Team", "b = zwei", "C = 3"});
    QCOMPARE(p.Name(), QString("Deutsch"));
    QCOMPARE(p.Size(), 3);
    QCOMPARE(p.SeeByName("B").toText(), QString("zwei"));
    QCOMPARE(p.See(1).toText(), QString("B = zwei"));
    LanguagePack headerOnly;
    headerOnly.Initialize({"Name", "Author"});
    QCOMPARE(headerOnly.Size(), 0);
    QCOMPARE(headerOnly.SeeByName("A").toText(), QString());
}

void TestContainers::packTooShortIsAnError() {
    LanguagePack p;
    p.Initialize({"English", "the team", "A = 1"});
    QVERIFY_THROWS_EXCEPTION(RunTimeError, p.Update({"Only a name"}));
    QCOMPARE(p.Name(), QString("English"));
    // An item without "=" stops the update; what came before it stays.
    QVERIFY_THROWS_EXCEPTION(RunTimeError, p.Update({"N", "A", "B = 2", "broken", "C = 3"}));
    QCOMPARE(p.SeeByName("B").toText(), QString("2"));
    QCOMPARE(p.SeeByName("C").toText(), QString());
    QCOMPARE(p.Size(), 2);
}

void TestContainers::properStringFillsLeftToRight_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    QTest::newRow("count") << "... files installed" << QStringList{"5", "", ""}
                           << "5 files installed";
    QTest::newRow("nothing given") << "... and ..." << QStringList{"", "", ""} << "... and ...";
    QTest::newRow("second only") << "... and ..." << QStringList{"", "b", ""} << "b and ...";
    QTest::newRow("two") << "Copy ... to ..." << QStringList{"a", "b", ""} << "Copy a to b";
    QTest::newRow("brought-in dots filled first")
        << "... then ..." << QStringList{"x...", "y", ""} << "xy then ...";
    QTest::newRow("no placeholder") << "plain" << QStringList{"a", "b", "c"} << "plain";
}

void TestContainers::properStringFillsLeftToRight() {
    QFETCH(QString, text);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    LanguagePack p;
    p.Initialize({"N", "A", QStringLiteral("K = ") + text});
    QCOMPARE(p.ProperString("k", args[0], args[1], args[2]), expected);
    QCOMPARE(p.ProperString("missing", "a", "", ""), QString());
}

QTEST_GUILESS_MAIN(TestContainers)
#include "test_containers.moc"
