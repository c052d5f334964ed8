// Failure injection counters; inert unless a test arms them.
#include "platform/fault.h"

#include <array>

namespace ril::platform {
namespace {
std::array<int, static_cast<int>(Fault::Count)> &Countdowns() {
    static std::array<int, static_cast<int>(Fault::Count)> countdowns{};
    return countdowns;
}
} // namespace

void ArmFault(Fault fault, int countdown) {
    Countdowns()[static_cast<int>(fault)] = countdown;
}

void DisarmAllFaults() {
    Countdowns().fill(0);
}

bool ShouldFail(Fault fault) {
    int &left = Countdowns()[static_cast<int>(fault)];
    if (left <= 0)
        return false;
    return --left == 0;
}

} // namespace ril::platform
