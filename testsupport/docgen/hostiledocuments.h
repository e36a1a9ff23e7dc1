#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace quorvex::docgen {

// Documents made to find the engine's limits rather than to look like text.
// Each writer returns false when writing failed.

// Random words of six to nine letters on lines of about 80 bytes, each line
// with a line reference: a document of almost nothing but distinct words.
bool WriteRandomWords(std::FILE* out, std::uint64_t size, std::uint64_t seed);

// One heading line of `headingBytes` bytes (printable ones, or bytes above
// 127 when `highBytes`), then `lines` lines "0000000<word>", every word new.
bool WriteLongHeading(std::FILE* out, std::uint64_t headingBytes, std::uint64_t lines,
                      bool highBytes);

// A single word of `size` letters, no line ending.
bool WriteOneWord(std::FILE* out, std::uint64_t size);

// Eight-letter words whose index slots all begin in the same 4,096th of the
// index when its hash is drawn from `hashSeed`; or, with no seed, random
// eight-letter words of the same number, as a control.
std::vector<std::string> EightLetterWords(std::size_t count, std::uint64_t seed,
                                          const std::uint64_t* hashSeed);

// A number written in letters, the lowest first ("a" for 0, "ba" for 1 * 26):
// counting up gives a new word every time.
std::string CounterWord(std::uint64_t number);

// Random words of `letters.first` to `letters.second` letters, 40,000 of
// them, drawn uniformly: `size` bytes of lines "001:001" and ten such words
// (six from 25 letters up), the shape of a text rich in long compounds.
bool WriteVocabulary(std::FILE* out, std::uint64_t size, std::uint64_t seed,
                     std::pair<std::size_t, std::size_t> letters);

// Random words of `letters.first` to `letters.second` letters, of which the
// first `shared` are the same in every word: lines as WriteRandomWords writes.
bool WriteSharedPrefixWords(std::FILE* out, std::uint64_t size, std::uint64_t seed,
                            std::size_t shared, std::pair<std::size_t, std::size_t> letters);

// `size` bytes of lines "001:001 " followed by `words`, used over and over.
bool WriteWordCycle(std::FILE* out, std::uint64_t size, const std::vector<std::string>& words);

}  // namespace quorvex::docgen
