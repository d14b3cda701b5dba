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
#include <optional>
#include <sys/resource.h>

using namespace Sims2Pack;

namespace {

const QByteArray Magic = "Sims2 Packager 1.0";
constexpr int HeaderSize = 22;

QByteArray Package(const QByteArray& rest = "data") {
    return "DBPF" + rest;
}

QByteArray Md5(const QByteArray& data) {
    return QCryptographicHash::hash(data, QCryptographicHash::Md5);
}

// One packaged file of type Object; name goes into the XML as it is, so
// escapes and CDATA can be written.
struct Entry {
    QString name;
    QByteArray data = Package();
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

// count packages of four bytes each, named by number.
QByteArray Many(int count) {
    QList<Entry> entries;
    for (int i = 0; i < count; ++i)
        entries.append({QString::number(i), "DBPF"});
    return Build(entries);
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
    void accepted_data();
    void accepted();
    void refused_data();
    void refused();
    void onlyUnreadableFilesThrow();
    void unpackWritesExactFiles();
    void failedUnpackLeavesNothing_data();
    void failedUnpackLeavesNothing();
};

void TestSims2Pack::accepted_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("baseNames");
    const QStringList a{"a.package"};
    QStringList allowed;
    for (int i = 0; i < MaxPackagedFiles; ++i)
        allowed.append(QString::number(i) + ".package");
    const struct {
        const char* row;
        QByteArray file;
        QStringList baseNames;
    } rows[] = {
        {"type in any case", Build({{"a"}}, "Type", "oBjEcT"), a},
        {"wrapped",
         Wrap(Xml({{"a"}, {"b"}}, true), Package() + Package()),
         {"a.package", "b.package"}},
        {"names reduced, ending added",
         Build({{"x"}, {"dir/sub\\Y.PACKAGE"}, {"  spaced.package "}}),
         {"x.package", "Y.PACKAGE", "spaced.package"}},
        {"escaped and CDATA names",
         Build({{"a &amp; b"}, {"<![CDATA[c & d]]>"}, {"&#233;t&#xE9;"}}),
         {"a & b.package", "c & d.package", "été.package"}},
        {"empty MD5", Build({{"a"}}, "Crc", ""), a},
        {"upper-case MD5", Build({{"a"}}, "Crc", Md5(Package()).toHex().toUpper()), a},
        {"as many files as allowed", Many(MaxPackagedFiles), allowed},
    };
    for (const auto& r : rows)
        QTest::newRow(r.row) << r.file << r.baseNames;
}

void TestSims2Pack::accepted() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, baseNames);
    TestEnv env;
    const Inspection inspection = Inspect(env.writeFile(env.work("c.sims2pack"), file));
    QCOMPARE(inspection.refusal, "");
    QStringList found;
    for (const PackagedFile& f : inspection.container.files)
        found.append(f.baseName);
    QCOMPARE(found, baseNames);
}

