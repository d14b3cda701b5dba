#pragma once

#include "hash.h"

// The texts of one language: a display name, an author and a table of
// key -> text. The loaded pack supplies every text the player sees.
class LanguagePack {
public:
    LanguagePack() = default;

    // Line 0 is the name, line 1 the author, the rest are items.
    void Initialize(const QList<Variant>& initialValue);
    void Update(const QList<Variant>& newVal);
    Variant SeeByName(const QString& key) const { return texts_.Value(key); }
    QString Name() const { return name_; }
    QString author() const { return author_; }
    // Always the table's own size, also after an item failed half way.
    qint32 Size() const { return texts_.Size(); }
    Variant Pop() { return texts_.Pop(); }
    // The text for key with its "..." placeholders filled left to right by
    // the non-empty arguments.
    QString ProperString(const QString& key, const QString& v1, const QString& v2,
                         const QString& v3) const;
    void Push(const Variant& vValue) { texts_.Push(vValue); }
    Variant See(qint32 element) const { return texts_.SeePair(element); }
    void Change(const Variant& key, const Variant& vValue) { texts_.Change(key, vValue); }

private:
    static QList<Variant> StripHeader(const QList<Variant>& list);
    void TakeHeader(const QList<Variant>& lines);

    QString name_;
    QString author_;
    Hash texts_;
};
