#pragma once

#include "variant.h"

#include <QList>
#include <QString>

// An ordered list of values with list and queue operations. Runs use it as a
// stack of paths, the folder removal as a work queue, the readers for lines.
class MArray {
public:
    MArray() = default;

    // Replaces the contents with a copy of the list.
    void Initialize(const QList<Variant>& initialValue);
    void Initialize(const QStringList& initialValue);
    // Command-line mode: paths in double quotes separated by one space, as
    // the system passes files dropped on the program's icon.
    void Initialize(const QString& commandLine, bool commandDropFormatFlag);

    Variant See(qint32 element) const;
    void Change(qint32 element, const Variant& datum);
    void Unshift(const Variant& datum);
    Variant Shift();
    Variant Pop();
    void Push(const Variant& datum);
    qint32 Size() const { return static_cast<qint32>(items_.size()); }
    void Reverse();
    QList<Variant> Give() const { return items_; }

private:
    QList<Variant> items_;
};
