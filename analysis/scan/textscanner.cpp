#include "analysis/scan/textscanner.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "analysis/scan/wordrule.h"

// QUORVEX_PORTABLE_SCAN builds the portable masks on any processor, so that
// they are tested where the program is built.
#if defined(__SSE2__) && !defined(QUORVEX_PORTABLE_SCAN)
#define QUORVEX_SSE2_SCAN 1
#include <emmintrin.h>
#endif

namespace quorvex {

namespace {

// The shortcuts below rest on three facts about the word rule: the letters
// of each case are one run of byte values, a letter folds by setting one
// bit, and the apostrophe is the only byte dropped, which that bit leaves
// as it is.
constexpr std::uint8_t kCaseBit = 0x20;
constexpr std::uint8_t kFirstLetter = 'a';
constexpr std::uint8_t kLetterCount = 26;

constexpr bool IsLetterByRange(std::uint8_t byte) {
    return static_cast<std::uint8_t>((byte | kCaseBit) - kFirstLetter) < kLetterCount;
}

constexpr bool WordRuleFitsTheShortcuts() {
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        const std::uint8_t rule = kWordRule[byte];
        const bool letter = rule != kSeparator && rule != kDeleted;
        if (letter != IsLetterByRange(byte) || (letter && rule != (byte | kCaseBit)) ||
            (rule == kDeleted) != (byte == kDeleted)) {
            return false;
        }
    }
    return (kDeleted | kCaseBit) == kDeleted;
}
static_assert(WordRuleFitsTheShortcuts());

constexpr std::size_t kBlock = 64;
constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
constexpr std::uint64_t kCaseBits = kOnes * kCaseBit;
constexpr std::uint64_t kApostrophes = kOnes * kDeleted;

constexpr std::size_t kPacked = WordIndex::kPackedLetters;
// How far past a run's first byte the packing of a word of up to sixteen
// letters reads.
constexpr std::size_t kLoadReach = 2 * kPacked;

// The low `length` bytes of a word, `length` from 1 to 8.
std::uint64_t ByteMask(std::size_t length) {
    return ~0ull >> (64 - 8 * length);
}

bool HasApostrophe(std::uint64_t packed, std::size_t length) {
    const std::uint64_t v = packed ^ kApostrophes;
    return ((v - kOnes) & ~v & kHighBits & ByteMask(length)) != 0;
}

// One bit per byte of a 64-byte block: `word` for a letter of either case or
// an apostrophe, `apostrophes` for an apostrophe.
struct BlockMasks {
    std::uint64_t word = 0;
    std::uint64_t apostrophes = 0;
};

#if defined(QUORVEX_SSE2_SCAN)
BlockMasks Masks16(const std::uint8_t* p) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // IsLetterByRange as a signed compare: shifted so that the letters land
    // on the lowest signed values.
    const __m128i folded = _mm_or_si128(bytes, _mm_set1_epi8(kCaseBit));
    const __m128i shifted =
        _mm_add_epi8(folded, _mm_set1_epi8(static_cast<char>(128 - kFirstLetter)));
    const __m128i letter =
        _mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(-128 + kLetterCount)));
    const __m128i apostrophe = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(kDeleted)));
    return {static_cast<std::uint64_t>(_mm_movemask_epi8(_mm_or_si128(letter, apostrophe))),
            static_cast<std::uint64_t>(_mm_movemask_epi8(apostrophe))};
}

BlockMasks Masks64(const std::uint8_t* p) {
    BlockMasks masks;
    for (int part = 0; part < 4; ++part) {
        const BlockMasks quarter = Masks16(p + 16 * part);
        masks.word |= quarter.word << (16 * part);
        masks.apostrophes |= quarter.apostrophes << (16 * part);
    }
    return masks;
}
#else
BlockMasks Masks64(const std::uint8_t* p) {
    BlockMasks masks;
    for (std::size_t i = 0; i < kBlock; ++i) {
        const std::uint8_t rule = kWordRule[p[i]];
        masks.word |= std::uint64_t{rule != kSeparator} << i;
        masks.apostrophes |= std::uint64_t{rule == kDeleted} << i;
    }
    return masks;
}
#endif

