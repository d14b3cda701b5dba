#include "sims2pack.h"

#include "containers/runtime_error.h"
#include "entry_writer.h"
#include "file_ops.h"
#include "part_file.h"
#include "sims2pack_io.h"

#include <QCryptographicHash>
#include <QSet>
#include <QXmlStreamReader>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <numeric>
#include <optional>
#include <vector>

namespace FileOps::Sims2Pack {

namespace {

const QByteArray Magic = QByteArrayLiteral("Sims2 Packager 1.0");
const QByteArray MagicStem = QByteArrayLiteral("Sims2 Packager ");
// The magic and the 32-bit offset of the data.
constexpr qint64 HeaderSize = 22;
// Enough of the start of a file to tell what it is.
constexpr qint64 HeadSize = 64;
// Compressed packs write a version of a few characters after the stem.
constexpr qsizetype MaxVersionLength = 8;
constexpr qint64 BlockSize = 64 * 1024;
const QByteArray GamePackageMagic = QByteArrayLiteral("DBPF");
const QString PackageEnding = QStringLiteral(".package");
const QString ObjectType = QStringLiteral("Object");
// Container text quoted in a refusal is cut to this many characters.
constexpr qsizetype MaxShown = 100;

// The <PackagedFile> fields the program reads, as the container writes them.
enum Field { Name, Length, Offset, Type, Crc, FieldCount };
constexpr std::array<QStringView, FieldCount> FieldNames{u"Name", u"Length", u"Offset", u"Type",
                                                         u"Crc"};

struct Listed {
    std::array<QString, FieldCount> text;
    std::array<bool, FieldCount> seen{};
};

// Container text as it may appear in a log line: one line, not too long.
QString Shown(const QString& text) {
    QString shown = text.left(MaxShown);
    for (QChar& c : shown) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return text.size() > MaxShown ? shown + QStringLiteral("...") : shown;
}

// "Sims2 Packager " and a version ending in ".1" mark a compressed pack.
// The binary data offset follows the version directly, so any leading part
// of the run of digits and dots that ends in ".1" counts.
bool Compressed(const QByteArray& head) {
    if (!head.startsWith(MagicStem))
        return false;
    QByteArray version;
    for (qsizetype i = MagicStem.size(); i < head.size() && version.size() < MaxVersionLength;
         ++i) {
        const char c = head.at(i);
        if ((c < '0' || c > '9') && c != '.')
            break;
        version += c;
    }
    return version.indexOf(".1", 1) > 0;
}

// Only ASCII digits count; QChar::isDigit() takes every script's.
bool IsDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool IsHexDigit(QChar c) {
    return c.unicode() < 128 && std::isxdigit(c.unicode());
}

// A non-negative decimal number; nothing for anything else, signs and
// numbers beyond 64 bits included.
std::optional<qint64> Count(const QString& text) {
    const QString digits = text.trimmed();
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), IsDigit))
        return std::nullopt;
    bool ok = false;
    const qint64 value = digits.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

// The name a packaged file is written under, "" when none is usable.
QString BaseNameOf(const QString& name) {
    // Spaces around a name are layout, and Windows takes no file name that
    // ends in one.
    const QString base = FileOps::SafeBaseName(name).trimmed();
    if (base.isEmpty() || base == QStringLiteral(".") || base == QStringLiteral("..") ||
        std::any_of(base.begin(), base.end(),
                    [](QChar c) { return c.category() == QChar::Other_Control; }))
        return {};
    return base.endsWith(PackageEnding, Qt::CaseInsensitive) ? base : base + PackageEnding;
}

// True when the file's data lies inside a container of that size; no sum
// can overflow on the way.
bool Inside(qint64 size, qint64 dataStart, const PackagedFile& file) {
    return dataStart >= 0 && dataStart <= size && file.offset >= 0 && file.length >= 0 &&
           file.offset <= size - dataStart && file.length <= size - dataStart - file.offset;
}

[[noreturn]] void RaisePastEnd() {
    throw RunTimeError(ErrNo::InputPastEnd, QStringLiteral("Input past end of file"));
}

void ReadExactly(Source& source, qint64 offset, char* data, qint64 size) {
    // The file grew shorter since it was opened.
    if (source.Read(offset, data, size) != size)
        RaisePastEnd();
}

// Reads the data block by block, hands each block to sink and returns the
// MD5 of it all; declared lengths never decide how much memory is taken.
template <typename Sink>
QByteArray Stream(Source& source, qint64 start, qint64 length, Sink&& sink) {
    QCryptographicHash md5(QCryptographicHash::Md5);
    QByteArray block(std::min(length, BlockSize), Qt::Uninitialized);
    for (qint64 done = 0; done < length;) {
        const qint64 n = std::min(BlockSize, length - done);
        ReadExactly(source, start + done, block.data(), n);
        md5.addData(QByteArrayView(block.constData(), n));
        sink(block.constData(), n);
        done += n;
    }
    return md5.result();
}

