#pragma once

#include "fakes.h"

#include <QFile>
#include <QStringList>

// The boxes shown, each as "prompt|style|title".
inline QStringList Boxes(const fakes::Prompts& prompts) {
    QStringList out;
    for (const fakes::Box& b : prompts.boxes)
        out.append(b.prompt + "|" + QString::number(b.style) + "|" + b.title);
    return out;
}

inline QByteArray Content(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}
