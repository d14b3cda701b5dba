#pragma once

#include <QSet>
#include <QString>

// What one run keeps while it goes on; a new run starts it afresh.
struct RunState {
    // Extraction folders holding a file another program was given (the
    // game's installer, a program that was run): they stay until the next
    // start instead of going with their archive.
    QSet<QString> handedOver;
};
