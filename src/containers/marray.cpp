#include "marray.h"

#include "runtime_error.h"

#include <algorithm>

void MArray::Initialize(const QList<Variant>& initialValue) {
    items_ = initialValue;
}

void MArray::Initialize(const QStringList& initialValue) {
    items_.clear();
    items_.reserve(initialValue.size());
    for (const QString& s : initialValue)
        items_.append(Variant(s));
}

void MArray::Initialize(const QString& commandLine, bool commandDropFormatFlag) {
    if (!commandDropFormatFlag)
        throw RunTimeError(ErrNo::TypeMismatch, QStringLiteral("Type mismatch"));
    QStringList pieces =
        commandLine.split(QStringLiteral("\" \""), Qt::KeepEmptyParts, Qt::CaseSensitive);
    for (QString& piece : pieces) {
        if (piece.startsWith(QLatin1Char('"')))
            piece.remove(0, 1);
        if (piece.endsWith(QLatin1Char('"')))
            piece.chop(1);
    }
    Initialize(pieces);
}

Variant MArray::See(qint32 element) const {
    if (element < 0 || element >= Size())
        return Variant();
    return items_.at(element);
}

void MArray::Change(qint32 element, const Variant& datum) {
    if (element < 0 || element >= Size())
        return;
    items_[element] = datum;
}

void MArray::Unshift(const Variant& datum) {
    items_.prepend(datum);
}

Variant MArray::Shift() {
    if (items_.isEmpty())
        return Variant::Null();
    return items_.takeFirst();
}

Variant MArray::Pop() {
    if (items_.isEmpty())
        return Variant::Null();
    return items_.takeLast();
}

void MArray::Push(const Variant& datum) {
    items_.append(datum);
}

void MArray::Reverse() {
    std::reverse(items_.begin(), items_.end());
}
