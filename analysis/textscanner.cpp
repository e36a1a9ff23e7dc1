#include "analysis/textscanner.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvex {

namespace {

constexpr std::size_t kBlock = 64;
constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
constexpr std::uint64_t kCaseBits = 0x2020202020202020ull;
constexpr std::uint64_t kApostrophes = 0x2727272727272727ull;

// The low `length` bytes of a word, all ones for eight.
std::uint64_t ByteMask(std::size_t length) {
    return length >= 8 ? ~0ull : (1ull << (8 * length)) - 1;
}

bool HasApostrophe(std::uint64_t packed, std::size_t length) {
    const std::uint64_t v = packed ^ kApostrophes;
    return ((v - kOnes) & ~v & kHighBits & ByteMask(length)) != 0;
}

#if defined(__SSE2__)
// One bit per byte of 16: set for a letter of either case or an apostrophe.
unsigned WordBytes16(const std::uint8_t* p) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // (b | 0x20) - 'a' below 26, as a signed compare: shifted so that the 26
    // letters land on the lowest signed values.
    const __m128i folded = _mm_or_si128(bytes, _mm_set1_epi8(0x20));
    const __m128i shifted = _mm_add_epi8(folded, _mm_set1_epi8(static_cast<char>(128 - 'a')));
    const __m128i letter = _mm_cmplt_epi8(shifted, _mm_set1_epi8(static_cast<char>(-128 + 26)));
    const __m128i apostrophe = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(kDeleted)));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(letter, apostrophe)));
}

std::uint64_t WordBytes64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(WordBytes16(p)) |
           static_cast<std::uint64_t>(WordBytes16(p + 16)) << 16 |
           static_cast<std::uint64_t>(WordBytes16(p + 32)) << 32 |
           static_cast<std::uint64_t>(WordBytes16(p + 48)) << 48;
}
#else
bool IsWordByte(std::uint8_t b) {
    return static_cast<std::uint8_t>((b | 0x20) - 'a') < 26 || b == kDeleted;
}

std::uint64_t WordBytes64(const std::uint8_t* p) {
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < kBlock; ++i) {
        mask |= static_cast<std::uint64_t>(IsWordByte(p[i])) << i;
    }
    return mask;
}
#endif

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

// Bit i set when byte i of the block is a letter or an apostrophe; bits past
// `available` are clear, so a run reaching the end of the range ends there.
// The block is read in place even where the range ends inside it, as long as
// it lies within the document: only the document's last bytes are copied.
std::uint64_t TextScanner::WordByteMask(const std::uint8_t* block, std::size_t available) const {
    std::uint64_t mask = 0;
    if (block + kBlock <= sourceEnd_) {
        mask = WordBytes64(block);
    } else {
        std::uint8_t copy[kBlock] = {};
        std::memcpy(copy, block, std::min(available, kBlock));
        mask = WordBytes64(copy);
    }
    return available >= kBlock ? mask : mask & ((1ull << available) - 1);
}

// Walks the runs of word bytes, a 64-byte block at a time, with bit tricks
// instead of a branch per byte. A run may go on from one block to the next.
void TextScanner::TallyWords(std::span<const std::uint8_t> bytes) {
    const std::uint8_t* base = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t openRun = n;  // start of a run still open at a block's end
    for (std::size_t at = 0; at < n; at += kBlock) {
        std::uint64_t mask = WordByteMask(base + at, n - at);
        std::size_t bit = 0;
        if (openRun != n) {
            if (mask == ~0ull) {
                continue;
            }
            bit = static_cast<std::size_t>(std::countr_one(mask));
            TallyRun(base + openRun, at + bit - openRun);
            openRun = n;
            mask &= ~0ull << bit;
        }
        while (mask != 0) {
            const auto start = static_cast<std::size_t>(std::countr_zero(mask));
            const std::uint64_t fromStart = mask >> start;
            if (fromStart == ~0ull >> start) {
                openRun = at + start;
                break;
            }
            const auto length = static_cast<std::size_t>(std::countr_one(fromStart));
            TallyRun(base + at + start, length);
            mask &= ~0ull << (start + length);
        }
    }
    if (openRun != n) {
        TallyRun(base + openRun, n - openRun);
    }
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

// Almost every word has sixteen letters or fewer and no apostrophe: it is
// folded and packed in a few instructions. The rest are laid out in full.
void TextScanner::TallyRun(const std::uint8_t* run, std::size_t length) {
    constexpr std::size_t kPacked = WordStore::kPackedLetters;
    if (length <= kPacked) {
        const std::uint64_t packed = LoadUpTo8(run, length);
        if (!HasApostrophe(packed, length)) {
            ++totalWords_;
            state_.Words->QueueShort(packed | (kCaseBits & ByteMask(length)), place_);
            return;
        }
    } else if (length <= 2 * kPacked) {
        const std::uint64_t prefix = LoadUpTo8(run, kPacked);
        const std::uint64_t middle = LoadUpTo8(run + kPacked, length - kPacked);
        if (!HasApostrophe(prefix, kPacked) && !HasApostrophe(middle, length - kPacked)) {
            ++totalWords_;
            state_.Words->QueueLong(
                LongKey{prefix | kCaseBits, middle | (kCaseBits & ByteMask(length - kPacked))},
                place_);
            return;
        }
    }
    TallyRunSlowly(run, length);
}

// Folds eight bytes at a time, straight into the store's room for letters,
// so that a word of any length is held once; a run with an apostrophe is
// laid out again without them. A run of apostrophes alone is no word.
void TextScanner::TallyRunSlowly(const std::uint8_t* run, std::size_t length) {
    WordStore& words = *state_.Words;
    words.CountQueued(place_);
    char* word = words.RoomForLetters(length + WordStore::kPackedLetters);
    bool apostrophes = false;
    for (std::size_t at = 0; at < length; at += WordStore::kPackedLetters) {
        const std::size_t chunk = std::min(length - at, WordStore::kPackedLetters);
        const std::uint64_t packed = LoadUpTo8(run + at, chunk);
        apostrophes = apostrophes || HasApostrophe(packed, chunk);
        const std::uint64_t folded = packed | (kCaseBits & ByteMask(chunk));
        std::memcpy(word + at, &folded, sizeof folded);
    }
    const std::size_t letters =
        apostrophes ? static_cast<std::size_t>(std::remove(word, word + length, kDeleted) - word)
                    : length;
    if (letters > 0) {
        ++totalWords_;
        words.Tally(std::string_view(word, letters), place_);
    }
}

}  // namespace quorvex
