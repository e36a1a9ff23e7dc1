#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "testsupport/docgen/randomsource.h"

namespace quorvex::test {

// Small documents full of the scan's corner cases, for comparing the engine
// with the model: byte soup over all 256 values, documents of heading, text,
// short and skipped lines in both line-ending styles, with or without a last
// line feed, and the shapes a hostile document takes: long headings over many
// lines of new words, very long words, thousands of distinct words. The same
// seed gives the same documents with any compiler and standard library.
class CornerCaseDocuments {
  public:
    explicit CornerCaseDocuments(std::uint64_t seed) : random_(seed) {}

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
    std::string SharedPrefixWords();

    std::vector<std::string> headings_;  // so that later headings repeat or extend earlier ones

    docgen::RandomSource random_;
};

}  // namespace quorvex::test
