#pragma once

#include <clocale>
#include <string>

namespace quorvex::test {

// Switches the C library to a locale for as long as it lives, as Qt does for
// the whole program at start-up, and switches it back afterwards.
class CLibraryLocale {
  public:
    explicit CLibraryLocale(const char* name) : saved_(std::setlocale(LC_ALL, nullptr)) {
        std::setlocale(LC_ALL, name);
    }
    ~CLibraryLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    CLibraryLocale(const CLibraryLocale&) = delete;
    CLibraryLocale& operator=(const CLibraryLocale&) = delete;

    // The C library's decimal point now: a locale that is not installed
    // leaves the previous one in force, so a test checks this first.
    static std::string DecimalPoint() { return std::localeconv()->decimal_point; }

  private:
    std::string saved_;
};

}  // namespace quorvex::test