void TestSims2Pack::refused_data() {
    QTest::addColumn<QByteArray>("file");
    // The whole refusal; one ending in "..." is the start of it.
    QTest::addColumn<QString>("refusal");
    const QByteArray one = Build({{"a"}});
    const QString top = QString::number(std::numeric_limits<qint64>::max());
    const QString deep =
        QString("<i>").repeated(MaxXmlDepth) + QString("</i>").repeated(MaxXmlDepth);
    // Entities could make the list huge or reach outside; no DTD is read.
    QString laughs = "<!DOCTYPE Sims2Package [<!ENTITY l0 \"ha\">";
    for (int i = 1; i < 30; ++i)
        laughs += QString("<!ENTITY l%1 \"&l%2;&l%2;&l%2;&l%2;\">").arg(i).arg(i - 1);
    const QString outside = "<!DOCTYPE Sims2Package [<!ENTITY x SYSTEM \"file:///etc/passwd\">";
    const QString notContainer = "not a Sims2Pack container", dtd = "XML declares a DTD";
    const QString broken = "XML is not well formed: ...";
    const struct {
        const char* row;
        QByteArray file;
        QString refusal;
    } rows[] = {
        // Other kinds of content, and compressed packs, are the game installer's.
        {"sim among objects", Build({{"a"}, {"b"}}, "Type", "Sim"), "type Sim is not Object"},
        {"no type", Build({{"a"}}, "Type", "-"), "type (none) is not Object"},
        {"compressed", Wrap(Xml({{"a"}}), {}, "Sims2 Packager 1.1"), "compressed container"},
        {"compressed, short", "Sims2 Packager 2.1", "compressed container"},
        {"wrong magic", "Sims2 Packager 1.2" + one.mid(Magic.size()), notContainer},
        {"too short", one.left(HeaderSize - 1), notContainer},
        {"empty", "", notContainer},
        // Where the data starts.
        {"data start in the header", WithDataStart(one, HeaderSize - 1),
         "data start inside the header"},
        {"data start past the end", WithDataStart(one, one.size() + 1),
         "data start outside the file"},
        {"XML just too large", WithDataStart(one, HeaderSize + MaxXmlBytes + 1), "XML too large"},
        {"largest data start", WithDataStart(one, 0xFFFFFFFFu), "XML too large"},
        // Numbers and data.
        {"offset past the end", Build({{"a"}}, "Offset", "9"),
         "offset outside the file: a.package"},
        {"largest offset", Build({{"a"}}, "Offset", top), "offset outside the file: a.package"},
        {"largest length", Build({{"a"}}, "Length", top), "length outside the file: a.package"},
        {"truncated", Build({{"a"}, {"b"}}).chopped(1), "length outside the file: b.package"},
        {"length beyond 64 bits", Build({{"a"}}, "Length", top + "0"), "bad length for a.package"},
        {"negative length", Build({{"a"}}, "Length", "-1"), "bad length for a.package"},
        {"no length", Build({{"a"}}, "Length", "-"), "bad length for a.package"},
        {"negative offset", Build({{"a"}}, "Offset", "-1"), "bad offset for a.package"},
        {"MD5 not hex", Build({{"a"}}, "Crc", QString(32, 'g')), "bad MD5 for a.package"},
        {"wrong MD5", Build({{"a"}}, "Crc", QString(32, '0')), "MD5 does not match for a.package"},
        {"not a game package", Build({{"a", "DBPx"}}), "not a game package: a.package"},
        {"shorter than the magic", Build({{"a", "DBP"}}), "not a game package: a.package"},
        {"data shared", Build({{"a"}, {"b"}}, "Offset", "1"), "data overlaps: b.package"},
        // Names; also never a line break into the log.
        {"names repeat once reduced", Build({{"a/x.package"}, {"b\\X.Package"}}),
         "names repeat: X.Package"},
        {"names repeat once ended", Build({{"x"}, {"x.package"}}), "names repeat: x.package"},
        {"control characters in a name", Build({{"a&#9;b&#10;c"}}), "unusable name: a?b?c"},
        // The XML.
        {"mismatched tags", Build({{"a<b>"}}), broken},
        {"undeclared entity", Build({{"&eacute;"}}), broken},
        {"no XML", Wrap(""), broken},
        {"other root", Wrap("<Sims3Package/>"), "XML root is not Sims2Package"},
        {"name given twice", Build({{"x</Name><Name>y"}}), "Name repeats in a packaged file"},
        {"nested too deeply", Build({{"a"}}, "Description", deep), "XML nested too deeply"},
        {"no packaged files", Build({}), "no packaged files"},
        {"too many packaged files", Many(MaxPackagedFiles + 1), "too many packaged files"},
        {"entity expansion", Wrap(laughs + "]>" + Xml({{"&l29;"}})), dtd},
        {"external entity", Wrap(outside + "]>" + Xml({{"&x;"}})), dtd},
        {"plain DTD", Wrap("<!DOCTYPE Sims2Package>" + Xml({{"a"}})), dtd},
    };
    for (const auto& r : rows)
        QTest::newRow(r.row) << r.file << r.refusal;
    for (const char* name : {"", ".", "..", "dir/", "a\\.. "})
        QTest::newRow(qPrintable(QString("unusable name \"%1\"").arg(name)))
            << Build({{name}}) << QString("unusable name: ") + name;
}

