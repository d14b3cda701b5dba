#include "language_pack.h"

#include "runtime_error.h"

void LanguagePack::TakeHeader(const QList<Variant>& lines) {
    if (lines.size() < 2)
        throw RunTimeError(ErrNo::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
    name_ = lines.at(0).toText();
    author_ = lines.at(1).toText();
}

QList<Variant> LanguagePack::StripHeader(const QList<Variant>& list) {
    return list.mid(2);
}

void LanguagePack::Initialize(const QList<Variant>& initialValue) {
    TakeHeader(initialValue);
    texts_.Initialize(StripHeader(initialValue));
}

void LanguagePack::Update(const QList<Variant>& newVal) {
    TakeHeader(newVal);
    texts_.Update(StripHeader(newVal));
}

QString LanguagePack::ProperString(const QString& key, const QString& v1, const QString& v2,
                                   const QString& v3) const {
    QString s = texts_.Value(key);
    static const QString placeholder = QStringLiteral("...");
    for (const QString* arg : {&v1, &v2, &v3}) {
        if (arg->isEmpty())
            continue;
        const qsizetype at = s.indexOf(placeholder);
        if (at >= 0)
            s.replace(at, placeholder.size(), *arg);
    }
    return s;
}
