#include "windows/artwork.h"

#include <QtTest>

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString Source = qEnvironmentVariable("BW_SOURCE") + "/";

} // namespace

class TestArtworkAndFiles : public QObject {
    Q_OBJECT
private slots:
    void picturesAreCompiledIn();
    void shippedTextsAreUtf8WithCrLf();
    void installGivesAProgramFolderAndAMenuEntry();
};

void TestArtworkAndFiles::picturesAreCompiledIn() {
    QCOMPARE(RidIvidPicture().size(), QSize(383, 169));
    QCOMPARE(SplashPicture().size(), QSize(383, 169));
    QCOMPARE(AppIcon().availableSizes(), (QList<QSize>{QSize(32, 32), QSize(256, 256)}));
    QVERIFY(!HelpIcon().pixmap(32).isNull() && !OkIcon().pixmap(32).isNull());
}

void TestArtworkAndFiles::shippedTextsAreUtf8WithCrLf() {
    QStringList files{"ChangeLog.txt"};
    for (const QString& name : QDir(Source + "langs").entryList({"readme.*"}))
        files << "langs/" + name;
    // A read-me for each of the seven packs and the fallback one.
    QCOMPARE(files.size(), 9);
    for (const QString& file : files) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString text = utf8.decode(ReadBytes(Source + file));
        // The readers would keep a lone line feed inside a line.
        const bool crLf =
            text.endsWith("\r\n") && !text.remove("\r\n").contains(QRegularExpression("[\r\n]"));
        QVERIFY2(!utf8.hasError() && crLf, qPrintable(file));
    }
    // The change log menu entry reads it beside the program.
    QCOMPARE(ReadBytes(qEnvironmentVariable("BW_BIN") + "/ChangeLog.txt"),
             ReadBytes(Source + "ChangeLog.txt"));
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
             ReadBytes(Source + "ChangeLog.txt"));
    QCOMPARE(ReadBytes(prefix + "/share/icons/hicolor/256x256/apps/brushwick2.png"),
             ReadBytes(Source + "assets/icon256.png"));
    const QStringList entry =
        QString::fromUtf8(ReadBytes(prefix + "/share/applications/brushwick2.desktop")).split('\n');
    QString quoted = program;
    quoted.replace("$", "\\\\$");
    QVERIFY(entry.contains("Exec=\"" + quoted + "\" %F"));
    QVERIFY(entry.contains("Icon=brushwick2"));
}

QTEST_MAIN(TestArtworkAndFiles)
#include "test_artwork_and_files.moc"