void TestSims2Pack::refused() {
    QFETCH(QByteArray, file);
    QFETCH(QString, refusal);
    TestEnv env;
    const QString found = Inspect(env.writeFile(env.work("c.sims2pack"), file)).refusal;
    if (!refusal.endsWith("..."))
        QCOMPARE(found, refusal);
    else
        QVERIFY2(found.startsWith(refusal.chopped(3)) && found.size() > refusal.size(),
                 qPrintable(found));
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
    // The data crosses reading blocks; one file has no MD5.
    const QList<Entry> entries{
        {"a"}, {"dir/B.package", Package(QByteArray((200 << 10) + 7, 'x'))}, {"c", Package("c")}};
    const QString path = env.writeFile(env.work("c.sims2pack"), Build(entries, "Crc", "-"));
    const QString out = env.work("out/");
    const QString outside = env.writeFile(env.work("outside.package"), "keep");
    QDir().mkpath(out);
    QVERIFY(QFile::link(outside, out + "a.package"));

    const Inspection inspection = Inspect(path);
    QCOMPARE(inspection.refusal, "");
    const Container& c = inspection.container;
    QCOMPARE(c.gameVersion, "1.0.0.1");
    // The data follows the XML directly.
    QCOMPARE(c.dataStart,
             QFileInfo(path).size() - (entries[0].data + entries[1].data + entries[2].data).size());
    QCOMPARE(c.files[1].offset, entries[0].data.size());
    QCOMPARE(c.files[0].md5, Md5(entries[0].data));
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
    QTest::addColumn<int>("number");
    QTest::newRow("folder removed") << ErrNo::PathFileAccess;
    QTest::newRow("file too large") << ErrNo::PathFileAccess;
    // The container changed after it was inspected.
    QTest::newRow("container shortened") << ErrNo::InputPastEnd;
    QTest::newRow("data changed") << ErrNo::PathFileAccess;
    // A listing from elsewhere is not trusted either.
    QTest::newRow("name leaving the folder") << ErrNo::PathFileAccess;
    QTest::newRow("offset beyond 64 bits") << ErrNo::InputPastEnd;
}

void TestSims2Pack::failedUnpackLeavesNothing() {
    QFETCH(int, number);
    const QByteArray damage = QTest::currentDataTag();
    TestEnv env;
    const QByteArray big = Package(QByteArray(200 << 10, 'x'));
    const QByteArray file = Build({{"a"}, {"b", big}});
    const QString path = env.writeFile(env.work("c.sims2pack"), file);
    const QString out = env.work("out/");
    QDir().mkpath(out);
    Container c = Inspect(path).container;

    if (damage == "folder removed")
        QDir(out).removeRecursively();
    else if (damage == "container shortened")
        env.writeFile(path, file.chopped(1));
    else if (damage == "data changed")
        env.writeFile(path, file.chopped(1) + "?");
    else if (damage == "name leaving the folder")
        c.files[1].baseName = "../b.package";
    else if (damage == "offset beyond 64 bits")
        c.files[1].offset = std::numeric_limits<qint64>::max() - 1;
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
    // Not even the first, complete file stays; nothing lands beside the folder.
    QCOMPARE(Names(out), QStringList());
    QCOMPARE(Names(env.workFolder()), damage == "folder removed"
                                          ? QStringList{"c.sims2pack"}
                                          : QStringList({"c.sims2pack", "out"}));
}

QTEST_GUILESS_MAIN(TestSims2Pack)
#include "test_sims2pack.moc"
