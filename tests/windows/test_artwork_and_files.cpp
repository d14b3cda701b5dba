#include "windows/artwork.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString Source(const QString& relative) {
    return qEnvironmentVariable("BW_SOURCE") + "/" + relative;
}

} // namespace

class TestArtworkAndFiles : public QObject {
    Q_OBJECT
private slots:
    void picturesAreCompiledIn_data();
    void picturesAreCompiledIn();
    void iconsOfferBothSizes();
    void shippedTextsAreUtf8WithCrLf_data();
    void shippedTextsAreUtf8WithCrLf();
    void readmesTellWhereThingsLive_data();
    void readmesTellWhereThingsLive();
    void changeLogSitsBesideTheProgram();
    void installGivesAProgramFolderAndAMenuEntry();
};

void TestArtworkAndFiles::picturesAreCompiledIn_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("opaque");
    QTest::newRow("drop picture") << "ridivid.png" << QSize(383, 169) << true;
    QTest::newRow("splash") << "splash.png" << QSize(383, 169) << true;
    QTest::newRow("icon") << "icon.png" << QSize(32, 32) << false;
    QTest::newRow("desktop icon") << "icon256.png" << QSize(256, 256) << false;
    QTest::newRow("help button") << "help.png" << QSize(32, 32) << false;
    QTest::newRow("OK button") << "ok.png" << QSize(32, 32) << false;
}

void TestArtworkAndFiles::picturesAreCompiledIn() {
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(bool, opaque);
    InitArtwork();
    InitArtwork();
    const QImage image(":/brushwick/" + name);
    QVERIFY2(!image.isNull(), qPrintable(name));
    QCOMPARE(image.size(), size);
    // The pictures are plain 24-bit colour; the icons have see-through corners.
    QCOMPARE(!image.hasAlphaChannel(), opaque);
    if (!opaque)
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    // The committed file is the one compiled in.
    QCOMPARE(ReadBytes(":/brushwick/" + name), ReadBytes(Source("assets/" + name)));
}

void TestArtworkAndFiles::iconsOfferBothSizes() {
    const QList<QSize> sizes = AppIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(32, 32)));
    QVERIFY(sizes.contains(QSize(256, 256)));
    QCOMPARE(RidIvidPicture().size(), QSize(383, 169));
    QCOMPARE(SplashPicture().size(), QSize(383, 169));
    QVERIFY(!HelpIcon().pixmap(32).isNull());
    QVERIFY(!OkIcon().pixmap(32).isNull());
}

void TestArtworkAndFiles::shippedTextsAreUtf8WithCrLf_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("change log") << "ChangeLog.txt";
    for (const char* name : {"readme.lang.0eng.txt", "readme.lang.1deu.txt", "readme.lang.2fra.txt",
                             "readme.lang.eng0.txt"})
        QTest::newRow(name) << QString("langs/") + name;
}

void TestArtworkAndFiles::shippedTextsAreUtf8WithCrLf() {
    QFETCH(QString, file);
    const QByteArray bytes = ReadBytes(Source(file));
    QVERIFY(!bytes.isEmpty());
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    QVERIFY(!utf8.hasError());
    QVERIFY(!text.startsWith(QChar(0xFEFF)));
    QVERIFY(text.endsWith("\r\n"));
    // Lines end in CR LF and nowhere else in CR or LF alone: the readers
    // would keep a lone LF inside a line.
    QString rest = text;
    rest.remove("\r\n");
    QVERIFY(!rest.contains('\r'));
    QVERIFY(!rest.contains('\n'));
}

void TestArtworkAndFiles::readmesTellWhereThingsLive_data() {
    QTest::addColumn<QString>("file");
    for (const char* name : {"readme.lang.0eng.txt", "readme.lang.1deu.txt", "readme.lang.2fra.txt",
                             "readme.lang.eng0.txt"})
        QTest::newRow(name) << QString("langs/") + name;
}

void TestArtworkAndFiles::readmesTellWhereThingsLive() {
    QFETCH(QString, file);
    const QString text = QString::fromUtf8(ReadBytes(Source(file)));
    for (const char* fact :
         {".package", ".sims2pack", ".zip", ".rar", ".exe", "SimsPath", "BadZipAlertBox",
          "LogLevel", "ConfirmOverwrites", "SkipEXEs", "LangChoice", "Brushwick2.log",
          "$XDG_CONFIG_HOME/Brushwick 2/Brushwick 2.ini", "~/.config/Brushwick 2/Brushwick 2.ini",
          "$XDG_CACHE_HOME/brushwick2/temp/brushwick/", "~/.cache/brushwick2/temp/brushwick/",
          "Debug (Not Recommended)"})
        QVERIFY2(text.contains(QLatin1String(fact)), fact);
}

void TestArtworkAndFiles::changeLogSitsBesideTheProgram() {
    const QByteArray shipped = ReadBytes(Source("ChangeLog.txt"));
    QCOMPARE(ReadBytes(qEnvironmentVariable("BW_BIN") + "/ChangeLog.txt"), shipped);
    // The history starts with the first release.
    const QList<QByteArray> lines = shipped.split('\n');
    const auto entry = std::find_if(lines.begin(), lines.end(),
                                    [](const QByteArray& line) { return line.startsWith("1."); });
    QVERIFY(entry != lines.end());
    QVERIFY(entry->startsWith("1.0 Build 2"));
}

void TestArtworkAndFiles::installGivesAProgramFolderAndAMenuEntry() {
    QTemporaryDir root;
    // A prefix with a blank and a dollar sign: the menu entry must quote them.
    const QString prefix = root.path() + "/my $apps";
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(BW_CMAKE_COMMAND, {"--install", BW_BUILD_DIR, "--prefix", prefix});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());

    const QString program = prefix + "/lib/brushwick2/brushwick2";
    QVERIFY(QFileInfo(program).isExecutable());
    QCOMPARE(ReadBytes(prefix + "/lib/brushwick2/ChangeLog.txt"),
             ReadBytes(Source("ChangeLog.txt")));
    QCOMPARE(ReadBytes(prefix + "/share/icons/hicolor/256x256/apps/brushwick2.png"),
             ReadBytes(Source("assets/icon256.png")));

    const QString entry =
        QString::fromUtf8(ReadBytes(prefix + "/share/applications/brushwick2.desktop"));
    const QStringList lines = entry.split('\n');
    QVERIFY(lines.startsWith("[Desktop Entry]"));
    QString quoted = program;
    quoted.replace("$", "\\\\$");
    QVERIFY2(lines.contains("Exec=\"" + quoted + "\" %F"), qPrintable(entry));
    QVERIFY(lines.contains("Icon=brushwick2"));
    QVERIFY(lines.contains("Categories=Game;Utility;"));
    QVERIFY(lines.contains("Type=Application"));
}

QTEST_MAIN(TestArtworkAndFiles)
#include "test_artwork_and_files.moc"
