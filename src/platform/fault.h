// Failure injection for tests: makes a chosen platform operation fail on its Nth next use,
// so that the error paths of writers and loaders can be exercised deterministically.
#pragma once

namespace ril::platform {

enum class Fault { FileOpen, FileRead, FileWrite, FileClose, Alloc, Count };

// Arms `fault` so that its `countdown`-th next use fails (1: the very next one). 0 disarms.
void ArmFault(Fault fault, int countdown);
void DisarmAllFaults();
// Called by the operation itself; true when this use must fail.
bool ShouldFail(Fault fault);

} // namespace ril::platform
