#pragma once

#include <QLatin1String>

// The texts a report list shows of its own: its context menu and the message
// that refuses a copy. The captions are its owner's to give.
namespace quorvex::listtext {

inline constexpr QLatin1String kCopyCommand("Copy");
inline constexpr QLatin1String kCopyAllCommand("Copy All");
inline constexpr QLatin1String kSortByCommand("Sort by %1");
inline constexpr QLatin1String kCopyRefusedTitle("Cannot Copy");
// %1 is the size of the refused text in bytes, %2 the most that can be copied.
inline constexpr QLatin1String kCopyRefused(
    "These rows make %1 bytes of text, more than the %2 bytes (64 MiB) that can be copied at "
    "once. Select fewer rows and copy again.");

}  // namespace quorvex::listtext
