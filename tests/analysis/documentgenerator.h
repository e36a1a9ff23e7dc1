#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace quorvex::test {

// Small documents that stress the scan: byte soup over all 256 values,
// documents of heading, text, short and skipped lines in both line-ending
// styles, and the shapes a hostile document takes: long headings over many
// lines of new words, very long words, thousands of distinct words.
// Deterministic for a given seed.
class DocumentGenerator {
  public:
    explicit DocumentGenerator(std::uint32_t seed) : random_(seed) {}

    std::string ByteSoup();
    std::string WellFormed();
    std::string Hostile();

  private:
    int Below(int bound);
    bool OneIn(int chances);
    char Letter(int alphabetSize);
    std::string Word(int alphabetSize);
    std::string Heading();
    std::string TextLine(int alphabetSize);
    std::string ShortLine(int alphabetSize);
    std::string LongHeading();
    std::string LongWord();
    std::string NewWords(int count);

    std::vector<std::string> headings_;  // so that later headings repeat or extend earlier ones

    std::mt19937 random_;
};

}  // namespace quorvex::test
