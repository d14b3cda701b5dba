// .sims2pack containers the tests build: which ones the program unpacks
// itself, why it leaves the others to the game, and that unpacking writes
// exact files or nothing at all.
#include "checks.h"
#include "containers/runtime_error.h"
#include "locked_folder.h"
#include "pipeline/sims2pack.h"
#include "test_env.h"

#include <QCryptographicHash>
#include <QtTest>

#include <csignal>
#include <optional>
#include <sys/resource.h>

using namespace Sims2Pack;

namespace {

const QByteArray Magic = "Sims2 Packager 1.0";
constexpr int HeaderSize = 22;

QByteArray Package(const QByteArray& rest = "data") {
    return "DBPF" + rest;
}

// One packaged file. name and the other texts go into the XML as they are,
// so escapes and CDATA can be written; a null text stands for the true
// value, "-" leaves the element out.
struct Entry {
    Entry(const QString& name, const QByteArray& data = Package(), const QString& type = "Object",
          const QString& length = {}, const QString& offset = {}, const QString& crc = {})
        : name(name), data(data), type(type), length(length), offset(offset), crc(crc) {}
    QString name;
    QByteArray data;
    QString type, length, offset, crc;
};

QString Field(const char* tag, const QString& text, const QString& value) {
    if (text == "-")
        return {};
    return QString("<%1>%2</%1>").arg(tag, text.isNull() ? value : text);
}

QByteArray Xml(const QList<Entry>& entries, bool wrapped = false) {
    QString xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Sims2Package type=\"Object\">"
                  "<GameVersion>1.0.0.1</GameVersion>";
    xml += wrapped ? "<PackagedFiles>" : "";
    qint64 offset = 0;
    for (const Entry& e : entries) {
        const QString md5 = QCryptographicHash::hash(e.data, QCryptographicHash::Md5).toHex();
        xml += "<PackagedFile>" + Field("Name", e.name, "") + Field("Type", e.type, "") +
               Field("Length", e.length, QString::number(e.data.size())) +
               Field("Offset", e.offset, QString::number(offset)) + Field("Crc", e.crc, md5) +
               "<Description><![CDATA[made <b>by</b> hand]]></Description></PackagedFile>";
        offset += e.data.size();
    }
    xml += wrapped ? "</PackagedFiles>" : "";
    return (xml + "</Sims2Package>").toUtf8();
}

QByteArray Data(const QList<Entry>& entries) {
    QByteArray data;
    for (const Entry& e : entries)
        data += e.data;
    return data;
}

QByteArray WithDataStart(QByteArray file, quint32 dataStart) {
    qToLittleEndian(dataStart, file.data() + Magic.size());
    return file;
}

QByteArray Wrap(const QByteArray& xml, const QByteArray& data = {},
                const QByteArray& magic = Magic) {
    return WithDataStart(magic + QByteArray(4, '\0'), HeaderSize + xml.size()) + xml + data;
}

QByteArray Build(const QList<Entry>& entries, bool wrapped = false) {
    return Wrap(Xml(entries, wrapped), Data(entries));
}

// Unique names for count packages of four bytes each.
QList<Entry> Many(int count) {
    QList<Entry> entries;
    for (int i = 0; i < count; ++i)
        entries.append({QString::number(i), "DBPF", "Object", {}, {}, "-"});
    return entries;
}

// An XML list with one file whose Name element is replaced by element.
QByteArray XmlWith(const QString& element) {
    return Xml({{"x.package"}}).replace("<Name>x.package</Name>", element.toUtf8());
}

QStringList Names(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A disk that takes no file bigger than bytes while the object lives.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit lowered = saved;
        lowered.rlim_cur = bytes;
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
    rlimit saved{};
};

} // namespace

class TestSims2Pack : public QObject {
    Q_OBJECT
private slots:
    void inspect_data();
    void inspect();
    void inspectReadsTheListing();
    void onlyUnreadableFilesThrow();
    void unpackWritesExactFiles();
    void failedUnpackLeavesNothing_data();
    void failedUnpackLeavesNothing();
};

