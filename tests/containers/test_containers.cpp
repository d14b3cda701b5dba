#include "containers/language_pack.h"
#include "containers/runtime_error.h"

#include <QtTest>

namespace {

QStringList texts(const QList<Variant>& list) {
    QStringList out;
    for (const Variant& v : list)
        out << v.toText();
    return out;
}

} // namespace

class TestContainers : public QObject {
    Q_OBJECT
private slots:
    void listOperations();
    void commandLine_data();
    void commandLine();
    void hashItems();
    void hashFailureKeepsListsParallel();
    void properString_data();
    void properString();
};

void TestContainers::listOperations() {
    MArray a;
    QVERIFY(a.Pop().isNull());
    QVERIFY(a.Shift().isNull());
    QCOMPARE(a.Size(), 0);
    a.Push("b");
    a.Push("c");
    a.Unshift("a");
    QCOMPARE(a.Shift().toText(), QString("a"));
    QCOMPARE(a.Pop().toText(), QString("c"));
    a.Push("d");
    a.Reverse();
    QCOMPARE(texts(a.Give()), (QStringList{"d", "b"}));
    // Positions the list does not have read as empty and take no change.
    QVERIFY(a.See(-1).isEmpty());
    QVERIFY(a.See(2).isEmpty());
    a.Change(2, "x");
    a.Change(-1, "x");
    a.Change(0, "z");
    QCOMPARE(texts(a.Give()), (QStringList{"z", "b"}));
}

void TestContainers::commandLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("three quoted") << R"("C:\a b\x.zip" "C:\y.package" "z")"
                                  << QStringList{R"(C:\a b\x.zip)", R"(C:\y.package)", "z"};
    QTest::newRow("one quoted") << R"("C:\a b\x.zip")" << QStringList{R"(C:\a b\x.zip)"};
    QTest::newRow("one bare") << R"(C:\x.zip)" << QStringList{R"(C:\x.zip)"};
    QTest::newRow("two bare stay one")
        << R"(C:\x.zip C:\y.zip)" << QStringList{R"(C:\x.zip C:\y.zip)"};
}

void TestContainers::commandLine() {
    QFETCH(QString, line);
    QFETCH(QStringList, paths);
    MArray a;
    a.Initialize(line, true);
    QCOMPARE(texts(a.Give()), paths);
}

void TestContainers::hashItems() {
    Hash h;
    h.Push("KEY=a=b");
    h.Push("  Spaced  =  text  ");
    h.Push("\tTab = t");
    QCOMPARE(h.Value("key").toText(), QString("a=b"));
    QCOMPARE(h.Value("SPACED").toText(), QString("text"));
    QCOMPARE(h.Value(" spaced").toText(), QString());  // the looked-up key is not trimmed
    QCOMPARE(h.Value("\tTab").toText(), QString("t")); // tabs are not trimmed
    QCOMPARE(h.SeePair(0).toText(), QString("KEY = a=b"));
    QCOMPARE(h.SeePair(7).toText(), QString(" = "));

    // The same key twice: lookups and updates reach the first pair only.
    Hash d;
    d.Initialize({"A = 1", "a = 2", "B = 3"});
    QCOMPARE(d.Value("a").toText(), QString("1"));
    d.Update({"a = 9", "C = 4"});
    QCOMPARE(d.SeePair(0).toText(), QString("A = 9")); // stored key keeps its case
    QCOMPARE(d.SeePair(1).toText(), QString("a = 2"));
    d.Change("b", "New = 5");
    d.Change("nothing", "X = 1");
    QCOMPARE(texts(d.GetKeys().Give()), (QStringList{"A", "a", "New", "C"}));
    QCOMPARE(d.Value("new").toText(), QString("5"));
}

void TestContainers::hashFailureKeepsListsParallel() {
    Hash h;
    QVERIFY_THROWS_EXCEPTION(RunTimeError, h.Initialize({"A = 1", "no equals", "B = 2"}));
    QCOMPARE(h.Size(), 1);
    h.Push("C = 3");
    QCOMPARE(h.SeePair(1).toText(), QString("C = 3"));
    QCOMPARE(h.Pop().toText(), QString("C = 3"));
    QCOMPARE(h.Pop().toText(), QString("A = 1"));
    QVERIFY(h.Pop().isNull()); // an empty table stays consistent
    h.Push("D = 4");
    QCOMPARE(h.SeePair(0).toText(), QString("D = 4"));
}

void TestContainers::properString_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    QTest::newRow("nothing given") << "... and ..." << QStringList{"", "", ""} << "... and ...";
    QTest::newRow("second only") << "... and ..." << QStringList{"", "b", ""} << "b and ...";
    QTest::newRow("two") << "Copy ... to ..." << QStringList{"a", "b", ""} << "Copy a to b";
    QTest::newRow("brought-in dots filled first")
        << "... then ..." << QStringList{"x...", "y", ""} << "xy then ...";
}

void TestContainers::properString() {
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
