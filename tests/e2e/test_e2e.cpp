// Starts the real program with private folders and paths on its command line,
// then reads the download folder, the log and the stored settings.

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// A folder the program cannot write in: read-only for an ordinary user,
// immutable for root (whom permissions do not stop), where the machine
// allows it.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path) : path_(path) { ok_ = Set(true); }
    ~ReadOnlyFolder() {
        if (ok_)
            Set(false);
    }
    bool ok() const { return ok_; }

private:
    bool Set(bool on) {
        if (geteuid() != 0)
            return QFile::setPermissions(
                path_, QFile::ReadOwner | QFile::ExeOwner |
                           (on ? QFile::Permissions() : QFile::Permissions(QFile::WriteOwner)));
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0)
            ::close(fd);
        return done;
    }
    QString path_;
    bool ok_ = false;
};

class Installation {
public:
    Installation() {
        for (const char* sub : {"program/langs", "config", "cache", "runtime", "downloads", "in"})
            QDir().mkpath(root() + "/" + sub);
        QFile::setPermissions(root() + "/runtime",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // A program folder of its own, so the log beside the program is ours.
        const QString bin = qEnvironmentVariable("BW_BIN");
        QFile::copy(bin + "/brushwick2", program() + "/brushwick2");
        for (const QString& name : QDir(bin + "/langs").entryList(QDir::Files))
            QFile::copy(bin + "/langs/" + name, program() + "/langs/" + name);
    }
    ~Installation() {
        for (QProcess* p : running) {
            p->kill();
            p->waitForFinished();
            delete p;
        }
    }

    QString root() const { return dir.path(); }
    QString program() const { return root() + "/program"; }
    QString downloads() const { return root() + "/downloads/"; }
    QString in(const QString& name) const { return root() + "/in/" + name; }
    QString iniPath() const { return root() + "/config/Brushwick 2/Brushwick 2.ini"; }

    void store(const QMap<QString, QString>& values) const {
        QSettings ini(iniPath(), QSettings::IniFormat);
        for (auto it = values.begin(); it != values.end(); ++it)
            ini.setValue("Settings/" + it.key(), it.value());
    }
    QString stored(const QString& key) const {
        return QSettings(iniPath(), QSettings::IniFormat).value("Settings/" + key).toString();
    }

    void write(const QString& path, const QByteArray& content) const {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    QProcess* start(const QStringList& arguments) {
        auto* p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", root() + "/config");
        env.insert("XDG_CACHE_HOME", root() + "/cache");
        env.insert("XDG_RUNTIME_DIR", root() + "/runtime");
        env.insert("HOME", root());
        env.remove("XDG_STATE_HOME");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p->setProcessEnvironment(env);
        p->start(program() + "/brushwick2", arguments);
        running.append(p);
        return p;
    }

    QStringList log() const {
        QFile f(program() + "/Brushwick2.log");
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList messages;
        for (const QString& line : QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts))
            messages << line.mid(line.indexOf(" - ") + 3);
        return messages;
    }

    QTemporaryDir dir;
    QList<QProcess*> running;
};

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void commandLineInstallsAndWritesBack();
    void secondCopyRefuses();
    void archivesOnTheCommandLine();
    void installedCopyLogsInStateFolder();
    void secondStartHandsPathsOver();
};

void TestEndToEnd::commandLineInstallsAndWritesBack() {
    Installation inst;
    inst.store(
        {{"LangChoice", "lang.0eng.txt"}, {"LogLevel", "debug"}, {"SimsPath", inst.downloads()}});
    inst.write(inst.in("folder/a.package"), "package a");
    inst.write(inst.in("folder/sub/b.package"), "package b");
    inst.write(inst.in("folder/notes.txt"), "notes");
    inst.write(inst.in("single.package"), "single");

    inst.start({inst.in("folder"), inst.in("single.package")});
    QTRY_VERIFY_WITH_TIMEOUT(inst.log().contains("/CMD"), 20000);

    QCOMPARE(QFile(inst.downloads() + "a.package").size(), 9);
    QVERIFY(QFile::exists(inst.downloads() + "b.package"));
    QVERIFY(QFile::exists(inst.downloads() + "single.package"));
    QVERIFY(!QFile::exists(inst.downloads() + "notes.txt"));
    const QStringList log = inst.log();
    QCOMPARE(log.first(), QString("Brushwick 2 - 1.0 Build 2"));
    QVERIFY(log.contains("FOLDER: " + inst.in("folder")));
    QVERIFY(log.contains("UNHANDLED: " + inst.in("folder/notes.txt")));
    QVERIFY(log.contains("POSTINSTALL: 3 files installed"));
    QCOMPARE(inst.stored("ConfirmOverwrites"), QString("no"));
    QCOMPARE(inst.stored("SkipEXEs"), QString("no"));
    QCOMPARE(inst.stored("LogLevel"), QString("debug"));
}

