#include "zip_names.h"

#include "file_ops.h"

#include <QtEndian>

#include <algorithm>
#include <fstream>
#include <utility>
#include <vector>

namespace FileOps {

namespace {

// The end-of-central-directory record and how far before the end it may lie
// (its own 22 bytes and a comment of up to 65535).
constexpr qint64 EndRecordSize = 22;
constexpr qint64 EndSearch = EndRecordSize + 0xFFFF;
constexpr qint64 EntryHeaderSize = 46;
// No archive the program meets holds more; a damaged count must not make
// the reader allocate without bound.
constexpr quint64 MaxEntries = 1'000'000;
constexpr qint64 MaxDirectoryBytes = qint64(512) << 20;

quint16 U16(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}
quint32 U32(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}
quint64 U64(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint64>(b.constData() + at);
}

QByteArray ReadAt(std::ifstream& file, qint64 offset, qint64 size) {
    QByteArray bytes(size, Qt::Uninitialized);
    file.clear();
    file.seekg(offset);
    if (!file.read(bytes.data(), size))
        return {};
    return bytes;
}

struct Directory {
    qint64 offset = 0;
    qint64 size = 0;
    quint64 entries = 0;
};

// Where the central directory is: it ends where the end record (or the
// zip64 end record) begins, which also holds for archives with something
// in front of them.
bool FindDirectory(std::ifstream& file, qint64 fileSize, Directory& d) {
    const qint64 from = std::max<qint64>(0, fileSize - EndSearch);
    const QByteArray tail = ReadAt(file, from, fileSize - from);
    const qsizetype at = tail.lastIndexOf(QByteArrayLiteral("PK\x05\x06"));
    if (at < 0 || tail.size() - at < EndRecordSize)
        return false;
    qint64 recordStart = from + at;
    d.entries = U16(tail, at + 10);
    d.size = U32(tail, at + 12);
    if (d.entries == 0xFFFF || d.size == 0xFFFFFFFF) {
        // zip64: a locator just before the end record points to the real one.
        const QByteArray locator = ReadAt(file, recordStart - 20, 20);
        if (locator.size() != 20 || !locator.startsWith("PK\x06\x07"))
            return false;
        const quint64 at64 = U64(locator, 8);
        if (at64 > quint64(fileSize) - 56)
            return false;
        const QByteArray record = ReadAt(file, qint64(at64), 56);
        if (record.size() != 56 || !record.startsWith("PK\x06\x06"))
            return false;
        recordStart = qint64(at64);
        d.entries = U64(record, 32);
        d.size = qint64(std::min<quint64>(U64(record, 40), quint64(MaxDirectoryBytes) + 1));
    }
    if (d.size > MaxDirectoryBytes || d.size > recordStart || d.entries > MaxEntries)
        return false;
    d.offset = recordStart - d.size;
    return true;
}

// The local header's position, from the zip64 extra field when the plain
// field says it is there.
quint64 LocalOffset(const QByteArray& dir, qsizetype entry, qsizetype extraAt, int extraSize) {
    quint64 offset = U32(dir, entry + 42);
    if (offset != 0xFFFFFFFF)
        return offset;
    // In the zip64 field the sizes come first, where theirs are marked too.
    int skip =
        (U32(dir, entry + 24) == 0xFFFFFFFF ? 8 : 0) + (U32(dir, entry + 20) == 0xFFFFFFFF ? 8 : 0);
    for (int at = 0; at + 4 <= extraSize;) {
        const quint16 id = U16(dir, extraAt + at);
        const quint16 size = U16(dir, extraAt + at + 2);
        if (id == 0x0001 && skip + 8 <= size && at + 4 + size <= extraSize)
            return U64(dir, extraAt + at + 4 + skip);
        at += 4 + size;
    }
    return offset;
}

} // namespace

QList<QByteArray> ZipNamesInOrder(const QString& path) {
    std::ifstream file(ToFs(path), std::ios::binary);
    if (!file)
        return {};
    file.seekg(0, std::ios::end);
    const qint64 fileSize = file.tellg();
    Directory d;
    if (fileSize < EndRecordSize || !FindDirectory(file, fileSize, d))
        return {};
    const QByteArray dir = ReadAt(file, d.offset, d.size);
    if (dir.size() != d.size)
        return {};

    std::vector<std::pair<quint64, QByteArray>> entries;
    qsizetype at = 0;
    while (entries.size() < d.entries && at + EntryHeaderSize <= dir.size() &&
           dir.mid(at, 4) == QByteArrayLiteral("PK\x01\x02")) {
        const int nameSize = U16(dir, at + 28);
        const int extraSize = U16(dir, at + 30);
        const int commentSize = U16(dir, at + 32);
        const qsizetype end = at + EntryHeaderSize + nameSize + extraSize + commentSize;
        if (end > dir.size())
            break;
        entries.emplace_back(LocalOffset(dir, at, at + EntryHeaderSize + nameSize, extraSize),
                             dir.mid(at + EntryHeaderSize, nameSize));
        at = end;
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<QByteArray> names;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        // Two entries at one place are one entry to libarchive.
        if (i > 0 && entries[i].first == entries[i - 1].first)
            continue;
        names.append(std::move(entries[i].second));
    }
    return names;
}

} // namespace FileOps
