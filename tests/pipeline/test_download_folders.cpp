#include "pipeline/download_folders.h"
#include "test_env.h"

#include <QtTest>

#include <filesystem>

using namespace FileOps::DownloadFolders;

namespace {

// Rows list paths below the test's root, split at "|", with "~" for the fake
// home, "^" for a prefix's users folder, "!" for ~/.wine's, "*" for the base
// game's folder below Documents, "%" for its Downloads folder and "@" for
// bob's.
QStringList X(QString s) {
    s.replace("!", "~/.wine^").replace("~", "home").replace("@", "^bob/%");
    s.replace("^", "/drive_c/users/").replace("*", "EA Games/The Sims 2");
    s.replace("%", "Documents/EA Games/The Sims 2/Downloads");
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

// A home searched: its tree; the folders found, "(new)" when still to be
// made; where a chooser opens; $WINEPREFIX; the Documents folder, given on
// Windows only.
struct Search {
    QString tree, found, firstDocuments, winePrefix = {}, documents = {};
};

// A chosen folder: the tree around it, the doubt about it, and whether
// CreateDownloads has it there afterwards.
struct Chosen {
    QString tree, folder;
    Doubt doubt;
    bool made;
};

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
    QTest::addColumn<Search>("s");
    const QString all = "custom@|~/.wine@|~/Games/lutris@|~/.local/share/bottles/bottles/b@|"
                        "~/.var/app/com.usebottles.bottles/data/bottles/bottles/b@|"
                        "~/.PlayOnLinux/wineprefix/p@|~/.cxoffice/c@|"
                        "~/.steam/steam/steamapps/compatdata/10/pfx@|"
                        "~/.local/share/Steam/steamapps/compatdata/20/pfx@";
    // In this order.
    QTest::newRow("every prefix kind") << Search{all, all, "custom^bob/Documents/", "custom"};
    QTest::newRow("unreadable prefixes, or deeper than looked, passed over")
        << Search{"link:~/Games/loop=~/Games/loop|link:~/Games/gone=nowhere|~/Games/a/b@|~/%|"
                  "link:~/Games/h/drive_c/users=~/Games/h/drive_c/users|~/.steam/steam/steamapps/"
                  "compatdata/3@|link:!bob/Documents/EA Games=nowhere|~/Games/ok@",
                  "~/Games/ok@", "!bob/Documents/", "nowhere"};
    QTest::newRow("users by name, Public last, Documents kinds and cases")
        << Search{"!zoe/%|!Public/%|!bob/My %|~/.wine@|!al/documents/ea games/The Sims 2/DOWNLOADS",
                  "!al/documents/ea games/The Sims 2/DOWNLOADS|~/.wine@|!bob/My %|!zoe/%|!Public/%",
                  "!al/documents/"};
    // Every edition's name begins with the base game's, and the game's name
    // in other languages counts too (in its own case only).
    QTest::newRow("game folders by name, before users") << Search{
        "!al/Documents/* Ultimate/Downloads|!al/Documents/* Deluxe/Downloads|~/.wine@|"
        "!al/Documents/EA Games/the sims 2/Downloads|!al/Documents/EA Games/The Sims 3/Downloads|"
        "!al/Documents/EA Games/Les Sims 2/Downloads|!al/Documents/EA Games/Die Sims 2/Downloads",
        "!al/Documents/EA Games/Die Sims 2/Downloads|!al/Documents/EA Games/Les Sims 2/Downloads|"
        "~/.wine@|!al/Documents/* Deluxe/Downloads|!al/Documents/* Ultimate/Downloads",
        "!al/Documents/"};
    QTest::newRow("game folder without Downloads last") << Search{
        "!bob/Documents/*/Neighborhoods|!bob/Documents/* Deluxe|~/Games/g@|"
        "!bob/Documents/* Ultimate/Neighborhoods|file:!bob/Documents/* Ultimate/Downloads",
        "~/Games/g@|~/.wine@ (new)", "!bob/Documents/"};
    // $WINEPREFIX names ~/.wine through a link, and with a separator.
    QTest::newRow("the same folders through links") << Search{
        "~/.wine@|link:~/wp=~/.wine|~/.local/share/Steam/steamapps/compatdata/20/pfx@|"
        "link:~/.steam/steam=~/.local/share/Steam|~/Games/g^bob/Documents/EA Games|"
        "link:~/Games/g^bob/Documents/*=!bob/Documents/*",
        "~/wp@|~/.steam/steam/steamapps/compatdata/20/pfx@", "~/wp^bob/Documents/", "~/wp/"};
    QTest::newRow("Windows") << Search{"docs/* Ultimate/Neighborhoods|docs/*/Downloads|~/.wine@",
                                       "docs/*/Downloads|docs/* Ultimate/Downloads (new)", "docs/",
                                       "", "docs"};
}

void TestDownloadFolders::find() {
    QFETCH(Search, s);
    TestEnv env;
    Build(env, X(s.tree));
    const QString root = env.root() + "/";
    const auto at = [&](const QString& path) { return path.isEmpty() ? path : root + X(path)[0]; };
    const Environment fake{root + "home", at(s.winePrefix), at(s.documents),
                           !s.documents.isEmpty()};
    QStringList shown;
    // Without the trailing separator every folder ends in.
    for (const Candidate& c : Find(fake))
        shown.append(c.folder.mid(root.size()).chopped(1) + (c.willBeCreated ? " (new)" : ""));
    QCOMPARE(shown, X(s.found));
    QCOMPARE(FirstDocumentsFolder(fake), at(s.firstDocuments));
}

void TestDownloadFolders::chosenFolder_data() {
    QTest::addColumn<Chosen>("c");
    const Doubt noGame = Doubt::NoGameFolderAbove;
    QTest::newRow("there, other case, Teleport only")
        << Chosen{"g/Teleport|g/downloads", "g/downloads", Doubt::None, true};
    QTest::newRow("not named Downloads")
        << Chosen{"g/Neighborhoods", "g/Other/", Doubt::NotNamedDownloads, false};
    QTest::newRow("nothing of the game above") << Chosen{"x", "x/Downloads", noGame, true};
    QTest::newRow("files in the way")
        << Chosen{"file:g/Neighborhoods|file:g/Downloads", "g/Downloads/", noGame, false};
    QTest::newRow("game folder gone") << Chosen{"", "gone/Downloads/", noGame, false};
}

void TestDownloadFolders::chosenFolder() {
    QFETCH(Chosen, c);
    TestEnv env;
    Build(env, X(c.tree));
    const QString path = env.root() + "/" + c.folder;
    QCOMPARE(Check(path), c.doubt);
    QCOMPARE(CreateDownloads({path, true, ""}), c.made);
    QCOMPARE(QFileInfo(path).isDir(), c.made);
    QVERIFY(!QFileInfo::exists(env.root() + "/gone")); // one folder, never a path
}

QTEST_GUILESS_MAIN(TestDownloadFolders)
#include "test_download_folders.moc"
