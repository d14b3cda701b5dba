#include "pipeline/download_folders.h"
#include "test_env.h"

#include <QtTest>

#include <filesystem>

using namespace DownloadFolders;

namespace {

// Rows list paths below the test's root, split at "|", with "~" for the fake
// home, "^" for a prefix's users folder, "%" for a user's base-game Downloads
// folder below Documents and "@" for bob's.
QStringList X(QString s) {
    s.replace("~", "home").replace("@", "^bob/%").replace("^", "/drive_c/users/");
    s.replace("%", "Documents/EA Games/The Sims 2/Downloads").replace("*", "EA Games/The Sims 2");
    return s.split('|', Qt::SkipEmptyParts);
}

// Tree items: "a/b" a folder, "file:a" a file, "link:a=b" a link a to b.
void Build(const TestEnv& env, const QStringList& tree) {
    const QString root = env.root() + "/";
    for (const QString& item : tree) {
        const QStringList ends = item.mid(5).split('=');
        QDir().mkpath(root + (item.contains(':') ? QFileInfo(ends[0]).path() : item));
        if (item.startsWith("file:"))
            env.writeFile(root + ends[0], "x");
        else if (item.startsWith("link:"))
            std::filesystem::create_symlink((root + ends[1]).toStdString(),
                                            (root + ends[0]).toStdString());
    }
}

void Row(const char* name, const QString& tree, const QString& winePrefix, const QString& documents,
         const QString& found, const QString& firstDocuments) {
    QTest::newRow(name) << X(tree) << X(winePrefix).value(0) << X(documents).value(0) << X(found)
                        << X(firstDocuments).value(0);
}

} // namespace

class TestDownloadFolders : public QObject {
    Q_OBJECT
private slots:
    void find_data();
    void find();
    void chosenFolder_data();
    void chosenFolder();
};

void TestDownloadFolders::find_data() {
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("winePrefix");
    QTest::addColumn<QString>("documents"); // given: Windows
    QTest::addColumn<QStringList>("found"); // "(new)" when still to be made
    QTest::addColumn<QString>("firstDocuments");

    QString tree, all;
    for (const QString& prefix :
         QString("custom|~/.wine|~/Games/lutris|~/.local/share/bottles/bottles/b|"
                 "~/.var/app/com.usebottles.bottles/data/bottles/bottles/b|"
                 "~/.PlayOnLinux/wineprefix/p|~/.cxoffice/c|"
                 "~/.steam/steam/steamapps/compatdata/10/pfx|"
                 "~/.local/share/Steam/steamapps/compatdata/20/pfx")
             .split('|')) {
        tree.prepend(prefix + "@|");
        all.append(prefix + "@|");
    }
    Row("every prefix kind, in order", tree, "custom", "", all, "custom^bob/Documents/");
    Row("no prefix, or deeper than looked",
        "~/Games/a/b@|~/.steam/steam/steamapps/compatdata/3@|~/%", "", "", "", "~/");
    Row("unreadable prefixes passed over",
        "link:~/Games/loop=~/Games/loop|link:~/Games/gone=nowhere|"
        "link:~/Games/h/drive_c/users=~/Games/h/drive_c/users|"
        "link:~/.wine^bob/Documents/EA Games=nowhere|~/Games/ok@",
        "nowhere", "", "~/Games/ok@", "~/.wine^bob/Documents/");
    Row("users by name, Public last, Documents kinds and cases",
        "~/.wine^zoe/%|~/.wine^Public/%|~/.wine^bob/My %|~/.wine@|"
        "~/.wine^al/documents/ea games/The Sims 2/DOWNLOADS",
        "", "",
        "~/.wine^al/documents/ea games/The Sims 2/DOWNLOADS|~/.wine@|~/.wine^bob/My %|"
        "~/.wine^zoe/%|~/.wine^Public/%",
        "~/.wine^al/documents/");
    Row("base game, then editions by name, before users",
        "~/.wine^al/Documents/* Ultimate/Downloads|~/.wine^al/Documents/* Deluxe/Downloads|"
        "~/.wine^al/Documents/EA Games/the sims 2/Downloads|"
        "~/.wine^al/Documents/EA Games/The Sims 3/Downloads|~/.wine@",
        "", "",
        "~/.wine@|~/.wine^al/Documents/* Deluxe/Downloads|"
        "~/.wine^al/Documents/* Ultimate/Downloads",
        "~/.wine^al/Documents/");
    Row("the game's name in other languages",
        "~/.wine^al/Documents/EA Games/Les Sims 2/Downloads|"
        "~/.wine^al/Documents/EA Games/Die Sims 2/Downloads",
        "", "",
        "~/.wine^al/Documents/EA Games/Die Sims 2/Downloads|"
        "~/.wine^al/Documents/EA Games/Les Sims 2/Downloads",
        "~/.wine^al/Documents/");
    Row("game folder without Downloads last",
        "~/.wine^bob/Documents/*/Neighborhoods|~/.wine^bob/Documents/* Deluxe|"
        "~/.wine^bob/Documents/* Ultimate/Neighborhoods|"
        "file:~/.wine^bob/Documents/* Ultimate/Downloads|~/Games/g@",
        "", "", "~/Games/g@|~/.wine@ (new)", "~/.wine^bob/Documents/");
    Row("the same folders through links and $WINEPREFIX = ~/.wine",
        "~/.wine@|~/.local/share/Steam/steamapps/compatdata/20/pfx@|"
        "link:~/.steam/steam=~/.local/share/Steam|~/Games/g^bob/Documents/EA Games|"
        "link:~/Games/g^bob/Documents/*=~/.wine^bob/Documents/*",
        "~/.wine/", "", "~/.wine@|~/.steam/steam/steamapps/compatdata/20/pfx@",
        "~/.wine^bob/Documents/");
    Row("$WINEPREFIX through a link", "~/.wine@|link:~/wp=~/.wine", "~/wp", "", "~/wp@",
        "~/wp^bob/Documents/");
    Row("Windows", "docs/* Ultimate/Neighborhoods|docs/*/Downloads|~/.wine@", "", "docs",
        "docs/*/Downloads|docs/* Ultimate/Downloads (new)", "docs/");
}

