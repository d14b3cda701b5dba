#pragma once

#include "marray.h"

// An ordered table of key/value pairs on two parallel lists, filled from
// items of the form "key = value" and looked up without regard to case. The
// same key may be stored twice; lookups find the first.
class Hash {
public:
    Hash() = default;

    void Initialize(const QList<Variant>& initialValue);
    void Update(const QList<Variant>& newVal);
    Variant Value(const QString& key) const;
    qint32 Size() const { return size_; }
    Variant Pop();
    void Push(const Variant& vValue);
    void Change(const Variant& key, const Variant& vValue);
    Variant SeePair(qint32 element) const;
    MArray GetKeys() const;

private:
    qint32 FindKey(const QString& key) const;

    qint32 size_ = 0;
    MArray keys_;
    MArray values_;
};

// Splits an item at its first "=" into a trimmed key and value (only blanks
// are trimmed, tabs stay). An item without "=" is a subscript error.
struct HashItem {
    QString key;
    QString value;
};
HashItem SplitItem(const QString& item);

// Removes leading and trailing blanks; tabs and other white space stay.
QString TrimBlanks(const QString& s);
