#include "tests/analysis/cornercasedocuments.h"

#include <array>
#include <cstdio>

#include "testsupport/docgen/hostiledocuments.h"

namespace quorvex::test {

int CornerCaseDocuments::Below(int bound) {
    return static_cast<int>(random_.Below(static_cast<std::uint32_t>(bound)));
}

bool CornerCaseDocuments::OneIn(int chances) {
    return Below(chances) == 0;
}

// A small alphabet makes words repeat, so counts above 1 are common.
char CornerCaseDocuments::Letter(int alphabetSize) {
    const char letter = static_cast<char>('a' + Below(alphabetSize));
    return OneIn(4) ? static_cast<char>(letter - 'a' + 'A') : letter;
}

std::string CornerCaseDocuments::ByteSoup() {
    const int length = OneIn(8) ? Below(2600) : Below(300);
    const int alphabetSize = 1 + Below(26);
    std::string document;
    for (int i = 0; i < length; ++i) {
        const int kind = Below(20);
        if (kind < 8) {
            document += Letter(alphabetSize);
        } else if (kind < 10) {
            document += ' ';
        } else if (kind < 11) {
            document += 'B';
        } else if (kind < 12) {
            document += '\r';
        } else if (kind < 14) {
            document += '\n';
        } else if (kind < 15) {
            document += '\'';
        } else {
            document += static_cast<char>(Below(256));
        }
    }
    return document;
}

std::string CornerCaseDocuments::Word(int alphabetSize) {
    std::string word;
    const int length = 1 + Below(6);
    for (int i = 0; i < length; ++i) {
        const int kind = Below(30);
        if (kind == 0) {
            word += '\'';
        } else if (kind == 1) {
            word += static_cast<char>('0' + Below(10));
        } else if (kind == 2) {
            word += static_cast<char>(128 + Below(128));
        } else {
            word += Letter(alphabetSize);
        }
    }
    return word;
}

std::string CornerCaseDocuments::Heading() {
    switch (Below(5)) {
        case 0:
            return "B";
        case 1:
            return std::string("Bk ") + static_cast<char>(128 + Below(128));
        case 2:
            return "Book 0" + std::to_string(Below(10));
        default: {
            char number[8];
            std::snprintf(number, sizeof number, "%02d", Below(100));
            return std::string("Book ") + number + (OneIn(2) ? " " : "X") + "Genesis\x92s Part";
        }
    }
}

std::string CornerCaseDocuments::TextLine(int alphabetSize) {
    char reference[16];
    std::snprintf(reference, sizeof reference, "%03d:%03d", Below(1000), Below(1000));
    std::string line = reference;
    if (OneIn(6)) {
        line[Below(7)] = static_cast<char>(128 + Below(128));
    }
    line += OneIn(5) ? "" : " ";
    const int words = Below(12);
    for (int i = 0; i < words; ++i) {
        line += Word(alphabetSize);
        static constexpr char kGaps[] = {' ', ' ', ' ', ',', '.', ';', '-', '\t'};
        line += kGaps[Below(sizeof kGaps)];
    }
    return line;
}

std::string CornerCaseDocuments::ShortLine(int alphabetSize) {
    std::string line;
    const int length = Below(6);
    for (int i = 0; i < length; ++i) {
        line += OneIn(4) ? ' ' : Letter(alphabetSize);
    }
    return line;
}

std::string CornerCaseDocuments::WellFormed() {
    const std::string lineEnd = OneIn(3) ? "\n" : "\r\n";
    const int alphabetSize = 1 + Below(26);
    const int lines = OneIn(10) ? Below(120) : Below(25);
    std::string document;
    for (int i = 0; i < lines; ++i) {
        const int kind = Below(12);
        if (kind < 2) {
            document += Heading();
        } else if (kind < 3) {
            document += ' ' + TextLine(alphabetSize);
        } else if (kind < 5) {
            document += ShortLine(alphabetSize);
        } else {
            document += TextLine(alphabetSize);
        }
        const bool last = i + 1 == lines;
        if (!last || OneIn(2)) {
            document += OneIn(20) ? (lineEnd == "\n" ? "\r\n" : "\n") : lineEnd;
        }
    }
    return document;
}

// Headings of up to some thousands of bytes, any byte but a line feed, often
// the same text as an earlier one or an earlier one extended, so that first
// occurrences share long beginnings.
std::string CornerCaseDocuments::LongHeading() {
    std::string heading(1, 'B');
    if (!headings_.empty() && OneIn(2)) {
        heading = headings_[static_cast<std::size_t>(Below(static_cast<int>(headings_.size())))];
    }
    const int more = OneIn(3) ? 0 : Below(OneIn(4) ? 5000 : 300);
    for (int i = 0; i < more; ++i) {
        const char byte = static_cast<char>(OneIn(3) ? 128 + Below(128) : 32 + Below(95));
        heading += byte == '\n' ? ' ' : byte;
    }
    headings_.push_back(heading);
    return heading;
}

// Words longer than the sixteen letters the index packs, often sharing all
// but their last letters, on both sides of the longest the scan queues, some
// with apostrophes among their letters.
std::string CornerCaseDocuments::LongWord() {
    std::string word(static_cast<std::size_t>(9 + Below(OneIn(5) ? 6000 : 70)), 'w');
    for (char& letter : word) {
        if (OneIn(20)) {
            letter = OneIn(4) ? '\'' : Letter(3);
        }
    }
    return word;
}

// Up to 200 words sharing their first 7, 8, 16 or 58 letters, then a few
// more, and now and then those letters cut short or a word that parts from
// them, at times so many that their letters are the keys' once again.
std::string CornerCaseDocuments::SharedPrefixWords() {
    const int shared = std::array{7, 8, 16, 58}[static_cast<std::size_t>(Below(4))];
    const std::string prefix(static_cast<std::size_t>(shared), Letter(26));
    const int partingEvery = OneIn(4) ? 3 : 50;
    std::string line;
    for (int count = 1 + Below(200); count > 0; --count) {
        line += ' ' + (OneIn(20) ? prefix.substr(0, 1 + Below(shared)) + ' ' : "") +
                (OneIn(partingEvery) ? prefix.substr(0, Below(shared)) + Letter(26) + ' ' : "") +
                prefix;
        for (int more = shared == 58 ? 6 : Below(12); more > 0; --more) {
            line += Letter(shared == 58 ? 3 : 2);
        }
    }
    return line;
}

// Words made from a counter, so that each is new.
std::string CornerCaseDocuments::NewWords(int count) {
    std::string line;
    for (int i = 0; i < count; ++i) {
        line += docgen::CounterWord(random_.Below(2000000)) + (OneIn(3) ? "'s " : " ");
    }
    return line;
}

std::string CornerCaseDocuments::Hostile() {
    headings_.clear();
    const std::string lineEnd = OneIn(3) ? "\n" : "\r\n";
    // A document of one line shares its words' first letters, but for those cut short.
    const int lines = OneIn(4) ? 1 : Below(OneIn(10) ? 400 : 40);
    std::string document;
    for (int i = 0; i < lines; ++i) {
        switch (lines == 1 ? 3 : Below(7)) {
            case 0:
                document += LongHeading();
                break;
            case 1:
                document +=
                    "001:" + std::to_string(100 + Below(900)) + " " + LongWord() + " " + LongWord();
                break;
            case 2:
                document += std::to_string(1000000 + Below(9000000)) + NewWords(1 + Below(60));
                break;
            case 3:
                document += "0000000" + SharedPrefixWords();
                break;
            default:
                document += "0000000" + NewWords(1 + Below(3));
                break;
        }
        document += lineEnd;
    }
    return document;
}

}  // namespace quorvex::test
