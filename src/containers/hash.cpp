#include "hash.h"

#include "runtime_error.h"

QString TrimBlanks(const QString& s) {
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && s.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && s.at(last - 1) == QLatin1Char(' '))
        --last;
    return s.mid(first, last - first);
}

HashItem SplitItem(const QString& item) {
    const qsizetype eq = item.indexOf(QLatin1Char('='));
    if (eq < 0)
        throw RunTimeError(ErrNo::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
    return {TrimBlanks(item.left(eq)), TrimBlanks(item.mid(eq + 1))};
}

void Hash::Initialize(const QList<Variant>& initialValue) {
    for (const Variant& item : initialValue)
        Push(item);
}

void Hash::Update(const QList<Variant>& newVal) {
    for (const Variant& item : newVal) {
        const HashItem pair = SplitItem(item);
        const qint32 p = FindKey(pair.key);
        if (p >= 0)
            values_.Change(p, pair.value);
        else
            Push(item);
    }
}

Variant Hash::Value(const QString& key) const {
    const qint32 p = FindKey(key);
    return p >= 0 ? values_.See(p) : Variant(QString());
}

Variant Hash::Pop() {
    // An empty table stays empty and consistent.
    if (size_ == 0)
        return Variant::Null();
    const QString key = keys_.Pop();
    const QString value = values_.Pop();
    --size_;
    return Variant(key + QStringLiteral(" = ") + value);
}

void Hash::Push(const Variant& vValue) {
    // Split first, so that a bad item leaves both lists untouched.
    const HashItem pair = SplitItem(vValue);
    keys_.Push(pair.key);
    values_.Push(pair.value);
    ++size_;
}

void Hash::Change(const Variant& key, const Variant& vValue) {
    const HashItem pair = SplitItem(vValue);
    const qint32 p = FindKey(key);
    keys_.Change(p, pair.key);
    values_.Change(p, pair.value);
}

Variant Hash::SeePair(qint32 element) const {
    return Variant(keys_.See(element).toText() + QStringLiteral(" = ") +
                   values_.See(element).toText());
}

MArray Hash::GetKeys() const {
    MArray copy;
    copy.Initialize(keys_.Give());
    return copy;
}

qint32 Hash::FindKey(const QString& key) const {
    for (qint32 i = 0; i < size_; ++i) {
        if (keys_.See(i).toText().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}
