#pragma once

#include <QLatin1String>

// The texts a report list shows of its own: its context menu and the messages
// of a copy or a sort it cannot do. The captions are its owner's to give.
namespace quorvex::listtext {

inline constexpr QLatin1String kCopyCommand("Copy");
inline constexpr QLatin1String kCopyAllCommand("Copy All");
inline constexpr QLatin1String kSortByCommand("Sort by %1");
inline constexpr QLatin1String kCopyRefusedTitle("Cannot Copy");
// %1 is the size of the refused text in bytes, %2 the most that can be
// copied, %3 that in MiB.
inline constexpr QLatin1String kCopyRefused(
    "These rows make %1 bytes of text, more than the %2 bytes (%3 MiB) that can be copied at "
    "once. Select fewer rows and copy again.");
inline constexpr QLatin1String kCopyWithoutMemory(
    "There is not enough memory to copy these rows. The clipboard is unchanged.");
inline constexpr QLatin1String kSortFailedTitle("Cannot Sort");
inline constexpr QLatin1String kSortWithoutMemory(
    "There is not enough memory to sort this list. Its order is unchanged.");

}  // namespace quorvex::listtext
