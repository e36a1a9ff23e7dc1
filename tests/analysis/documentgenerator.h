#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace quorvex::test {

// Small documents that stress the scan: byte soup over all 256 values, and
// documents of heading, text, short and skipped lines in both line-ending
// styles. Deterministic for a given seed.
class DocumentGenerator {
  public:
    explicit DocumentGenerator(std::uint32_t seed) : random_(seed) {}

    std::string ByteSoup();
    std::string WellFormed();

  private:
    int Below(int bound);
    bool OneIn(int chances);
    char Letter(int alphabetSize);
    std::string Word(int alphabetSize);
    std::string Heading();
    std::string TextLine(int alphabetSize);
    std::string ShortLine(int alphabetSize);

    std::mt19937 random_;
};

}  // namespace quorvex::test
