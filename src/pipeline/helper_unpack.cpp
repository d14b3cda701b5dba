#include "helper_unpack.h"

#include "entry_writer.h"
#include "file_ops.h"
#include "platform/spawn.h"
#include "state/run_state.h"
#include "unpack_guard.h"
#include "zip_bridge.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>

#include <filesystem>

namespace fs = std::filesystem;

namespace FileOps {

namespace {

// A helper gets this long, plus this long per MiB of archive.
constexpr int BaseTimeMs = 30'000;
constexpr int TimePerMiBMs = 10'000;
constexpr int MaxTimeMs = 3'600'000;
// A listing is short; its helper gets less.
constexpr int ListTimeMs = 60'000;
constexpr qsizetype MaxListing = 64 << 20;

int TimeFor(const QString& archivePath) {
    std::error_code ec;
    const auto size = fs::file_size(ToFs(archivePath), ec);
    const qint64 mib = ec ? 0 : qint64(size >> 20);
    return int(std::min<qint64>(MaxTimeMs, BaseTimeMs + mib * TimePerMiBMs));
}

// The regular files among the archive's entries as lsar lists them, by
// index; links, folders and anything else are never asked for, so the
// helper creates no link that a later entry could be written through.
struct Listing {
    bool ok = false;
    bool wrongPassword = false;
    QStringList indexes;
};

Listing ListForUnar(const QString& archivePath, const QString& password) {
    QStringList arguments{QStringLiteral("-j")};
    if (!password.isEmpty())
        arguments << QStringLiteral("-p") << password;
    arguments << archivePath;
    QByteArray json;
    platform::RunAndWait(QStringLiteral("lsar"), arguments, {}, ListTimeMs, &json, MaxListing,
                         false, [] { return !RunControl::StopRequested(); });
    const QJsonObject listing = QJsonDocument::fromJson(json).object();
    Listing l;
    if (listing.isEmpty())
        return l;
    // 15: the headers are encrypted and the password is missing or wrong.
    l.wrongPassword = listing.value(QStringLiteral("lsarError")).toInt() == 15 ||
                      (listing.value(QStringLiteral("lsarContents")).toArray().isEmpty() &&
                       listing.value(QStringLiteral("lsarProperties"))
                               .toObject()
                               .value(QStringLiteral("XADIsEncrypted"))
                               .toInt() != 0);
    for (const QJsonValue v : listing.value(QStringLiteral("lsarContents")).toArray()) {
        const QJsonObject e = v.toObject();
        const auto flag = [&](const char* key) { return e.value(QLatin1String(key)).toInt() != 0; };
        if (flag("XADIsDirectory") || flag("XADIsLink") || flag("XADIsHardLink") ||
            flag("XADIsCharacterDevice") || flag("XADIsBlockDevice") || flag("XADIsFIFO") ||
            flag("XADIsResourceFork"))
            continue;
        l.indexes << QString::number(e.value(QStringLiteral("XADIndex")).toInt());
    }
    l.ok = true;
    return l;
}

// What the helper says came out whole: unar names every file it wrote with
// "... OK." (or "... Failed!").
void ReadUnarReport(const QByteArray& output, QSet<QString>& whole, QStringList& failed) {
    static const QRegularExpression line(
        QStringLiteral("^  (.+)  \\([^)]*\\)\\.\\.\\. (OK\\.|Failed!.*)$"));
    for (const QString& text : QString::fromUtf8(output).split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = line.match(text);
        if (!m.hasMatch())
            continue;
        if (m.captured(2) == QLatin1String("OK."))
            whole.insert(m.captured(1));
        else
            failed << m.captured(1);
    }
}

// 7-Zip names each entry it could not write whole (or would not, like a
// link leading out of the folder) in a line "ERROR: why : entry[ : more]";
// everything else it wrote came out whole.
void ReadSevenZipReport(const QByteArray& output, QStringList& failed) {
    for (const QString& text : QString::fromUtf8(output).split(QLatin1Char('\n'))) {
        if (!text.startsWith(QStringLiteral("ERROR: ")))
            continue;
        const QStringList parts = text.trimmed().split(QStringLiteral(" : "));
        if (parts.size() >= 2)
            failed << parts.at(1);
    }
}

bool MentionsPassword(const QByteArray& output) {
    return output.contains("password") || output.contains("Password");
}

// The regular files in staging, links and folders aside.
template <typename Visit> void ForEachFile(const fs::path& staging, Visit visit) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(staging, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code st;
        if (it->is_regular_file(st) && !it->is_symlink(st) && !visit(*it))
            return;
    }
}

// What the helper has written so far.
qint64 BytesIn(const fs::path& staging) {
    qint64 bytes = 0;
    ForEachFile(staging, [&](const fs::directory_entry& file) {
        std::error_code ec;
        bytes += qint64(file.file_size(ec));
        return true;
    });
    return bytes;
}

// Whether a file came out whole: not named failed, and named whole where
// the helper names those.
bool CameOutWhole(const QString& relative, const QSet<QString>* whole, const QStringList& failed) {
    return (!whole || whole->contains(relative)) && !failed.contains(relative);
}

// Moves the regular files that came out whole (all but the failed ones,
// or only the whole ones where the helper names them) from staging into
// folder, each under its base name; links, devices and folders are never
// taken. Charged to the archive as its own entries would be.
QString TakeFiles(const fs::path& staging, const QString& folder, const QSet<QString>* whole,
                  const QStringList& failed, QStringList& taken) {
    QString stop;
    ForEachFile(staging, [&](const fs::directory_entry& file) {
        const QString relative = FromFs(file.path().lexically_relative(staging));
        const QString base = SafeBaseName(relative);
        if (!CameOutWhole(relative, whole, failed) || base.isEmpty())
            return true;
        std::error_code ec;
        stop = UnpackGuard::Charge(qint64(file.file_size(ec)), true);
        if (!stop.isEmpty())
            return false;
        fs::rename(file.path(), ToFs(folder + base), ec);
        if (!ec)
            taken << base;
        return true;
    });
    return stop;
}

bool AnyWhole(const fs::path& staging, const QSet<QString>* whole, const QStringList& failed) {
    bool any = false;
    ForEachFile(staging, [&](const fs::directory_entry& file) {
        any = CameOutWhole(FromFs(file.path().lexically_relative(staging)), whole, failed);
        return !any;
    });
    return any;
}

} // namespace

