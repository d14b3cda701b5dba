#include "test_env.h"

#include "lang/language_keys.h"
#include "state/globals.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <filesystem>

TestEnv::TestEnv(int logLevel) {
    const QString base = dir_.path();
    for (const char* sub :
         {"program", "drive", "work", "downloads", "config", "cache", "runtime", "state", "home"})
        QDir().mkpath(base + "/" + sub);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(base + "/config"));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(base + "/cache"));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(base + "/runtime"));
    qputenv("XDG_STATE_HOME", QFile::encodeName(base + "/state"));
    // A home of its own: the download folder search looks there.
    qputenv("HOME", QFile::encodeName(base + "/home"));
    qunsetenv("WINEPREFIX");
    QFile::setPermissions(base + "/runtime",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    ResetGlobals();
    G().LogLevel = logLevel;
    process.programFolder = programFolder();
    process.driveFolder = driveFolder();
    process.stateFolder = root() + "/state/brushwick2";
    platform::Install({&prompts, &status, &shell, &process, &settings});
}

TestEnv::~TestEnv() {
    platform::Install({});
    ResetGlobals();
    // Let the temporary tree go even where a test took away permissions or
    // made names that are not UTF-8 (which Qt's own removal cannot name).
    namespace fs = std::filesystem;
    const fs::path top(QFile::encodeName(dir_.path()).toStdString());
    std::error_code ec;
    fs::permissions(top, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(top, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        ec.clear();
    }
    fs::remove_all(top, ec);
}

QString TestEnv::writeFile(const QString& path, const QByteArray& content) const {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    f.write(content);
    return path;
}

QStringList TestEnv::logMessages() const {
    QFile f(logPath());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList messages;
    const QString all = QString::fromUtf8(f.readAll());
    for (const QString& line : all.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const qsizetype at = line.indexOf(QStringLiteral(" - "));
        messages.append(at >= 0 ? line.mid(at + 3) : line);
    }
    return messages;
}

void TestEnv::useTestLanguage() {
    // Texts the tests recognise; every other key reads as its own name with
    // a "..." for each value it takes, so no key the program looks up is missing.
    const QMap<QString, QString> texts{
        {"HELP", "Help"},
        {"LANGOPT", "Language"},
        {"CREDopt", "Credits"},
        {"LOGGopt", "Logging"},
        {"OTHEROPT", "Other"},
        {"Defbarmsg", "Drop here"},
        {"LANGUAGE", "Languages"},
        {"ERRORNUMBER", "Error ..."},
        {"LOADERROR", "Start failed"},
        {"AnotherTidsel", "Already running"},
        {"Processing", testlang::Processing},
        {"STILLPROC", testlang::StillProc},
        {"PLURALFILES", "... files installed"},
        {"Singularfile", "1 file installed"},
        {"NOFILES", "No files installed"},
        {"Done", testlang::Done},
        {"EXEQUERY", "Run ...?"},
        {"EXEPOST", "Press OK when the installer is done"},
        {"FILEEXISTS", "Overwrite ...?"},
        {"FCERROR", "Could not copy ... to ..."},
        {"ERRORREPORT", "See ... for details"},
        {"NODOWNLOADPATH", "Pick the download folder"},
        {"GSPERROR", "Download folder failed"},
        {"BADZIP", "... is damaged"},
        {"SKIPEXEOPT", "Skip programs"},
        {"CONFIRMOVEROPT", "Ask before overwriting"},
    };
    QList<Variant> lines{"Test language", "Brushwick 2 team"};
    for (const BrushwickMod::LanguageKey& key : BrushwickMod::LanguageKeys) {
        const QString name = QLatin1String(key.key);
        QString text = texts.value(name, name);
        if (!texts.contains(name))
            for (int i = 0; i < key.fillIns; ++i)
                text += QStringLiteral(" ...");
        lines.append(name + QStringLiteral(" = ") + text);
    }
    LanguagePack pack;
    pack.Initialize(lines);
    G().CurLang = pack;
    G().CurLangLoaded = true;
}

void TestEnv::installShippedPacks(const QStringList& only) const {
    const QString source = qEnvironmentVariable("BW_SOURCE") + "/langs";
    QDir().mkpath(programFolder() + "/langs");
    for (const QString& name : QDir(source).entryList(QDir::Files)) {
        if (only.isEmpty() || only.contains(name))
            QFile::copy(source + "/" + name, programFolder() + "/langs/" + name);
    }
}