// Where the one bit set in `bit` is.
std::size_t BitIndex(std::uint64_t bit) {
    return static_cast<std::size_t>(__builtin_ctzll(bit));
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

using BlockCopy = std::array<std::uint8_t, kBlock + kLoadReach>;

// The masks of a block, cleared past `available`, so that a run reaching the
// end of the range ends there. Where reading kLoadReach bytes past the block
// could leave the document, the block is copied, zeros after it, and
// `block` then points at the copy.
BlockMasks MasksAt(const std::uint8_t*& block, std::size_t available, const std::uint8_t* sourceEnd,
                   BlockCopy& copy) {
    if (block + kBlock + kLoadReach > sourceEnd) {
        std::fill(copy.begin(), copy.end(), 0);
        std::memcpy(copy.data(), block, std::min(available, kBlock));
        block = copy.data();
    }
    BlockMasks masks = Masks64(block);
    if (available < kBlock) {
        const std::uint64_t inRange = (1ull << available) - 1;
        masks.word &= inRange;
        masks.apostrophes &= inRange;
    }
    return masks;
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

// Walks the runs of word bytes, a 64-byte block at a time, with bit tricks
// instead of a branch per byte: each run is where a bit of `starts` and the
// next bit of `ends` say.
void TextScanner::TallyWords(std::span<const std::uint8_t> bytes) {
    WordIndex& words = *state_.Words;
    const std::uint8_t* base = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t openRun = n;  // start of a run still open at a block's end
    std::int64_t counted = 0;
    BlockCopy copy;
    for (std::size_t at = 0, next = 0; at < n; at = next) {
        next = at + kBlock;
        const std::uint8_t* block = base + at;
        const BlockMasks masks = MasksAt(block, n - at, sourceEnd_, copy);
        std::uint64_t mask = masks.word;
        if (openRun != n) {
            if (mask == ~0ull) {
                continue;
            }
            const auto bit = static_cast<std::size_t>(std::countr_one(mask));
            counted += TallyRun(words, base + openRun, at + bit - openRun);
            openRun = n;
            mask &= ~0ull << bit;
        }
        // A run reaching the block's end is left to the next block, which
        // then begins where the run does; only a run longer than a block is
        // followed from block to block.
        if ((mask >> (kBlock - 1)) != 0) {
            const auto lastStart = kBlock - static_cast<std::size_t>(std::countl_one(mask));
            if (lastStart == 0) {
                openRun = at;
                continue;
            }
            next = at + lastStart;
            mask &= ~(~0ull << lastStart);
        }
        std::uint64_t starts = mask & ~(mask << 1);
        std::uint64_t ends = mask & ~(mask >> 1);
        while (starts != 0) {
            const std::uint64_t startBit = starts & (0 - starts);
            const std::uint64_t endBit = ends & (0 - ends);
            starts ^= startBit;
            ends ^= endBit;
            const std::size_t start = BitIndex(startBit);
            const std::size_t length = BitIndex(endBit) + 1 - start;
            // (endBit << 1) - startBit is the run's bits, wrapping as it should
            // for a run that ends at bit 63
            const bool apostrophe = (masks.apostrophes & ((endBit << 1) - startBit)) != 0;
            counted += TallyLoadable(words, block + start, base + at + start, length, apostrophe);
        }
    }
    if (openRun != n) {
        counted += TallyRun(words, base + openRun, n - openRun);
    }
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

// A run longer than a block.
int TextScanner::TallyRun(WordIndex& words, const std::uint8_t* run, std::size_t length) {
    if (length > kLoadReach || run + kLoadReach > sourceEnd_) {
        return TallyRunSlowly(run, length);
    }
    const bool apostrophe =
        HasApostrophe(Load8(run), std::min(length, kPacked)) ||
        (length > kPacked && HasApostrophe(Load8(run + kPacked), length - kPacked));
    return TallyLoadable(words, run, run, length, apostrophe);
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
