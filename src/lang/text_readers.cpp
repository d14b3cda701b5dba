#include "text_readers.h"

#include "containers/runtime_error.h"
#include "pipeline/file_ops.h"
#include "platform/platform.h"

#include <QFile>
#include <QStringDecoder>

#include <filesystem>

namespace FileOps {

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // Ask the file system why, so that a missing folder, a folder given
        // as a file and a locked file each get their own number.
        std::error_code ec;
        const std::filesystem::file_status st = std::filesystem::status(ToFs(path), ec);
        if (ec)
            Raise(ec);
        if (std::filesystem::is_directory(st))
            Raise(std::make_error_code(std::errc::is_a_directory));
        Raise(std::make_error_code(std::errc::permission_denied));
    }
    QByteArray bytes = file.readAll();
    // A read that breaks off must not pass for a shorter file.
    if (file.error() != QFileDevice::NoError)
        Raise(std::make_error_code(std::errc::io_error));
    return bytes;
}

// Splits at CR LF or a lone CR; a lone LF is part of the line. A final line
// end does not start another line.
QStringList SplitLines(const QString& text) {
    QStringList lines;
    QString current;
    bool pending = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            lines.append(current);
            current.clear();
            pending = false;
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            continue;
        }
        current.append(c);
        pending = true;
    }
    if (pending)
        lines.append(current);
    return lines;
}

QStringList HeaderLines(const QString& path, int count) {
    if (!FileExists(path))
        return {};
    QStringList lines = SplitLines(DecodeText(ReadAll(path)));
    if (lines.size() < count)
        throw RunTimeError(ErrNo::InputPastEnd, QStringLiteral("Input past end of file"));
    return lines.mid(0, count);
}

} // namespace

namespace {

// Windows-1252 is Latin-1 but for 0x80..0x9F, where it keeps the typographic
// marks packs are written with (0 where the code page has no character).
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QString FromWindows1252(const QByteArray& bytes) {
    QString text = QString::fromLatin1(bytes);
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80 && u <= 0x9F && Windows1252High[u - 0x80] != 0)
            c = QChar(Windows1252High[u - 0x80]);
    }
    return text;
}

} // namespace

QString DecodeText(const QByteArray& bytes) {
    // A UTF-8 byte-order mark is taken as such and not kept in the first line.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    // Packs saved by Windows editors come in the code page they were typed in.
    return FromWindows1252(bytes);
}

MArray ReadLines(const QString& path, bool filter) {
    const QStringList lines = SplitLines(DecodeText(ReadAll(path)));
    MArray result;
    for (const QString& line : lines) {
        if (!filter) {
            result.Push(line);
            continue;
        }
        const QString kept = TrimBlanks(line);
        if (kept.isEmpty() || kept.startsWith(QLatin1Char('#')) ||
            kept.startsWith(QLatin1Char('\'')))
            continue;
        result.Push(kept);
    }
    return result;
}

QString ReadFirstLine(const QString& path) {
    const QStringList lines = HeaderLines(path, 1);
    return lines.isEmpty() ? QStringLiteral("0") : lines.at(0);
}

QString ReadHeaderPair(const QString& path) {
    const QStringList lines = HeaderLines(path, 2);
    return lines.isEmpty() ? QStringLiteral("0")
                           : lines.at(0) + QStringLiteral(" = ") + lines.at(1);
}

Hash ListLanguages() {
    MArray files = ListFiles(LangFolder() + QStringLiteral("lang.*"));
    Hash table;
    while (files.Size() >= 1)
        table.Push(ReadHeaderPair(files.Pop()));
    return table;
}

QString LangFolder() {
    return platform::process().ProgramFolder() + Sep() + QStringLiteral("langs") + Sep();
}

} // namespace FileOps
