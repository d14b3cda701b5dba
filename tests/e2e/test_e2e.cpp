// Starts the real program with private folders and paths on its command line,
// then reads the download folder, the log and the stored settings.

#include "test_env.h"

#include <QLocalSocket>
#include <QtTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Makes a folder unwritable for the program, or writable again: read-only for
// an ordinary user, immutable for root (whom permissions do not stop), where
// the machine allows it.
bool SetReadOnly(const QString& path, bool on) {
    if (geteuid() != 0)
        return QFile::setPermissions(
            path, QFile::ReadOwner | QFile::ExeOwner |
                      (on ? QFile::Permissions() : QFile::Permissions(QFile::WriteOwner)));
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        ::close(fd);
    return done;
}

// The program copied into a folder of its own, so the log beside it is ours;
// the started copies share this process's private XDG folders and home.
class Installation : public TestEnv {
public:
    Installation() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        const QString bin = qEnvironmentVariable("BW_BIN");
        QFile::copy(bin + "/brushwick2", programFolder() + "/brushwick2");
        QDir().mkpath(programFolder() + "/langs");
        for (const QString& name : QDir(bin + "/langs").entryList(QDir::Files))
            QFile::copy(bin + "/langs/" + name, programFolder() + "/langs/" + name);
        writeFile(iniPath(), "[Settings]\nLangChoice=lang.0eng.txt\nLogLevel=debug\n"
                             "BadZipAlertBox=no\nSimsPath=" +
                                 downloads().toUtf8() + "\n");
    }
    ~Installation() {
        for (QProcess* p : running) {
            p->kill();
            p->waitForFinished();
            delete p;
        }
    }

    QString downloads() const { return downloadFolder() + "/"; }
    QString iniPath() const { return root() + "/config/Brushwick 2/Brushwick 2.ini"; }
    QString socket() const { return root() + "/runtime/brushwick2.socket"; }
    QString stored(const QString& key) const {
        return QSettings(iniPath(), QSettings::IniFormat).value("Settings/" + key).toString();
    }

    QProcess* start(const QStringList& arguments) {
        auto* p = new QProcess;
        p->start(programFolder() + "/brushwick2", arguments);
        running.append(p);
        return p;
    }

    QList<QProcess*> running;
};

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void commandLineInstallsAndWritesBack();
    void installedCopyLogsInStateFolder();
    void secondStart();
};

void TestEndToEnd::commandLineInstallsAndWritesBack() {
    Installation inst;
    inst.writeFile(inst.work("folder/a.package"), "package a");
    inst.writeFile(inst.work("folder/sub/b.package"), "package b");
    inst.writeFile(inst.work("folder/notes.txt"), "notes");
    inst.writeFile(inst.work("single.package"), "single");
    inst.writeFile(inst.work("pkg/hair.package"), "hair");
    inst.writeFile(inst.work("pkg/deep/dress.package"), "dress");
    QProcess zip;
    zip.setWorkingDirectory(inst.workFolder());
    zip.start("zip", {"-qr", "bundle.zip", "pkg"});
    QVERIFY(zip.waitForFinished());
    inst.writeFile(inst.work("broken.zip"), "this is no archive");

    inst.start({inst.work("folder"), inst.work("single.package"), inst.work("bundle.zip"),
                inst.work("broken.zip")});
    QTRY_VERIFY_WITH_TIMEOUT(inst.logMessages().contains("/CMD"), 20000);

    QCOMPARE(
        QDir(inst.downloads()).entryList(QDir::Files),
        QStringList({"a.package", "b.package", "dress.package", "hair.package", "single.package"}));
    QCOMPARE(QFile(inst.downloads() + "a.package").size(), 9);
    const QStringList log = inst.logMessages();
    QCOMPARE(log.first(), QString("Brushwick 2 - 1.0 Build 2"));
    QVERIFY(log.contains("FOLDER: " + inst.work("folder")));
    QVERIFY(log.contains("UNHANDLED: " + inst.work("folder/notes.txt")));
    QVERIFY(log.contains("BAD ZIP: " + inst.work("broken.zip")));
    QVERIFY(log.contains("POSTINSTALL: 5 files installed"));
    QCOMPARE(inst.stored("ConfirmOverwrites"), QString("no"));
    QCOMPARE(inst.stored("SkipEXEs"), QString("no"));
    QCOMPARE(inst.stored("LogLevel"), QString("debug"));
    // Both archives were unpacked into folders of their own under the private
    // temporary root, and nowhere else; the folders went with their archives.
    QCOMPARE(log.filter(QRegularExpression("^MAKETEMP: .*/temp/brushwick/voriderud\\d+d/$")).size(),
             2);
    const QDir temp(inst.root() + "/cache/brushwick2/temp/brushwick");
    QCOMPARE(temp.entryList({"voriderud*d"}, QDir::Dirs), QStringList());
    QCOMPARE(QDir(inst.workFolder()).entryList(QDir::Files),
             QStringList({"broken.zip", "bundle.zip", "single.package"}));
}

