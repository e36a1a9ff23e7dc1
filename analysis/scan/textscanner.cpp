#include "analysis/scan/textscanner.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "analysis/scan/wordruns.h"

namespace quorvex {

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
constexpr std::uint64_t kCaseBits = kOnes * kCaseBit;
constexpr std::uint64_t kApostrophes = kOnes * kDeleted;

constexpr std::size_t kPacked = WordIndex::kPackedLetters;
// How far past a run's first byte the packing of a word of up to sixteen
// letters reads.
constexpr std::size_t kLoadReach = 2 * kPacked;
static_assert(kLoadReach <= kRunLoadReach);

// The low `length` bytes of a word, `length` from 1 to 8.
std::uint64_t ByteMask(std::size_t length) {
    return ~0ull >> (64 - 8 * length);
}

bool HasApostrophe(std::uint64_t packed, std::size_t length) {
    const std::uint64_t v = packed ^ kApostrophes;
    return ((v - kOnes) & ~v & kHighBits & ByteMask(length)) != 0;
}

std::uint64_t Load8(const std::uint8_t* p) {
    std::uint64_t packed = 0;
    std::memcpy(&packed, p, sizeof packed);
    return packed;
}

// Up to eight letters from where reading eight bytes is safe, folded to
// small letters, zeros after the last.
std::uint64_t FoldLetters(const std::uint8_t* p, std::size_t length) {
    return (Load8(p) | kCaseBits) & ByteMask(length);
}

// A word of one to sixteen letters, packed and folded: `middle` holds the
// letters after the eighth.
void TallyPackedWord(WordIndex& words, std::uint64_t prefix, std::uint64_t middle,
                     std::size_t length, FirstOccursPlace& place) {
    if (length <= kPacked) {
        words.QueueShort(prefix, place);
        return;
    }
    words.QueueLong(LongKey{prefix, middle}, place);
}

}  // namespace

TextScanner::TextScanner(AnalysisState& state, std::span<const std::uint8_t> source)
    : state_(state), sourceEnd_(source.data() + source.size()) {}

void TextScanner::Scan(std::span<const std::uint8_t> bytes) {
    CountBytes(bytes);
    TallyWords(bytes);
    state_.Words->CountQueued(place_);
}

void TextScanner::CountBytes(std::span<const std::uint8_t> bytes) {
    const std::uint8_t* p = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        ++counts_[0][p[i]];
        ++counts_[1][p[i + 1]];
        ++counts_[2][p[i + 2]];
        ++counts_[3][p[i + 3]];
    }
    for (; i < n; ++i) {
        ++counts_[0][p[i]];
    }
}

void TextScanner::Finish() {
    for (int b = 0; b < 256; ++b) {
        state_.CharCount[b] += static_cast<std::int64_t>(counts_[0][b]) + counts_[1][b] +
                               counts_[2][b] + counts_[3][b];
    }
}

// Almost every word has sixteen letters or fewer and no apostrophe: it is
// folded and packed in a few instructions, straight from `loadable`, where
// its bytes can be read kLoadReach at a time. The rest are laid out in full
// from `run`, the same bytes in the document. Returns the words counted.
// Inlined, as it is the heart of the scan.
[[gnu::always_inline]] inline int TextScanner::TallyLoadable(WordIndex& words,
                                                             const std::uint8_t* loadable,
                                                             const std::uint8_t* run,
                                                             std::size_t length, bool apostrophe) {
    if (length > kLoadReach) {
        return TallyRunSlowly(run, length);
    }
    if (apostrophe) {
        return TallyWithoutApostrophes(words, loadable, length);
    }
    if (length <= kPacked) {
        words.QueueShort(FoldLetters(loadable, length), place_);
    } else {
        TallyPackedWord(words, Load8(loadable) | kCaseBits,
                        FoldLetters(loadable + kPacked, length - kPacked), length, place_);
    }
    return 1;
}

// A run of up to sixteen bytes with an apostrophe: its letters are gathered
// and folded byte by byte, the apostrophes left out.
int TextScanner::TallyWithoutApostrophes(WordIndex& words, const std::uint8_t* loadable,
                                         std::size_t length) {
    std::array<std::uint8_t, kLoadReach> letters{};
    std::size_t kept = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (loadable[i] != kDeleted) {
            letters[kept++] = loadable[i] | kCaseBit;
        }
    }
    if (kept == 0) {
        return 0;
    }
    TallyPackedWord(words, Load8(letters.data()), Load8(letters.data() + kPacked), kept, place_);
    return 1;
}

// Every run of word bytes, in order; the words among them tallied.
void TextScanner::TallyWords(std::span<const std::uint8_t> bytes) {
    WordIndex& words = *state_.Words;
    std::int64_t counted = 0;
    WalkWordRuns(
        bytes, sourceEnd_,
        [&](const std::uint8_t* loadable, const std::uint8_t* run, std::size_t length,
            bool apostrophe) {
            counted += TallyLoadable(words, loadable, run, length, apostrophe);
        },
        [&](const std::uint8_t* run, std::size_t length) {
            counted += TallyRunSlowly(run, length);
        });
    totalWords_ += counted;
}

std::uint64_t TextScanner::LoadUpTo8(const std::uint8_t* bytes, std::size_t length) const {
    std::uint64_t packed = 0;
    if (bytes + 8 <= sourceEnd_) {
        std::memcpy(&packed, bytes, 8);
        return packed & ByteMask(length);
    }
    std::memcpy(&packed, bytes, length);
    return packed;
}

// A word of up to WordIndex::kLongestQueuedWord letters is laid out in the
// queue and counted with the words around it; a longer one, rare, is laid out straight in the
// index's room for letters, so that a word of any length is held once, and
// counted at once. A run of apostrophes alone is no word.
int TextScanner::TallyRunSlowly(const std::uint8_t* run, std::size_t length) {
    WordIndex& words = *state_.Words;
    const bool queued = length <= WordIndex::kLongestQueuedWord;
    if (!queued) {
        words.CountQueued(place_);
    }
    char* word = queued ? words.RoomForQueuedWord() : words.RoomForLetters(length + kPacked);
    const std::size_t letters = FoldWithoutApostrophes(run, length, word);
    if (letters == 0) {
        return 0;
    }
    if (queued) {
        words.Queue(std::string_view(word, letters), place_);
    } else {
        words.Tally(std::string_view(word, letters), place_);
    }
    return 1;
}

// Folds eight bytes at a time into `word`, which has room for `length`
// rounded up to eight; a run with an apostrophe is laid out again without
// them. Returns the letters kept.
std::size_t TextScanner::FoldWithoutApostrophes(const std::uint8_t* run, std::size_t length,
                                                char* word) const {
    bool apostrophes = false;
    for (std::size_t at = 0; at < length; at += kPacked) {
        const std::size_t chunk = std::min(length - at, kPacked);
        const std::uint64_t packed = LoadUpTo8(run + at, chunk);
        apostrophes = apostrophes || HasApostrophe(packed, chunk);
        const std::uint64_t folded = packed | (kCaseBits & ByteMask(chunk));
        std::memcpy(word + at, &folded, sizeof folded);
    }
    return apostrophes ? static_cast<std::size_t>(std::remove(word, word + length, kDeleted) - word)
                       : length;
}

}  // namespace quorvex
