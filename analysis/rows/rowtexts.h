#pragma once

#include <string_view>

// Every text the engine's rows carry besides numbers, words and the
// document's own name and headings, in one place.
namespace quorvex::rowtext {

inline constexpr std::u16string_view kFileLoaded = u"File Loaded";
inline constexpr std::u16string_view kFileSize = u"File Size";
inline constexpr std::u16string_view kTotalWordCount = u"Total Word Count";
inline constexpr std::u16string_view kUniqueWordCount = u"Unique Word Count";
inline constexpr std::u16string_view kSubstitutionCount = u"Substitution Count";
inline constexpr std::u16string_view kTimeToComplete = u"Time To Complete";
// Follow a number, after one space.
inline constexpr std::u16string_view kBytesUnit = u" bytes";
inline constexpr std::u16string_view kSecondsUnit = u" seconds";

// The Substitutions list's Replaced With column for the two bytes that do
// not become a letter.
inline constexpr std::u16string_view kSpaceChar = u"  {space char}";
inline constexpr std::u16string_view kDeletedChar = u"{deleted char}";
// The Char column of a byte that has no printable ASCII character.
inline constexpr std::u16string_view kUnprintableChar = u" ";

// The count per heading's row of the words before the first heading.
inline constexpr std::u16string_view kNoHeading = u"(no heading)";

}  // namespace quorvex::rowtext
