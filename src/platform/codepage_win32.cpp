// Code-page conversion on Windows through MultiByteToWideChar and WideCharToMultiByte with
// flags 0 and no default character; a failure carries GetLastError's number.
#include "platform/codepage.h"

#include <windows.h>

#include <atomic>

namespace ril::platform {
namespace {

static_assert(sizeof(wchar_t) == sizeof(std::uint16_t), "UTF-16 units are wchar_t on Windows");

std::atomic<unsigned> chosenAnsiCodePage{0}; // 0: the system's ANSI code page

// The code page handed to Windows: code page 0 is the calling thread's own, else the chosen
// one, else CP_ACP.
UINT Effective(unsigned codePage) {
    if (codePage != 0)
        return codePage;
    if (unsigned const own = ThreadCodePage(); own != 0)
        return own;
    unsigned chosen = chosenAnsiCodePage.load();
    return chosen != 0 ? chosen : CP_ACP;
}

Conversion Result(int count) {
    return count != 0 ? Conversion{count, 0} : Conversion{0, GetLastError()};
}

} // namespace

Conversion MultiByteToWide(unsigned codePage, char const *source, int sourceLength,
                           std::uint16_t *destination, int destinationSize) {
    return Result(MultiByteToWideChar(Effective(codePage), 0, source, sourceLength,
                                      reinterpret_cast<LPWSTR>(destination), destinationSize));
}

Conversion WideToMultiByte(unsigned codePage, std::uint16_t const *source, int sourceLength,
                           char *destination, int destinationSize) {
    return Result(WideCharToMultiByte(Effective(codePage), 0, reinterpret_cast<LPCWSTR>(source),
                                      sourceLength, destination, destinationSize, nullptr,
                                      nullptr));
}

unsigned SetAnsiCodePage(unsigned codePage) {
    return chosenAnsiCodePage.exchange(codePage);
}

unsigned AnsiCodePage() {
    UINT const effective = Effective(0);
    return effective != CP_ACP ? effective : GetACP();
}

unsigned ChosenAnsiCodePage() {
    return chosenAnsiCodePage.load();
}

} // namespace ril::platform