void TestSims2Pack::inspect_data() {
    QTest::addColumn<QByteArray>("file");
    // The whole refusal; one ending in "..." is the start of it.
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QStringList>("baseNames");
    const QByteArray one = Build({{"a.package"}});

    QTest::newRow("one object") << one << "" << QStringList{"a.package"};
    QTest::newRow("several, any type case, wrapped")
        << Build({{"a.package"}, {"b.package", Package("b"), "oBjEcT"}}, true) << ""
        << QStringList{"a.package", "b.package"};
    QTest::newRow("names reduced, ending added")
        << Build({{"x"}, {"dir/sub\\Y.PACKAGE"}, {"  spaced.package "}}) << ""
        << QStringList{"x.package", "Y.PACKAGE", "spaced.package"};
    QTest::newRow("escaped and CDATA names")
        << Build({{"a &amp; b"}, {"<![CDATA[c & d]]>"}, {"&#233;t&#xE9;"}}) << ""
        << QStringList{"a & b.package", "c & d.package", "été.package"};
    const QByteArray data = Package("upper");
    const QString upper = QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex().toUpper();
    QTest::newRow("MD5 absent, empty, upper case")
        << Build({{"a", Package(), "Object", {}, {}, "-"},
                  {"b", Package(), "Object", {}, {}, ""},
                  {"c", data, "Object", {}, {}, upper}})
        << "" << QStringList{"a.package", "b.package", "c.package"};
    QStringList allowed;
    for (int i = 0; i < MaxPackagedFiles; ++i)
        allowed.append(QString::number(i) + ".package");
    QTest::newRow("as many files as allowed") << Build(Many(MaxPackagedFiles)) << "" << allowed;

    // Other kinds of content are the game installer's.
    QTest::newRow("lot") << Build({{"a", Package(), "Lot"}}) << "type Lot is not Object"
                         << QStringList{};
    QTest::newRow("sim among objects")
        << Build({{"a"}, {"b", Package(), "Sim"}}) << "type Sim is not Object" << QStringList{};
    QTest::newRow("no type") << Build({{"a", Package(), "-"}}) << "type (none) is not Object"
                             << QStringList{};
    QTest::newRow("compressed") << Wrap(Xml({{"a"}}), {}, "Sims2 Packager 1.1")
                                << "compressed container" << QStringList{};
    QTest::newRow("compressed, short")
        << QByteArray("Sims2 Packager 2.1") << "compressed container" << QStringList{};

    // Not a container at all.
    QTest::newRow("wrong magic") << "Sims2 Packager 1.2" + one.mid(Magic.size())
                                 << "not a Sims2Pack container" << QStringList{};
    QTest::newRow("too short") << one.left(HeaderSize - 1) << "not a Sims2Pack container"
                               << QStringList{};
    QTest::newRow("empty") << QByteArray() << "not a Sims2Pack container" << QStringList{};

    // Where the data starts.
    QTest::newRow("data start in the header")
        << WithDataStart(one, HeaderSize - 1) << "data start inside the header" << QStringList{};
    QTest::newRow("data start past the end")
        << WithDataStart(one, one.size() + 1) << "data start outside the file" << QStringList{};
    QTest::newRow("XML just too large")
        << WithDataStart(one, HeaderSize + MaxXmlBytes + 1) << "XML too large" << QStringList{};
    QTest::newRow("largest data start")
        << WithDataStart(one, 0xFFFFFFFFu) << "XML too large" << QStringList{};

    // Numbers.
    const QString top = QString::number(std::numeric_limits<qint64>::max());
    const struct {
        const char* row;
        Entry entry;
        const char* refusal;
    } numbers[] = {
        {"offset past the end", {"a", Package(), "Object", {}, "9"}, "offset outside the file: "},
        {"largest offset", {"a", Package(), "Object", {}, top}, "offset outside the file: "},
        {"length past the end", {"a", Package(), "Object", "9"}, "length outside the file: "},
        {"largest length", {"a", Package(), "Object", top}, "length outside the file: "},
        {"length beyond 64 bits",
         {"a", Package(), "Object", "9223372036854775808"},
         "bad length for "},
        {"negative length", {"a", Package(), "Object", "-1"}, "bad length for "},
        {"length not a number", {"a", Package(), "Object", "8x"}, "bad length for "},
        {"no length", {"a", Package(), "Object", "-"}, "bad length for "},
        {"negative offset", {"a", Package(), "Object", {}, "-1"}, "bad offset for "},
        {"MD5 does not match",
         {"a", Package(), "Object", {}, {}, QString(32, '0')},
         "MD5 does not match for "},
        {"MD5 not hex", {"a", Package(), "Object", {}, {}, QString(32, 'g')}, "bad MD5 for "},
        {"MD5 too short", {"a", Package(), "Object", {}, {}, "00ff"}, "bad MD5 for "},
        {"not a game package", {"a", "DBPx-data"}, "not a game package: "},
        {"shorter than the magic", {"a", "DBP"}, "not a game package: "},
    };
    for (const auto& n : numbers)
        QTest::newRow(n.row) << Build({n.entry}) << n.refusal + QString("a.package")
                             << QStringList{};
    QTest::newRow("truncated") << one.chopped(1) << "length outside the file: a.package"
                               << QStringList{};
    QList<Entry> shared{{"a"}, {"b"}};
    shared[1].offset = "1";
    QTest::newRow("data shared") << Build(shared) << "data overlaps: b.package" << QStringList{};

    // Names.
    QTest::newRow("names repeat once reduced")
        << Build({{"a/x.package"}, {"b\\X.Package"}}) << "names repeat: X.Package" << QStringList{};
    QTest::newRow("names repeat once ended")
        << Build({{"x"}, {"x.package"}}) << "names repeat: x.package" << QStringList{};
    for (const char* name : {"", ".", "..", "dir/", "a\\.. "})
        QTest::newRow(qPrintable(QString("unusable name \"%1\"").arg(name)))
            << Build({{name}}) << QString("unusable name: ") + name << QStringList{};
    // Also never a line break into the log.
    QTest::newRow("control character in a name")
        << Build({{"a&#9;b&#10;c"}}) << "unusable name: a?b?c" << QStringList{};

    // The XML.
    const QString broken = "XML is not well formed: ...";
    QTest::newRow("mismatched tags") << Wrap(XmlWith("<Name>x</Nme>")) << broken << QStringList{};
    QTest::newRow("undeclared entity")
        << Wrap(XmlWith("<Name>&eacute;</Name>")) << broken << QStringList{};
    QTest::newRow("no XML") << WithDataStart(Magic + "0000", HeaderSize) << broken << QStringList{};
    QTest::newRow("second root") << Wrap(Xml({{"a"}}) + "<Sims2Package/>") << broken
                                 << QStringList{};
    QTest::newRow("element in a name")
        << Wrap(XmlWith("<Name>x<b/></Name>")) << broken << QStringList{};
    QTest::newRow("other root") << Wrap("<Sims3Package/>") << "XML root is not Sims2Package"
                                << QStringList{};
    QTest::newRow("name given twice") << Wrap(XmlWith("<Name>x</Name><Name>y</Name>"))
                                      << "Name repeats in a packaged file" << QStringList{};
    QTest::newRow("nested too deeply") << Wrap(XmlWith(QString("<i>").repeated(MaxXmlDepth) +
                                                       QString("</i>").repeated(MaxXmlDepth)))
                                       << "XML nested too deeply" << QStringList{};
    QTest::newRow("no packaged files") << Wrap(Xml({})) << "no packaged files" << QStringList{};
    QTest::newRow("too many packaged files")
        << Build(Many(MaxPackagedFiles + 1)) << "too many packaged files" << QStringList{};
    // Entities could make the list huge or reach outside; no DTD is read.
    QByteArray laughs = "<!DOCTYPE Sims2Package [<!ENTITY l0 \"ha\">";
    for (int i = 1; i < 30; ++i)
        laughs += QString("<!ENTITY l%1 \"&l%2;&l%2;&l%2;&l%2;\">").arg(i).arg(i - 1).toUtf8();
    laughs += "]>";
    const QByteArray outside =
        "<!DOCTYPE Sims2Package [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>";
    for (const auto& [row, dtd, name] :
         {std::tuple{"entity expansion", laughs, "&l29;"},
          std::tuple{"external entity", outside, "&x;"},
          std::tuple{"plain DTD", QByteArray("<!DOCTYPE Sims2Package>"), "x"}})
        QTest::newRow(row) << Wrap(XmlWith(QString("<Name>%1</Name>").arg(name))
                                       .replace("<Sims2Package ", dtd + "<Sims2Package "))
                           << "XML declares a DTD" << QStringList{};
}