// Reads the list of packaged files; "" when the XML is usable. Entities
// could make a small list huge, so any DTD is refused before it is used.
QString ReadList(const QByteArray& xml, Container& container, QList<Listed>& listed) {
    QXmlStreamReader reader(xml);
    int depth = 0;
    // The depth of the <PackagedFile> being read; 0 outside one.
    int fileDepth = 0;
    Listed current;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::DTD)
            return QStringLiteral("XML declares a DTD");
        if (token == QXmlStreamReader::EndElement) {
            if (depth == fileDepth) {
                listed.append(current);
                fileDepth = 0;
            }
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (++depth > MaxXmlDepth)
            return QStringLiteral("XML nested too deeply");
        const QStringView name = reader.name();
        if (depth == 1) {
            if (name != u"Sims2Package")
                return QStringLiteral("XML root is not Sims2Package");
            container.packageType = reader.attributes().value(QLatin1String("type")).toString();
        } else if (depth == 2 && name == u"GameVersion") {
            container.gameVersion =
                reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
            --depth;
        } else if (fileDepth == 0 && name == u"PackagedFile") {
            // Some makers wrap the files in an element of their own.
            if (listed.size() == MaxPackagedFiles)
                return QStringLiteral("too many packaged files");
            current = {};
            fileDepth = depth;
        } else if (fileDepth != 0 && depth == fileDepth + 1) {
            const auto field = std::find(FieldNames.begin(), FieldNames.end(), name);
            if (field == FieldNames.end())
                continue;
            const auto index = static_cast<size_t>(field - FieldNames.begin());
            // Two names for one file leave it open which one counts.
            if (current.seen[index])
                return field->toString() + QStringLiteral(" repeats in a packaged file");
            current.seen[index] = true;
            current.text[index] =
                reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
            --depth;
        }
    }
    if (reader.hasError())
        return QStringLiteral("XML is not well formed: ") + Shown(reader.errorString());
    return {};
}

// Fills in file from its listing; "" when it is an object with usable
// fields whose data lies inside the dataSize bytes after the XML.
QString Describe(const Listed& listed, qint64 dataSize, PackagedFile& file) {
    file.name = listed.text[Name];
    file.baseName = BaseNameOf(file.name);
    file.type = listed.text[Type].trimmed();
    if (file.type.compare(ObjectType, Qt::CaseInsensitive) != 0)
        return QStringLiteral("type %1 is not Object")
            .arg(file.type.isEmpty() ? QStringLiteral("(none)") : Shown(file.type));
    if (file.baseName.isEmpty())
        return QStringLiteral("unusable name: ") + Shown(file.name);
    const QString shown = Shown(file.baseName);
    const std::optional<qint64> length = Count(listed.text[Length]);
    if (!length)
        return QStringLiteral("bad length for ") + shown;
    const std::optional<qint64> offset = Count(listed.text[Offset]);
    if (!offset)
        return QStringLiteral("bad offset for ") + shown;
    file.length = *length;
    file.offset = *offset;
    const QString crc = listed.text[Crc].trimmed();
    if (!crc.isEmpty()) {
        if (crc.size() != 32 || !std::all_of(crc.begin(), crc.end(), IsHexDigit))
            return QStringLiteral("bad MD5 for ") + shown;
        file.md5 = QByteArray::fromHex(crc.toLatin1());
    }
    if (file.offset > dataSize)
        return QStringLiteral("offset outside the file: ") + shown;
    if (file.length > dataSize - file.offset)
        return QStringLiteral("length outside the file: ") + shown;
    return {};
}

// Unpacked into one folder, names that differ only in case would take each
// other's place on Windows.
QString Repeats(const QList<PackagedFile>& files) {
    QSet<QString> seen;
    for (const PackagedFile& file : files) {
        const QString folded = file.baseName.toCaseFolded();
        if (seen.contains(folded))
            return QStringLiteral("names repeat: ") + Shown(file.baseName);
        seen.insert(folded);
    }
    return {};
}

// Files that share data could unpack into far more than the container
// holds; each byte of data belongs to one file at most.
QString Overlaps(const QList<PackagedFile>& files) {
    std::vector<qsizetype> order(static_cast<size_t>(files.size()));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        return files[a].offset != files[b].offset ? files[a].offset < files[b].offset
                                                  : files[a].length < files[b].length;
    });
    for (size_t i = 1; i < order.size(); ++i) {
        const PackagedFile& before = files[order[i - 1]];
        const PackagedFile& file = files[order[i]];
        if (file.offset < before.offset + before.length)
            return QStringLiteral("data overlaps: ") + Shown(file.baseName);
    }
    return {};
}

