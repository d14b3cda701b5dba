#include "windows/artwork.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    void shippedTextsAreUtf8WithCrLf_data();
    void shippedTextsAreUtf8WithCrLf();
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
    QCOMPARE(image.size(), size);
    // The pictures are plain 24-bit colour; the icons have see-through corners.
    QCOMPARE(image.hasAlphaChannel(), !opaque);
    QCOMPARE(qAlpha(image.pixel(0, 0)), opaque ? 255 : 0);
    QCOMPARE(ReadBytes(":/brushwick/" + name), ReadBytes(Source("assets/" + name)));
    const QList<QSize> iconSizes = AppIcon().availableSizes();
    QVERIFY(iconSizes.contains(QSize(32, 32)) && iconSizes.contains(QSize(256, 256)));
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
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    QVERIFY(!utf8.hasError());
    QVERIFY(!text.startsWith(QChar(0xFEFF)));
    QVERIFY(text.endsWith("\r\n"));
    // The readers would keep a lone LF inside a line.
    QString rest = text;
    rest.remove("\r\n");
    QVERIFY(!rest.contains('\r') && !rest.contains('\n'));
    if (file == "ChangeLog.txt") {
        QCOMPARE(ReadBytes(qEnvironmentVariable("BW_BIN") + "/ChangeLog.txt"), bytes);
        QVERIFY(text.contains("\r\n1.0 Build 2"));
    }
}

void TestArtworkAndFiles::installGivesAProgramFolderAndAMenuEntry() {
    QTemporaryDir root;
    // A blank and a dollar sign in the prefix: the menu entry must quote them.
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
    const QStringList entry =
        QString::fromUtf8(ReadBytes(prefix + "/share/applications/brushwick2.desktop")).split('\n');
    QString quoted = program;
    quoted.replace("$", "\\\\$");
    QVERIFY(entry.contains("Exec=\"" + quoted + "\" %F"));
    QVERIFY(entry.contains("Icon=brushwick2"));
    QVERIFY(entry.contains("Categories=Game;Utility;"));
}

QTEST_MAIN(TestArtworkAndFiles)
#include "test_artwork_and_files.moc"
