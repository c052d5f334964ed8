// The exported array lookup: array[id], nothing else.
#include "exported_array.h"

namespace {
void const *const *theTexts = nullptr;
}

void BenchArraySet(void const *const *texts) {
    theTexts = texts;
}

void const *BenchArrayGet(std::uint32_t id) {
    return theTexts[id];
}