QString CheckData(Source& source, qint64 dataStart, const PackagedFile& file) {
    const qint64 start = dataStart + file.offset;
    QByteArray magic(GamePackageMagic.size(), Qt::Uninitialized);
    if (file.length >= magic.size())
        ReadExactly(source, start, magic.data(), magic.size());
    if (file.length < magic.size() || magic != GamePackageMagic)
        return QStringLiteral("not a game package: ") + Shown(file.baseName);
    if (!file.md5.isEmpty() &&
        Stream(source, start, file.length, [](const char*, qint64) {}) != file.md5)
        return QStringLiteral("MD5 does not match for ") + Shown(file.baseName);
    return {};
}

QString Check(Source& source, Container& container) {
    QByteArray head(std::min(source.size(), HeadSize), Qt::Uninitialized);
    head.resize(source.Read(0, head.data(), head.size()));
    if (head.size() < HeaderSize || !head.startsWith(Magic))
        return Compressed(head) ? QStringLiteral("compressed container")
                                : QStringLiteral("not a Sims2Pack container");
    container.dataStart = qFromLittleEndian<quint32>(head.constData() + Magic.size());
    if (container.dataStart < HeaderSize)
        return QStringLiteral("data start inside the header");
    // The XML is read whole, so its size is capped whatever the file's size.
    if (container.dataStart - HeaderSize > MaxXmlBytes)
        return QStringLiteral("XML too large");
    if (container.dataStart > source.size())
        return QStringLiteral("data start outside the file");

    QByteArray xml(container.dataStart - HeaderSize, Qt::Uninitialized);
    ReadExactly(source, HeaderSize, xml.data(), xml.size());
    QList<Listed> listed;
    if (const QString refusal = ReadList(xml, container, listed); !refusal.isEmpty())
        return refusal;
    if (listed.isEmpty())
        return QStringLiteral("no packaged files");
    for (const Listed& entry : listed) {
        PackagedFile file;
        const QString refusal = Describe(entry, source.size() - container.dataStart, file);
        container.files.append(file);
        if (!refusal.isEmpty())
            return refusal;
    }
    if (const QString refusal = Repeats(container.files); !refusal.isEmpty())
        return refusal;
    if (const QString refusal = Overlaps(container.files); !refusal.isEmpty())
        return refusal;
    for (const PackagedFile& file : container.files) {
        if (const QString refusal = CheckData(source, container.dataStart, file);
            !refusal.isEmpty())
            return refusal;
    }
    return {};
}

[[noreturn]] void RaiseAccess(const QString& what) {
    throw RunTimeError(ErrNo::PathFileAccess,
                       QStringLiteral("Path/File access error (%1)").arg(what));
}

// Writes one file and returns its path. The container need not come from
// Inspect, so its names and numbers are checked again here.
QString UnpackOne(Source& source, qint64 dataStart, const PackagedFile& file,
                  const QString& folder) {
    if (BaseNameOf(file.baseName) != file.baseName)
        RaiseAccess(QStringLiteral("unusable name: ") + Shown(file.baseName));
    if (!Inside(source.size(), dataStart, file))
        RaisePastEnd();
    FileOps::PartFile part(folder);
    const QByteArray md5 = Stream(source, dataStart + file.offset, file.length,
                                  [&part](const char* data, qint64 n) { part.Write(data, n); });
    // The container changed after it was inspected.
    if (!file.md5.isEmpty() && md5 != file.md5)
        RaiseAccess(QStringLiteral("data changed: ") + Shown(file.baseName));
    const QString path = folder + file.baseName;
    part.Commit(path);
    return path;
}

} // namespace

Inspection Inspect(const QString& path) {
    Source source(path);
    Inspection inspection;
    inspection.refusal = Check(source, inspection.container);
    return inspection;
}

QStringList Unpack(const QString& path, const Container& container, const QString& folder) {
    Source source(path);
    const QString into = folder.endsWith(FileOps::Sep()) || folder.endsWith(QLatin1Char('/'))
                             ? folder
                             : folder + FileOps::Sep();
    QStringList written;
    try {
        for (const PackagedFile& file : container.files)
            written.append(UnpackOne(source, container.dataStart, file, into));
    } catch (...) {
        // A container is unpacked whole or not at all.
        for (const QString& path : written) {
            std::error_code ignored;
            std::filesystem::remove(FileOps::ToFs(path), ignored);
        }
        throw;
    }
    return written;
}

} // namespace FileOps::Sims2Pack