void TestSims2Pack::inspect() {
    QFETCH(QByteArray, file);
    QFETCH(QString, refusal);
    QFETCH(QStringList, baseNames);
    TestEnv env;
    const Inspection inspection = Inspect(env.writeFile(env.work("c.sims2pack"), file));
    if (refusal.endsWith("...")) {
        QVERIFY2(inspection.refusal.startsWith(refusal.chopped(3)), qPrintable(inspection.refusal));
        QVERIFY(inspection.refusal.size() > refusal.size());
    } else {
        QCOMPARE(inspection.refusal, refusal);
    }
    if (refusal.isEmpty()) {
        QStringList found;
        for (const PackagedFile& f : inspection.container.files)
            found.append(f.baseName);
        QCOMPARE(found, baseNames);
    }
}

void TestSims2Pack::inspectReadsTheListing() {
    TestEnv env;
    const QByteArray big(100 << 10, 'b');
    const QList<Entry> entries{{"<![CDATA[dir\\a]]>"},
                               {"b.package", Package(big), "object", {}, {}, "-"}};
    const QByteArray xml = Xml(entries);
    const Inspection inspection = Inspect(env.writeFile(env.work("c.sims2pack"), Build(entries)));
    QCOMPARE(inspection.refusal, "");
    const Container& c = inspection.container;
    QCOMPARE(c.packageType, "Object");
    QCOMPARE(c.gameVersion, "1.0.0.1");
    QCOMPARE(c.dataStart, HeaderSize + xml.size());
    QCOMPARE(c.files.size(), 2);
    QCOMPARE(c.files[0].name, "dir\\a");
    QCOMPARE(c.files[0].md5, QCryptographicHash::hash(Package(), QCryptographicHash::Md5));
    QCOMPARE(c.files[1].type, "object");
    QCOMPARE(c.files[1].offset, Package().size());
    QCOMPARE(c.files[1].length, Package(big).size());
    QVERIFY(c.files[1].md5.isEmpty());
}

