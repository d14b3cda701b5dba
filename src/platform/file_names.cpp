#include "file_names.h"

namespace platform {

namespace {

constexpr char16_t EscapeBase = 0xDC00;

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at data[i], or 0 when the byte
// there does not start one (overlong forms, encoded surrogates and values
// beyond U+10FFFF are not valid).
int SequenceLength(const unsigned char* data, qsizetype size, qsizetype i) {
    const unsigned char b = data[i];
    const qsizetype left = size - i;
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF)
        return left >= 2 && IsContinuation(data[i + 1]) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        if (left < 3 || !IsContinuation(data[i + 1]) || !IsContinuation(data[i + 2]))
            return 0;
        if (b == 0xE0 && data[i + 1] < 0xA0)
            return 0; // overlong
        if (b == 0xED && data[i + 1] >= 0xA0)
            return 0; // a surrogate
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (left < 4 || !IsContinuation(data[i + 1]) || !IsContinuation(data[i + 2]) ||
            !IsContinuation(data[i + 3]))
            return 0;
        if (b == 0xF0 && data[i + 1] < 0x90)
            return 0; // overlong
        if (b == 0xF4 && data[i + 1] >= 0x90)
            return 0; // beyond U+10FFFF
        return 4;
    }
    return 0;
}

} // namespace

QString FileNameText(const QByteArray& bytes) {
#ifdef Q_OS_WIN
    return QString::fromUtf8(bytes);
#else
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    QString text;
    text.reserve(size);
    qsizetype runStart = 0;
    qsizetype i = 0;
    while (i < size) {
        const int length = SequenceLength(data, size, i);
        if (length > 0) {
            i += length;
            continue;
        }
        text += QString::fromUtf8(bytes.constData() + runStart, i - runStart);
        text += QChar(char16_t(EscapeBase + data[i]));
        runStart = ++i;
    }
    if (runStart == 0)
        return QString::fromUtf8(bytes);
    text += QString::fromUtf8(bytes.constData() + runStart, size - runStart);
    return text;
#endif
}

int EscapedByte(QChar c) {
    const char16_t u = c.unicode();
    return u >= EscapeBase + 0x80 && u <= EscapeBase + 0xFF ? int(u - EscapeBase) : -1;
}

QByteArray FileNameBytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int escaped = EscapedByte(text.at(i));
        // The low half of a real surrogate pair is text, not an escape.
        if (escaped < 0 || (i > 0 && text.at(i - 1).isHighSurrogate()))
            continue;
        bytes += QStringView(text).mid(runStart, i - runStart).toUtf8();
        bytes += char(escaped);
        runStart = i + 1;
    }
    if (runStart == 0)
        return text.toUtf8();
    bytes += QStringView(text).mid(runStart).toUtf8();
    return bytes;
}

} // namespace platform
