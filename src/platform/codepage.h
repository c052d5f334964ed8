// Code-page conversion with the conventions of the Windows calls (flags 0): results count
// characters of the destination, 0 means failure with a Windows error number.
#pragma once

#include <cstdint>
#include <string>

namespace ril::platform {

constexpr unsigned long kErrorInvalidParameter = 87;
constexpr unsigned long kErrorInsufficientBuffer = 122;
constexpr unsigned long kErrorNoUnicodeTranslation = 1113;

struct Conversion {
    int count = 0;           // destination characters produced (or needed); 0 on failure
    unsigned long error = 0; // the Windows error number when count is 0
};

// Like MultiByteToWideChar(codePage, 0, ...). A source length of -1 converts up to and
// including the source's terminator; a destination size of 0 asks for the size only.
// Invalid input becomes U+FFFD.
Conversion MultiByteToWide(unsigned codePage, char const *source, int sourceLength,
                           std::uint16_t *destination, int destinationSize);
// Like WideCharToMultiByte(codePage, 0, ..., NULL, NULL). Unmappable characters become '?'.
Conversion WideToMultiByte(unsigned codePage, std::uint16_t const *source, int sourceLength,
                           char *destination, int destinationSize);

// The code page that code page 0 stands for. Setting 0 restores the platform default;
// the previous setting is returned (0 when the default was in force).
unsigned SetAnsiCodePage(unsigned codePage);
unsigned AnsiCodePage();
// The code page set for code page 0; 0 while the platform default is in force.
unsigned ChosenAnsiCodePage();

// While it lives, code page 0 stands for `codePage` in the calling thread alone (a file read
// by its UTF-8 signature); every other thread keeps the process-wide setting. Scopes nest.
class ThreadAnsiCodePage {
  public:
    explicit ThreadAnsiCodePage(unsigned codePage);
    ~ThreadAnsiCodePage();
    ThreadAnsiCodePage(ThreadAnsiCodePage const &) = delete;
    ThreadAnsiCodePage &operator=(ThreadAnsiCodePage const &) = delete;

  private:
    unsigned previous_;
};
// The calling thread's code page for code page 0 while a ThreadAnsiCodePage lives, else 0.
unsigned ThreadCodePage();

// Zero-terminated text in the ANSI code page as UTF-8 (for presenting messages).
std::string AnsiToUtf8(char const *text);

} // namespace ril::platform