void TestEndToEnd::secondCopyRefuses() {
    Installation inst;
    inst.store(
        {{"LangChoice", "lang.0eng.txt"}, {"LogLevel", "errors"}, {"SimsPath", inst.downloads()}});
    inst.start({});
    QTRY_VERIFY_WITH_TIMEOUT(inst.log().contains("Brushwick 2 - 1.0 Build 2"), 20000);
    inst.start({});
    QTRY_VERIFY_WITH_TIMEOUT(inst.log().join('\n').contains("CRITICAL: "), 20000);
    QCOMPARE(inst.running.first()->state(), QProcess::Running);
    // The refusal comes before the start-up line, so only the first copy wrote one.
    QCOMPARE(inst.log().count("Brushwick 2 - 1.0 Build 2"), 1);
}

void TestEndToEnd::archivesOnTheCommandLine() {
    Installation inst;
    inst.store({{"LangChoice", "lang.0eng.txt"},
                {"LogLevel", "debug"},
                {"SimsPath", inst.downloads()},
                {"BadZipAlertBox", "no"}});
    QProcess zip;
    zip.setWorkingDirectory(inst.root() + "/in");
    inst.write(inst.in("pkg/hair.package"), "hair");
    inst.write(inst.in("pkg/deep/dress.package"), "dress");
    zip.start("zip", {"-qr", "bundle.zip", "pkg"});
    QVERIFY(zip.waitForFinished());
    QCOMPARE(zip.exitCode(), 0);
    inst.write(inst.in("broken.zip"), "this is no archive");

    inst.start({inst.in("bundle.zip"), inst.in("broken.zip")});
    QTRY_VERIFY_WITH_TIMEOUT(inst.log().contains("/CMD"), 20000);
    QVERIFY(QFile::exists(inst.downloads() + "hair.package"));
    QVERIFY(QFile::exists(inst.downloads() + "dress.package"));
    const QStringList log = inst.log();
    QVERIFY(log.contains("BAD ZIP: " + inst.in("broken.zip")));
    QVERIFY(log.contains("POSTINSTALL: 2 files installed"));
    // Both archives were unpacked into folders of their own under the private
    // temporary root, and nowhere else; the folders went with their archives.
    QCOMPARE(log.filter(QRegularExpression("^MAKETEMP: .*/temp/brushwick/voriderud\\d+d/$")).size(),
             2);
    const QDir temp(inst.root() + "/cache/brushwick2/temp/brushwick");
    QCOMPARE(temp.entryList({"voriderud*d"}, QDir::Dirs), QStringList());
    QCOMPARE(QDir(inst.root() + "/in").entryList(QDir::Files),
             QStringList({"broken.zip", "bundle.zip"}));
}

void TestEndToEnd::installedCopyLogsInStateFolder() {
    Installation inst;
    inst.store({{"LangChoice", "lang.0eng.txt"}, {"SimsPath", inst.downloads()}});
    inst.write(inst.in("a.package"), "a");
    // A copy installed for the whole system: its folder is not the player's
    // to write (root is kept out by the immutable flag).
    ReadOnlyFolder lock(inst.program());
    if (!lock.ok())
        QSKIP("the program folder cannot be made unwritable here; the log's own test covers it");
    inst.start({inst.in("a.package")});
    const QString log = inst.root() + "/.local/state/brushwick2/Brushwick2.log";
    QTRY_VERIFY_WITH_TIMEOUT(QFile(log).size() > 0, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(inst.downloads() + "a.package"), 20000);
    QVERIFY(!QFile::exists(inst.program() + "/Brushwick2.log"));
}

void TestEndToEnd::secondStartHandsPathsOver() {
    Installation inst;
    inst.store(
        {{"LangChoice", "lang.0eng.txt"}, {"LogLevel", "debug"}, {"SimsPath", inst.downloads()}});
    QProcess* first = inst.start({});
    QTRY_VERIFY_WITH_TIMEOUT(inst.log().contains("Brushwick 2 - 1.0 Build 2"), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(inst.root() + "/runtime/brushwick2.socket"), 20000);

    // "Open with" on the running copy: a second start with files.
    inst.write(inst.in("a.package"), "a");
    inst.write(inst.in("folder/b.package"), "b");
    QProcess* second = inst.start({inst.in("a.package"), inst.in("folder")});
    QVERIFY(second->waitForFinished(20000));
    QCOMPARE(second->exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(inst.downloads() + "b.package"), 20000);
    QVERIFY(QFile::exists(inst.downloads() + "a.package"));
    QVERIFY(inst.log().contains("HANDOFF: 2"));
    QVERIFY(!inst.log().join('\n').contains("CRITICAL: "));

    // Anything else on the socket is refused and logged.
    QLocalSocket junk;
    junk.connectToServer(inst.root() + "/runtime/brushwick2.socket");
    QVERIFY(junk.waitForConnected(5000));
    junk.write("GET / HTTP/1.0\r\n\r\n");
    junk.waitForBytesWritten(5000);
    junk.disconnectFromServer();
    QLocalSocket relative;
    relative.connectToServer(inst.root() + "/runtime/brushwick2.socket");
    QVERIFY(relative.waitForConnected(5000));
    relative.write(QByteArray("BRUSHWICK2 PATHS\nin/a.package\0", 30));
    relative.waitForBytesWritten(5000);
    relative.disconnectFromServer();
    QTRY_VERIFY_WITH_TIMEOUT(
        inst.log().contains("HANDOFF: refused a message that is no list of paths"), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(inst.log().contains("HANDOFF: refused in/a.package"), 20000);
    QCOMPARE(first->state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "test_e2e.moc"