void TestDownloadFolders::find() {
    QFETCH(QStringList, tree);
    QFETCH(QString, winePrefix);
    QFETCH(QString, documents);
    QFETCH(QStringList, found);
    QFETCH(QString, firstDocuments);
    TestEnv env;
    Build(env, tree);
    const QString root = env.root() + "/";
    const Environment fake{root + "home", winePrefix.isEmpty() ? "" : root + winePrefix,
                           documents.isEmpty() ? "" : root + documents, !documents.isEmpty()};
    QStringList shown;
    for (const Candidate& c : Find(fake)) {
        // The folder is named below the prefix it was found under.
        QVERIFY(c.folder.endsWith('/'));
        QCOMPARE(c.prefix, documents.isEmpty() ? c.folder.left(c.folder.indexOf("/drive_c/") + 1)
                                               : QString());
        shown.append(c.folder.mid(root.size()).chopped(1) + (c.willBeCreated ? " (new)" : ""));
    }
    QCOMPARE(shown, found);
    QCOMPARE(FirstDocumentsFolder(fake), root + firstDocuments);
}

void TestDownloadFolders::chosenFolder_data() {
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<Doubt>("doubt");
    QTest::addColumn<bool>("made"); // by CreateDownloads
    const Doubt noGame = Doubt::NoGameFolderAbove;
    QTest::newRow("in a game folder")
        << X("g/Neighborhoods") << "g/Downloads/" << Doubt::None << true;
    QTest::newRow("there, other case, Teleport only")
        << X("g/Teleport|g/downloads") << "g/downloads" << Doubt::None << true;
    QTest::newRow("not named Downloads")
        << X("g/Neighborhoods") << "g/Other/" << Doubt::NotNamedDownloads << false;
    QTest::newRow("nothing of the game above") << X("x") << "x/Downloads" << noGame << true;
    QTest::newRow("files in the way")
        << X("file:g/Neighborhoods|file:g/Downloads") << "g/Downloads/" << noGame << false;
    QTest::newRow("game folder gone") << X("") << "gone/Downloads/" << noGame << false;
}

void TestDownloadFolders::chosenFolder() {
    QFETCH(QStringList, tree);
    QFETCH(QString, folder);
    QFETCH(Doubt, doubt);
    QFETCH(bool, made);
    TestEnv env;
    Build(env, tree);
    const QString path = env.root() + "/" + folder;
    QCOMPARE(Check(path), doubt);
    QCOMPARE(CreateDownloads({path, true, ""}), made);
    QCOMPARE(QFileInfo(path).isDir(), made);
    QVERIFY(!QFileInfo::exists(env.root() + "/gone")); // one folder, never a path
}

QTEST_GUILESS_MAIN(TestDownloadFolders)
#include "test_download_folders.moc"
