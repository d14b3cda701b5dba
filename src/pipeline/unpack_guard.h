#pragma once

#include <QString>
#include <QStringList>

// Archives from the wild can unpack to far more than they hold (a 10 MB
// zip to 10 GB, a small nested one to millions of files). While archives
// are unpacked the temporary root's disk keeps a reserve, and no archive
// may grow beyond a fixed ratio of its own size; an archive that would
// cross either is stopped with error 61 "Disk full".
namespace FileOps {

// The limits, in one place (the README names them). Tests lower them here.
struct UnpackLimits {
    // Free space kept on the temporary root's file system: the larger of
    // these two.
    qint64 reserveBytes = qint64(1) << 30;
    int reservePercent = 5;
    // An archive unpacks to at most ratio times its packed size plus the
    // allowance, everything unpacked from archives inside it included.
    qint64 ratio = 200;
    qint64 allowance = qint64(64) << 20;
};
UnpackLimits& Limits();

// One archive being unpacked, from its extraction until its files are
// handled (archives inside it are unpacked meanwhile). What is written for
// it counts against it and against every archive it lies in.
class UnpackGuard {
public:
    // volumes: the archive's files (a set of volumes counts whole); folder:
    // where it unpacks.
    UnpackGuard(const QStringList& volumes, const QString& folder);
    ~UnpackGuard();
    UnpackGuard(const UnpackGuard&) = delete;
    UnpackGuard& operator=(const UnpackGuard&) = delete;

    // Why size more bytes may not be written now ("" when they may), and
    // counts them when they may. onDisk: a helper program has written them
    // already, so the free space has shrunk by them. The reason goes after
    // "Disk full" in the archive's line.
    static QString Charge(qint64 size, bool onDisk = false);
    // Why a helper program that has written size bytes so far must stop
    // ("" when it may go on); nothing is counted.
    static QString Watch(qint64 size);

    // True once this archive crossed its limit, its own unpacking or an
    // archive inside it. Its remaining files are then not handled: they
    // would only cross it again.
    bool Exceeded() const { return exceeded_; }

private:
    static QString Why(qint64 size, bool onDisk);

    QString name_;
    QString folder_;
    qint64 limit_ = 0;
    qint64 written_ = 0;
    UnpackGuard* outer_ = nullptr;
    bool exceeded_ = false;
};

} // namespace FileOps
