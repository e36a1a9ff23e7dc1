#include "analysis/documentscan.h"

#include <chrono>
#include <span>
#include <string>
#include <string_view>

#include "analysis/linereader.h"

namespace quorvex {

namespace {

constexpr std::int64_t kBytesBetweenProgressDraws = 1000;
constexpr std::size_t kLineRefLength = 7;
constexpr std::size_t kInitialWordCapacity = 1024;

std::string_view AsText(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// A heading line's text: its line ending removed, byte 8 blanked, and two
// spaces added where the ending was.
std::string HeadingText(std::span<const std::uint8_t> line) {
    std::string_view text = AsText(line);
    if (text.ends_with("\r\n")) {
        text.remove_suffix(2);
    } else if (text.ends_with('\n')) {
        text.remove_suffix(1);
    }
    std::string heading(text);
    if (heading.size() >= 8) {
        heading[7] = ' ';
    }
    heading += "  ";
    return heading;
}

// Folds and counts the bytes of text lines and tallies their words.
class Scanner {
  public:
    explicit Scanner(AnalysisState& state) : state_(state), word_(kInitialWordCapacity, '\0') {}

    void TakeLine(std::span<const std::uint8_t> line) {
        const std::uint8_t first = line.front();
        if (first == 'B') {
            place_.SetHeading(HeadingText(line));
        } else if (first == ' ') {
            return;
        } else if (line.size() >= kLineRefLength + 1) {
            place_.SetLineRef(AsText(line.first(kLineRefLength)));
            ScanBytes(line.subspan(kLineRefLength));
        } else {
            ScanBytes(line);
        }
    }

    // A word still open when the document ends is a word all the same.
    void FinishDocument() {
        if (wordLength_ > 0) {
            FinishWord();
        }
    }

    std::int64_t TotalWords() const { return totalWords_; }

  private:
    // The map sends every byte to a small letter, the apostrophe (dropped
    // from the word, which goes on) or a space (ends the word). Every byte
    // is counted once, the apostrophe included.
    void ScanBytes(std::span<const std::uint8_t> bytes) {
        auto& count = state_.CharCount;
        const auto& map = state_.CharMap;
        std::size_t length = wordLength_;
        for (const std::uint8_t b : bytes) {
            ++count[b];
            const std::uint8_t c = map[b];
            if (c > kDeleted) {
                if (length == word_.size()) {
                    word_.resize(word_.size() * 2);
                }
                word_[length++] = static_cast<char>(c);
            } else if (c == kSeparator && length > 0) {
                wordLength_ = length;
                FinishWord();
                length = 0;
            }
        }
        wordLength_ = length;
    }

    void FinishWord() {
        ++totalWords_;
        state_.Words.Tally(std::string_view(word_.data(), wordLength_), place_);
        wordLength_ = 0;
    }

    AnalysisState& state_;
    FirstOccursPlace place_;
    std::string word_;
    std::size_t wordLength_ = 0;
    std::int64_t totalWords_ = 0;
};

ProgressPoint EmptyBar() {
    ProgressPoint point;
    point.maxValue = 1;
    return point;
}

ProgressPoint BarAt(std::int64_t position, std::int64_t sourceLength) {
    ProgressPoint point;
    point.maxValue = sourceLength;
    point.value = position;
    point.barColor = kPureBlue;
    return point;
}

}  // namespace

std::optional<ScanOutcome> ScanDocument(AnalysisState& state, RunHooks& hooks) {
    const auto startTime = std::chrono::steady_clock::now();
    InitAnalysisTables(state);
    Scanner scanner(state);
    hooks.ScanStarted(EmptyBar());

    std::int64_t position = 1;
    std::span<const std::uint8_t> lineBytes;
    std::int64_t lineLength = 0;
    std::int64_t progressBytes = 0;
    while (ReadNextLine(state, position, lineBytes, lineLength)) {
        progressBytes += lineLength;
        if (progressBytes > kBytesBetweenProgressDraws) {
            hooks.DrawProgress(BarAt(position, state.SourceLength));
            progressBytes = 0;
        }
        scanner.TakeLine(lineBytes);
        if (hooks.LineDone() == RunControl::Stop) {
            return std::nullopt;
        }
    }
    scanner.FinishDocument();

    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - startTime;
    hooks.ScanEnded();
    return ScanOutcome{scanner.TotalWords(), elapsed.count()};
}

}  // namespace quorvex