void TestSims2Pack::onlyUnreadableFilesThrow() {
    TestEnv env;
    for (const auto& [path, number] :
         {std::pair{env.work("missing.sims2pack"), ErrNo::FileNotFound},
          std::pair{env.workFolder(), ErrNo::PathFileAccess}}) {
        try {
            Inspect(path);
            QFAIL("no error");
        } catch (const RunTimeError& e) {
            QCOMPARE(e.Number(), number);
        }
    }
}

void TestSims2Pack::unpackWritesExactFiles() {
    TestEnv env;
    // Blocks of data cross the reading block size; one file has no MD5.
    const QList<Entry> entries{{"a"},
                               {"dir/B.package", Package(QByteArray((200 << 10) + 7, 'x'))},
                               {"c", Package("c"), "Object", {}, {}, "-"}};
    const QString path = env.writeFile(env.work("c.sims2pack"), Build(entries));
    const QString out = env.work("out/");
    const QString outside = env.writeFile(env.work("outside.package"), "keep");
    QDir().mkpath(out);
    QVERIFY(QFile::link(outside, out + "a.package"));

    const Inspection inspection = Inspect(path);
    QCOMPARE(inspection.refusal, "");
    QCOMPARE(Unpack(path, inspection.container, out),
             QStringList({out + "a.package", out + "B.package", out + "c.package"}));
    QCOMPARE(Names(out), QStringList({"B.package", "a.package", "c.package"}));
    for (int i = 0; i < entries.size(); ++i)
        QCOMPARE(Content(out + inspection.container.files[i].baseName), entries[i].data);
    // The link was replaced, not written through.
    QVERIFY(!QFileInfo(out + "a.package").isSymLink());
    QCOMPARE(Content(outside), QByteArray("keep"));
}

void TestSims2Pack::failedUnpackLeavesNothing_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("number");
    QTest::newRow("folder removed") << "folder removed" << ErrNo::PathFileAccess;
    QTest::newRow("folder locked") << "folder locked" << ErrNo::PermissionDenied;
    QTest::newRow("file too large") << "file too large" << ErrNo::PathFileAccess;
    // The container changed after it was inspected.
    QTest::newRow("container shortened") << "shortened" << ErrNo::InputPastEnd;
    QTest::newRow("data changed") << "changed" << ErrNo::PathFileAccess;
    // A listing from elsewhere is not trusted either.
    QTest::newRow("name leaving the folder") << "unsafe name" << ErrNo::PathFileAccess;
    QTest::newRow("offset beyond 64 bits") << "huge offset" << ErrNo::InputPastEnd;
}

void TestSims2Pack::failedUnpackLeavesNothing() {
    QFETCH(QString, damage);
    QFETCH(int, number);
    TestEnv env;
    const QByteArray big = Package(QByteArray(200 << 10, 'x'));
    const QByteArray file = Build({{"a"}, {"b", big}});
    const QString path = env.writeFile(env.work("c.sims2pack"), file);
    const QString out = env.work("out/");
    QDir().mkpath(out);
    Container c = Inspect(path).container;

    if (damage == "folder removed")
        QDir(out).removeRecursively();
    else if (damage == "shortened")
        env.writeFile(path, file.chopped(1));
    else if (damage == "changed")
        env.writeFile(path, file.chopped(1) + "?");
    else if (damage == "unsafe name")
        c.files[1].baseName = "../b.package";
    else if (damage == "huge offset")
        c.files[1].offset = std::numeric_limits<qint64>::max() - 1;
    std::optional<LockedFolder> locked;
    if (damage == "folder locked" && !locked.emplace(out).ok())
        QSKIP("folders cannot be locked here");
    std::optional<FileSizeLimit> limit;
    if (damage == "file too large")
        limit.emplace(64 << 10);
    try {
        Unpack(path, c, out);
        QFAIL("no error");
    } catch (const RunTimeError& e) {
        QCOMPARE(e.Number(), number);
    }
    limit.reset();
    locked.reset();
    // Not even the first, complete file stays; nothing lands beside the folder.
    QCOMPARE(Names(out), QStringList());
    QCOMPARE(Names(env.workFolder()), damage == "folder removed"
                                          ? QStringList{"c.sims2pack"}
                                          : QStringList({"c.sims2pack", "out"}));
}

QTEST_GUILESS_MAIN(TestSims2Pack)
#include "test_sims2pack.moc"
