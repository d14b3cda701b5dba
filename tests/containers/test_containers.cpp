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
    void commandLine();
    void hashItems();
    void properString();
};

void TestContainers::listOperations() {
    MArray a;
    QVERIFY(a.Pop().isNull());
    QVERIFY(a.Shift().isNull());
    a.Push("b");
    a.Push("c");
    a.Push("d");
    a.Unshift("a");
    QCOMPARE(a.Shift().toText(), QString("a"));
    QCOMPARE(a.Pop().toText(), QString("d"));
    // Positions the list does not have read as empty and take no change.
    QVERIFY(a.See(-1).isEmpty());
    QVERIFY(a.See(2).isEmpty());
    a.Change(2, "x");
    a.Change(-1, "x");
    a.Change(0, "z");
    QCOMPARE(texts(a.Give()), (QStringList{"z", "c"}));
}

void TestContainers::commandLine() {
    // The Windows form: each path in double quotes; an unquoted line is one path.
    const QList<QPair<QString, QStringList>> lines{
        {R"("C:\a b\x.zip" "C:\y.package" "z")", {R"(C:\a b\x.zip)", R"(C:\y.package)", "z"}},
        {R"("C:\a b\x.zip")", {R"(C:\a b\x.zip)"}},
        {R"(C:\x.zip)", {R"(C:\x.zip)"}},
        {R"(C:\x.zip C:\y.zip)", {R"(C:\x.zip C:\y.zip)"}},
    };
    for (const auto& [line, paths] : lines) {
        MArray a;
        a.Initialize(line, true);
        QCOMPARE(texts(a.Give()), paths);
    }
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

    // An item without "=" stops the filling, and keys and values stay paired.
    Hash f;
    QVERIFY_THROWS_EXCEPTION(RunTimeError, f.Initialize({"A = 1", "no equals", "B = 2"}));
    f.Push("C = 3");
    QCOMPARE(f.SeePair(1).toText(), QString("C = 3"));
    QCOMPARE(f.Pop().toText(), QString("C = 3"));
    QCOMPARE(f.Pop().toText(), QString("A = 1"));
    QVERIFY(f.Pop().isNull()); // an empty table stays consistent
    f.Push("D = 4");
    QCOMPARE(f.SeePair(0).toText(), QString("D = 4"));
}

void TestContainers::properString() {
    // The three values given, then the text shown: each "..." takes the next
    // value given; values left empty leave theirs.
    const QList<QPair<QString, QStringList>> cases{
        {"... and ...", {"", "", "", "... and ..."}},
        {"... and ...", {"", "b", "", "b and ..."}},
        {"Copy ... to ...", {"a", "b", "", "Copy a to b"}},
        {"... then ...", {"x...", "y", "", "xy then ..."}}, // brought-in dots filled first
    };
    for (const auto& [text, args] : cases) {
        LanguagePack p;
        p.Initialize({"N", "A", "K = " + text});
        QCOMPARE(p.ProperString("k", args[0], args[1], args[2]), args[3]);
    }
    LanguagePack p;
    QCOMPARE(p.ProperString("missing", "a", "", ""), QString());
}

QTEST_GUILESS_MAIN(TestContainers)
#include "test_containers.moc"