void TestEndToEnd::installedCopyLogsInStateFolder() {
    Installation inst;
    inst.writeFile(inst.work("a.package"), "a");
    // A copy installed for the whole system: its folder is not the player's
    // to write. Without XDG_STATE_HOME the log goes below the home folder.
    qunsetenv("XDG_STATE_HOME");
    if (!SetReadOnly(inst.programFolder(), true))
        QSKIP("the program folder cannot be made unwritable here; the log's own test covers it");
    const auto unlock = qScopeGuard([&] { SetReadOnly(inst.programFolder(), false); });
    inst.start({inst.work("a.package")});
    const QString log = inst.root() + "/home/.local/state/brushwick2/Brushwick2.log";
    QTRY_VERIFY_WITH_TIMEOUT(QFile(log).size() > 0, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(inst.downloads() + "a.package"), 20000);
    QVERIFY(!QFile::exists(inst.logPath()));
}

void TestEndToEnd::secondStart() {
    Installation inst;
    QProcess* first = inst.start({});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(inst.socket()), 20000);

    // "Open with" on the running copy: a second start with files.
    inst.writeFile(inst.work("a.package"), "a");
    inst.writeFile(inst.work("folder/b.package"), "b");
    QProcess* second = inst.start({inst.work("a.package"), inst.work("folder")});
    QVERIFY(second->waitForFinished(20000));
    QCOMPARE(second->exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(inst.downloads() + "b.package"), 20000);
    QVERIFY(QFile::exists(inst.downloads() + "a.package"));
    QVERIFY(inst.logMessages().contains("HANDOFF: 2"));
    QVERIFY(!inst.logMessages().join('\n').contains("CRITICAL: "));

    // Anything else on the socket is refused and logged.
    for (const QByteArray& message : {QByteArray("GET / HTTP/1.0\r\n\r\n"),
                                      QByteArray("BRUSHWICK2 PATHS\nin/a.package\0", 30)}) {
        QLocalSocket junk;
        junk.connectToServer(inst.socket());
        QVERIFY(junk.waitForConnected(5000));
        junk.write(message);
        junk.waitForBytesWritten(5000);
        junk.disconnectFromServer();
    }
    QTRY_VERIFY_WITH_TIMEOUT(
        inst.logMessages().contains("HANDOFF: refused a message that is no list of paths"), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(inst.logMessages().contains("HANDOFF: refused in/a.package"), 20000);

    // A second start without files is refused; the refusal comes before the
    // start-up line, so only the first copy wrote one.
    inst.start({});
    QTRY_VERIFY_WITH_TIMEOUT(inst.logMessages().join('\n').contains("CRITICAL: "), 20000);
    QCOMPARE(inst.logMessages().count("Brushwick 2 - 1.0 Build 2"), 1);
    QCOMPARE(first->state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "test_e2e.moc"
