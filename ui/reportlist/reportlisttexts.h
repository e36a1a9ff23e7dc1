#pragma once

#include <QString>

// The texts a report list shows of its own: its context menu and the message
// that refuses a copy. The captions are its owner's to give.
namespace quorvex::listtext {

inline QString CopyCommand() {
    return QStringLiteral("Copy");
}
inline QString CopyAllCommand() {
    return QStringLiteral("Copy All");
}
inline QString SortByCommand() {
    return QStringLiteral("Sort by %1");
}
inline QString CopyRefusedTitle() {
    return QStringLiteral("Cannot Copy");
}
// %1 is the size of the refused text in bytes, %2 the most that can be copied.
inline QString CopyRefused() {
    return QStringLiteral(
        "These rows make %1 bytes of text, more than the %2 bytes (64 MiB) that can be copied at "
        "once. Select fewer rows and copy again.");
}

}  // namespace quorvex::listtext
