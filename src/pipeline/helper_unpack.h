#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The programs that unpack what libarchive cannot: unar for rar archives
// with encrypted data or headers (or a feature libarchive lacks), 7-Zip for
// encrypted 7z archives. They write into a private staging folder inside
// the archive's extraction folder; only regular files that came out whole
// are then moved into the extraction folder, by the archive writer's rules
// (base names only, later names win, nothing else created, nothing
// outside), and the staging folder goes.
namespace FileOps {

enum class Helper { Unar, SevenZip };

// The program as found on PATH, "" when it is not installed.
QString HelperProgram(Helper helper);

struct HelperOutcome {
    enum class Result {
        Unpacked,        // whatever came out whole is in the folder
        NotInstalled,    // the program is not there
        PasswordRefused, // the archive wants a password, or another one
        Failed,          // it could not be started, took too long or read nothing
        Stopped,         // the disk's reserve or the archive's limit stopped it
        Cancelled,       // the run was stopped meanwhile; nothing was taken
    };
    Result result = Result::Failed;
    // The files moved into the folder, and the entries that did not come out.
    QStringList taken;
    QStringList failed;
    // Why, for Failed and Stopped.
    QString reason;
};

// Unpacks the archive (a set of volumes from its first one) with the
// helper, with password when not empty. The helper gets a time proportional
// to the archive's size, so a hung one cannot stop a run.
HelperOutcome UnpackWithHelper(Helper helper, const QString& archivePath, const QString& folder,
                               const QString& password);

// UnpackWithHelper with the password question as for zip archives: one
// answer per archive (asked before the first try when askFirst), asked
// again after a wrong one; the same answer refused twice fails the archive
// (a damaged one refuses the right password too). Empty when the player
// gave no answer, now or earlier in this run.
std::optional<HelperOutcome> UnpackAskingPassword(Helper helper, const QString& archivePath,
                                                  const QString& folder, bool askFirst);

} // namespace FileOps
