// .sims2pack containers the tests build: which ones the program unpacks
// itself, why it leaves the others to the game, and that unpacking writes
// exact files or nothing at all.
#include "checks.h"
#include "containers/runtime_error.h"
#include "pipeline/sims2pack.h"
#include "test_env.h"

#include <QCryptographicHash>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace FileOps::Sims2Pack;

namespace {

const QByteArray Magic = "Sims2 Packager 1.0";
constexpr int HeaderSize = 22;

// A game package's data, as far as the program looks.
const QByteArray Data = "DBPFdata";

QByteArray Md5(const QByteArray& data) {
    return QCryptographicHash::hash(data, QCryptographicHash::Md5);
}

// One packaged file of type Object; name goes into the XML as it is, so
// escapes and CDATA can be written.
struct Entry {
    QString name;
    QByteArray data = Data;
};

QString Xml(const QList<Entry>& entries, bool wrapped = false) {
    QString xml = "<Sims2Package type=\"Object\"><GameVersion>1.0.0.1</GameVersion>";
    xml += wrapped ? "<PackagedFiles>" : "";
    qint64 offset = 0;
    for (const Entry& e : entries) {
        xml += QString("<PackagedFile><Name>%1</Name><Type>Object</Type><Length>%2</Length>"
                       "<Offset>%3</Offset><Crc>%4</Crc><Description><![CDATA[made <b>by</b> "
                       "hand]]></Description></PackagedFile>")
                   .arg(e.name, QString::number(e.data.size()), QString::number(offset),
                        Md5(e.data).toHex());
        offset += e.data.size();
    }
    return xml + (wrapped ? "</PackagedFiles>" : "") + "</Sims2Package>";
}

QByteArray WithDataStart(QByteArray file, quint32 dataStart) {
    qToLittleEndian(dataStart, file.data() + Magic.size());
    return file;
}

QByteArray Wrap(const QString& xml, const QByteArray& data = {}, const QByteArray& magic = Magic) {
    const QByteArray utf8 = xml.toUtf8();
    return WithDataStart(magic + QByteArray(4, '\0'), HeaderSize + utf8.size()) + utf8 + data;
}

// The container of entries, the last <tag> element of its XML holding text
// instead ("-": left out).
QByteArray Build(const QList<Entry>& entries, const QString& tag = {}, const QString& text = {}) {
    QString xml = Xml(entries);
    if (!tag.isEmpty()) {
        const qsizetype from = xml.lastIndexOf("<" + tag + ">");
        const qsizetype to = xml.indexOf("</" + tag + ">", from) + tag.size() + 3;
        xml.replace(from, to - from, text == "-" ? "" : QString("<%1>%2</%1>").arg(tag, text));
    }
    QByteArray data;
    for (const Entry& e : entries)
        data += e.data;
    return Wrap(xml, data);
}

QStringList Names(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The number of the error f throws, 0 when it throws none.
template <typename F> int Thrown(F&& f) {
    try {
        f();
    } catch (const RunTimeError& e) {
        return e.Number();
    }
    return 0;
}

// A container and what Inspect makes of it: the whole refusal, "" when the
// program unpacks the container itself (of one ending in "..." only the start
// is given, the rest is the XML reader's); the names the files are unpacked
// under, when they matter.
struct Inspected {
    const char* row;
    QByteArray file;
    QString refusal;
    QStringList baseNames = {};
};

} // namespace

class TestSims2Pack : public QObject {
    Q_OBJECT
private slots:
    void inspect_data();
    void inspect();
    void onlyUnreadableFilesThrow();
    void unpack_data();
    void unpack();
};

void TestSims2Pack::inspect_data() {
    QTest::addColumn<Inspected>("c");
    const QStringList a{"a.package"}, ab{"a.package", "b.package"};
    const QByteArray one = Build({{"a"}});
    // One more than allowed, of four bytes each, named by number.
    QList<Entry> many;
    for (int i = 0; i <= MaxPackagedFiles; ++i)
        many.append({QString::number(i), "DBPF"});
    const QString top = QString::number(std::numeric_limits<qint64>::max());
    // Refused before the unclosed elements make the XML unreadable.
    const QString deep = QString("<i>").repeated(MaxXmlDepth);
    // An entity could reach outside the container; no DTD is read at all.
    const QString outside = "<!DOCTYPE Sims2Package [<!ENTITY x SYSTEM \"file:///etc/passwd\">";
    const QString foreign = "not a Sims2Pack container", broken = "XML is not well formed: ...";
    const Inspected rows[] = {
        {"wrapped", Wrap(Xml({{"a"}, {"b"}}, true), Data + Data), "", ab},
        {"names reduced, escapes and CDATA read",
         Build({{"d/Y.PACKAGE"}, {" s "}, {"&amp;"}, {"<![CDATA[c&d]]>"}, {"&#233;&#xE9;"}}),
         "",
         {"Y.PACKAGE", "s.package", "&.package", "c&d.package", "éé.package"}},
        {"empty MD5", Build({{"a"}}, "Crc", ""), "", a},
        {"upper-case MD5", Build({{"a"}}, "Crc", Md5(Data).toHex().toUpper()), "", a},
        {"as many files as allowed", Build(many.mid(1)), ""},
        // Other kinds of content, and compressed packs, are the game installer's.
        {"sim among objects", Build({{"a"}, {"b"}}, "Type", "Sim"), "type Sim is not Object"},
        {"no type", Build({{"a"}}, "Type", "-"), "type (none) is not Object"},
        {"compressed", Wrap(Xml({{"a"}}), {}, "Sims2 Packager 1.1"), "compressed container"},
        {"compressed, short", "Sims2 Packager 2.1", "compressed container"},
        {"wrong magic", "Sims2 Packager 1.2" + one.mid(Magic.size()), foreign},
        {"too short", one.left(HeaderSize - 1), foreign},
        {"empty", "", foreign},
        // Where the data starts.
        {"in the header", WithDataStart(one, HeaderSize - 1), "data start inside the header"},
        {"past the end", WithDataStart(one, one.size() + 1), "data start outside the file"},
        {"XML just too large", WithDataStart(one, HeaderSize + MaxXmlBytes + 1), "XML too large"},
        {"largest data start", WithDataStart(one, 0xFFFFFFFFu), "XML too large"},
        // Numbers and data.
        {"largest offset", Build({{"a"}}, "Offset", top), "offset outside the file: a.package"},
        {"largest length", Build({{"a"}}, "Length", top), "length outside the file: a.package"},
        {"truncated", Build({{"a"}, {"b"}}).chopped(1), "length outside the file: b.package"},
        {"length beyond 64 bits", Build({{"a"}}, "Length", top + "0"), "bad length for a.package"},
        {"no length", Build({{"a"}}, "Length", "-"), "bad length for a.package"},
        {"negative offset", Build({{"a"}}, "Offset", "-1"), "bad offset for a.package"},
        {"MD5 not hex", Build({{"a"}}, "Crc", QString(32, 'g')), "bad MD5 for a.package"},
        {"wrong MD5", Build({{"a"}}, "Crc", QString(32, '0')), "MD5 does not match for a.package"},
        {"not a game package", Build({{"a", "DBPx"}}), "not a game package: a.package"},
        {"shorter than the magic", Build({{"a", "DBP"}}), "not a game package: a.package"},
        {"data shared", Build({{"a"}, {"b"}}, "Offset", "1"), "data overlaps: b.package"},
        // Names; also never a line break into the log.
        {"repeat once reduced", Build({{"a/x.package"}, {"b\\X.Package"}}),
         "names repeat: X.Package"},
        {"repeat once ended", Build({{"x"}, {"x.package"}}), "names repeat: x.package"},
        {"control characters in a name", Build({{"a&#9;b&#10;c"}}), "unusable name: a?b?c"},
        // The XML.
        {"undeclared entity", Build({{"&eacute;"}}), broken},
        {"no XML", Wrap(""), broken},
        {"other root", Wrap("<Sims3Package/>"), "XML root is not Sims2Package"},
        {"name given twice", Build({{"x</Name><Name>y"}}), "Name repeats in a packaged file"},
        {"nested too deeply", Build({{"a"}}, "Description", deep), "XML nested too deeply"},
        {"no packaged files", Build({}), "no packaged files"},
        {"too many packaged files", Build(many), "too many packaged files"},
        {"external entity", Wrap(outside + "]>" + Xml({{"&x;"}})), "XML declares a DTD"},
    };
    for (const Inspected& r : rows)
        QTest::newRow(r.row) << r;
    for (const char* name : {"", ".", "..", "dir/", "a\\.. "})
        QTest::newRow(qPrintable(QString("unusable name \"%1\"").arg(name)))
            << Inspected{"", Build({{name}}), QString("unusable name: ") + name};
}

void TestSims2Pack::inspect() {
    QFETCH(Inspected, c);
    TestEnv env;
    const Inspection inspection = Inspect(env.writeFile(env.work("c.sims2pack"), c.file));
    const QString& found = inspection.refusal;
    QCOMPARE(c.refusal.endsWith("...") ? found.left(c.refusal.size() - 3) + "..." : found,
             c.refusal);
    if (!c.baseNames.isEmpty())
        QCOMPARE(inspection.container.files.size(), c.baseNames.size());
    for (qsizetype i = 0; i < c.baseNames.size(); ++i)
        QCOMPARE(inspection.container.files[i].baseName, c.baseNames[i]);
}

void TestSims2Pack::onlyUnreadableFilesThrow() {
    TestEnv env;
    QCOMPARE(Thrown([&] { Inspect(env.work("missing.sims2pack")); }), ErrNo::FileNotFound);
    QCOMPARE(Thrown([&] { Inspect(env.workFolder()); }), ErrNo::PathFileAccess);
}

void TestSims2Pack::unpack_data() {
    QTest::addColumn<int>("number"); // of the error thrown, 0 for none
    QTest::newRow("intact") << 0;
    QTest::newRow("folder removed") << ErrNo::PathFileAccess;
    QTest::newRow("file too large") << ErrNo::PathFileAccess;
    // The container changed after it was inspected.
    QTest::newRow("container shortened") << ErrNo::InputPastEnd;
    QTest::newRow("data changed") << ErrNo::PathFileAccess;
    // A listing from elsewhere is not trusted either.
    QTest::newRow("name leaving the folder") << ErrNo::PathFileAccess;
    QTest::newRow("offset beyond 64 bits") << ErrNo::InputPastEnd;
}

void TestSims2Pack::unpack() {
    QFETCH(int, number);
    const QByteArray damage = QTest::currentDataTag();
    TestEnv env;
    // B's data crosses reading blocks; c has no MD5.
    const QList<Entry> entries{
        {"a"}, {"dir/B.package", "DBPF" + QByteArray((200 << 10) + 7, 'x')}, {"c", "DBPFc"}};
    const QByteArray file = Build(entries, "Crc", "-");
    const QString path = env.writeFile(env.work("c.sims2pack"), file);
    const QString out = env.work("out/");
    const QString outside = env.writeFile(env.work("outside.package"), "keep");
    QDir().mkpath(out);
    QVERIFY(QFile::link(outside, out + "a.package"));
    Container c = Inspect(path).container;
    if (damage == "folder removed")
        QDir(out).removeRecursively();
    else if (damage == "container shortened")
        env.writeFile(path, file.chopped(1));
    else if (damage == "data changed") // B's last byte
        env.writeFile(path, QByteArray(file).replace(file.size() - 6, 1, "?"));
    else if (damage == "name leaving the folder")
        c.files[1].baseName = "../b.package";
    else if (damage == "offset beyond 64 bits")
        c.files[1].offset = std::numeric_limits<qint64>::max() - 1;
    // A disk that takes no file bigger than 64 KiB.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit lowered = saved;
    if (damage == "file too large")
        lowered.rlim_cur = 64 << 10;
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &lowered);
    QStringList written;
    const int thrown = Thrown([&] { written = Unpack(path, c, out); });
    setrlimit(RLIMIT_FSIZE, &saved);
    QCOMPARE(thrown, number);
    // Every file, or not even the complete ones; nothing lands beside the folder.
    QCOMPARE(Names(out),
             number ? QStringList() : QStringList({"B.package", "a.package", "c.package"}));
    for (int i = 0; !number && i < entries.size(); ++i) {
        QCOMPARE(written.value(i), out + c.files[i].baseName);
        QCOMPARE(Content(written.value(i)), entries[i].data);
    }
    // The link in the way was replaced, never written through.
    QCOMPARE(Content(outside), QByteArray("keep"));
    QCOMPARE(Names(env.workFolder()), damage == "folder removed"
                                          ? QStringList({"c.sims2pack", "outside.package"})
                                          : QStringList({"c.sims2pack", "out", "outside.package"}));
}

QTEST_GUILESS_MAIN(TestSims2Pack)
#include "test_sims2pack.moc"