QString HelperProgram(Helper helper) {
    if (helper == Helper::Unar) {
        const QString unar = QStandardPaths::findExecutable(QStringLiteral("unar"));
        return unar.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("lsar")).isEmpty()
                   ? QString()
                   : unar;
    }
    for (const char* name : {"7zz", "7z", "7za"}) {
        const QString found = QStandardPaths::findExecutable(QLatin1String(name));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

HelperOutcome UnpackWithHelper(Helper helper, const QString& archivePath, const QString& folder,
                               const QString& password) {
    HelperOutcome outcome;
    const QString program = HelperProgram(helper);
    if (program.isEmpty()) {
        outcome.result = HelperOutcome::Result::NotInstalled;
        return outcome;
    }
    const QString target = folder.endsWith(Sep()) ? folder : folder + Sep();
    // A name no entry can take: entries are moved out by base name only.
    const QString stagingPath = target + QStringLiteral(".~bw2-staging");
    const fs::path staging = ToFs(stagingPath);
    std::error_code ec;
    fs::remove_all(staging, ec);
    fs::create_directory(staging, ec);
    fs::permissions(staging, fs::perms::owner_all, fs::perm_options::replace, ec);

    QStringList arguments;
    const QSet<QString>* whole = nullptr;
    QSet<QString> wholeFiles;
    if (helper == Helper::Unar) {
        const Listing listing = ListForUnar(archivePath, password);
        if (listing.wrongPassword) {
            outcome.result = HelperOutcome::Result::PasswordRefused;
            fs::remove_all(staging, ec);
            return outcome;
        }
        if (!listing.ok || listing.indexes.isEmpty()) {
            outcome.reason = QStringLiteral("unar found nothing it can unpack");
            fs::remove_all(staging, ec);
            return outcome;
        }
        arguments << QStringLiteral("-o") << stagingPath << QStringLiteral("-D")
                  << QStringLiteral("-f") << QStringLiteral("-k") << QStringLiteral("skip");
        if (!password.isEmpty())
            arguments << QStringLiteral("-p") << password;
        arguments << archivePath << QStringLiteral("-i") << listing.indexes;
    } else {
        // 7-Zip keeps no links without being told to; every file is checked
        // as it is taken all the same.
        arguments << QStringLiteral("x") << QStringLiteral("-y") << QStringLiteral("-bd")
                  << (QStringLiteral("-p") + password) << (QStringLiteral("-o") + stagingPath)
                  << QStringLiteral("--") << archivePath;
    }

    // The helper writes where the archive writer cannot count: what it has
    // written is weighed while it runs, and a stop of the run ends it.
    QString stop;
    bool cancelled = false;
    const auto carryOn = [&] {
        cancelled = RunControl::StopRequested();
        if (!cancelled)
            stop = UnpackGuard::Watch(BytesIn(staging));
        return !cancelled && stop.isEmpty();
    };
    QByteArray output;
    const int code = platform::RunAndWait(program, arguments, stagingPath, TimeFor(archivePath),
                                          &output, MaxListing, true, carryOn);
    if (cancelled || !stop.isEmpty()) {
        fs::remove_all(staging, ec);
        outcome.result =
            cancelled ? HelperOutcome::Result::Cancelled : HelperOutcome::Result::Stopped;
        outcome.reason = stop;
        return outcome;
    }
    if (code < 0) {
        outcome.reason =
            QFileInfo(program).fileName() + QStringLiteral(" could not be run or took too long");
        fs::remove_all(staging, ec);
        return outcome;
    }
    if (code != 0) {
        // Some files may have come out whole; each helper says which not.
        if (helper == Helper::Unar) {
            ReadUnarReport(output, wholeFiles, outcome.failed);
            whole = &wholeFiles;
        } else {
            ReadSevenZipReport(output, outcome.failed);
        }
        // A wrong password lets nothing out whole; a damaged archive that
        // asks whether its password was wrong lets out its good files.
        if (MentionsPassword(output) && !AnyWhole(staging, whole, outcome.failed)) {
            outcome = HelperOutcome{};
            outcome.result = HelperOutcome::Result::PasswordRefused;
            fs::remove_all(staging, ec);
            return outcome;
        }
    }
    stop = TakeFiles(staging, target, whole, outcome.failed, outcome.taken);
    fs::remove_all(staging, ec);
    if (!stop.isEmpty()) {
        outcome.result = HelperOutcome::Result::Stopped;
        outcome.reason = stop;
        return outcome;
    }
    outcome.result = HelperOutcome::Result::Unpacked;
    return outcome;
}

std::optional<HelperOutcome> UnpackAskingPassword(Helper helper, const QString& archivePath,
                                                  const QString& folder, bool askFirst) {
    QString password;
    if (askFirst && !VBUnzBas::AskArchivePassword(password))
        return std::nullopt;
    QStringList refused;
    for (;;) {
        HelperOutcome h = UnpackWithHelper(helper, archivePath, folder, password);
        if (h.result != HelperOutcome::Result::PasswordRefused)
            return h;
        refused << password;
        if (!VBUnzBas::AskArchivePassword(password))
            return std::nullopt;
        if (refused.contains(password)) {
            h.result = HelperOutcome::Result::Failed;
            h.reason = QStringLiteral("damaged, or the password is wrong");
            return h;
        }
    }
}

} // namespace FileOps
