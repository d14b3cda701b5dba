#include "unpack_guard.h"

#include "file_ops.h"

#include <algorithm>
#include <filesystem>
#include <limits>

namespace FileOps {

namespace {

// The archive being unpacked right now, innermost first; one run unpacks
// on one thread.
thread_local UnpackGuard* innermost = nullptr;

constexpr qint64 MiB = qint64(1) << 20;

qint64 SaturatingAdd(qint64 a, qint64 b) {
    return a > std::numeric_limits<qint64>::max() - b ? std::numeric_limits<qint64>::max() : a + b;
}

qint64 SaturatingMul(qint64 a, qint64 b) {
    return b != 0 && a > std::numeric_limits<qint64>::max() / b ? std::numeric_limits<qint64>::max()
                                                                : a * b;
}

} // namespace

UnpackLimits& Limits() {
    static UnpackLimits limits;
    return limits;
}

UnpackGuard::UnpackGuard(const QStringList& volumes, const QString& folder)
    : name_(volumes.value(0)), folder_(folder), outer_(innermost) {
    qint64 packed = 0;
    for (const QString& volume : volumes) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(ToFs(volume), ec);
        if (!ec)
            packed = SaturatingAdd(
                packed, qint64(std::min<std::uintmax_t>(size, std::numeric_limits<qint64>::max())));
    }
    const UnpackLimits& limits = Limits();
    limit_ = SaturatingAdd(SaturatingMul(packed, limits.ratio), limits.allowance);
    innermost = this;
}

UnpackGuard::~UnpackGuard() {
    innermost = outer_;
}

QString UnpackGuard::Charge(qint64 size, bool onDisk) {
    const QString why = Why(size, onDisk);
    if (why.isEmpty() && innermost) {
        for (UnpackGuard* g = innermost; g; g = g->outer_)
            g->written_ = SaturatingAdd(g->written_, size);
    }
    return why;
}

QString UnpackGuard::Watch(qint64 size) {
    return Why(size, true);
}

QString UnpackGuard::Why(qint64 size, bool onDisk) {
    if (!innermost)
        return {};
    const UnpackLimits& limits = Limits();
    for (UnpackGuard* g = innermost; g; g = g->outer_) {
        if (SaturatingAdd(g->written_, size) > g->limit_) {
            g->exceeded_ = true;
            return GetFileName(g->name_) + QStringLiteral(" unpacks to more than ") +
                   QString::number(limits.ratio) + QStringLiteral(" times its size");
        }
    }
    std::error_code ec;
    const std::filesystem::space_info space = std::filesystem::space(ToFs(innermost->folder_), ec);
    if (!ec) {
        const qint64 capacity =
            qint64(std::min<std::uintmax_t>(space.capacity, std::numeric_limits<qint64>::max()));
        const qint64 available =
            qint64(std::min<std::uintmax_t>(space.available, std::numeric_limits<qint64>::max()));
        const qint64 reserve =
            std::max(limits.reserveBytes, capacity / 100 * limits.reservePercent);
        if (available - (onDisk ? 0 : size) < reserve)
            return QStringLiteral("fewer than ") + QString::number(reserve / MiB) +
                   QStringLiteral(" MiB would stay free for the temporary files");
    }
    return {};
}

} // namespace FileOps
