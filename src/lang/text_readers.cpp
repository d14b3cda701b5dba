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

QString DecodeText(const QByteArray& bytes) {
    // A UTF-8 byte-order mark is taken as such and not kept in the first line.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
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
