// libFuzzer target for the PE resource layer: loads the input as a module, probes it through
// the module service, and for small inputs commits one update to it and checks the result.
#include "pe/module.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using ril::pe::kRtRcData;
using ril::pe::Module;

std::string const &ModulePath() {
    static const std::string path =
        "/tmp/ril4410_pe_fuzz_" + std::to_string(static_cast<long>(getpid())) + ".dll";
    return path;
}

bool WriteInput(std::uint8_t const *data, std::size_t size) {
    std::FILE *file = std::fopen(ModulePath().c_str(), "wb");
    if (file == nullptr)
        return false;
    bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// Reads every byte of what Find returns, so that a bad pointer or size shows under ASan.
std::uint32_t Probe(Module &module, std::uint16_t type, std::uint16_t name) {
    Module::Resource found = module.Find(type, name);
    std::uint32_t sum = 0;
    if (found.status == Module::FindStatus::Found)
        for (std::uint32_t i = 0; i < found.size; ++i)
            sum += found.data[i];
    return sum;
}

std::vector<std::uint8_t> Record(Module &module, std::uint16_t name) {
    Module::Resource found = module.Find(kRtRcData, name);
    if (found.status != Module::FindStatus::Found)
        return {static_cast<std::uint8_t>(found.status == Module::FindStatus::NotFound ? 1 : 2)};
    std::vector<std::uint8_t> bytes(found.data, found.data + found.size);
    bytes.insert(bytes.begin(), 0);
    return bytes;
}

// A committed update must be found afterwards, and must leave other records as they were.
void CheckUpdate(std::uint8_t const *data, std::size_t size) {
    const std::uint16_t name = size > 0 ? static_cast<std::uint16_t>(1 + data[size - 1] % 8) : 1;
    std::vector<std::vector<std::uint8_t>> before;
    if (auto module = ril::pe::LoadModule(ModulePath().c_str()))
        for (std::uint16_t id = 1; id <= 8; ++id)
            before.push_back(Record(*module, id));
    auto update = ril::pe::BeginResourceUpdate(ModulePath().c_str());
    if (!update)
        return;
    static char const kRecord[] = "fuzz-record";
    if (!update->Update(kRtRcData, name, 0, kRecord, sizeof kRecord) || !update->End(false))
        return;
    auto module = ril::pe::LoadModule(ModulePath().c_str());
    if (!module || before.size() != 8)
        std::abort(); // the update wrote a file that no longer loads
    for (std::uint16_t id = 1; id <= 8; ++id) {
        std::vector<std::uint8_t> now = Record(*module, id);
        std::vector<std::uint8_t> expected(1, 0);
        expected.insert(expected.end(), kRecord, kRecord + sizeof kRecord);
        if (id != name && now != before[id - 1])
            std::abort(); // an untouched record changed
        if (id == name && now != expected)
            std::abort(); // the new record is not what was written
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const *data, std::size_t size) {
    if (!WriteInput(data, size))
        return 0;
    if (auto module = ril::pe::LoadModule(ModulePath().c_str())) {
        volatile std::uint32_t sink = 0;
        for (std::uint16_t id = 0; id <= 300; ++id)
            sink = sink + Probe(*module, kRtRcData, id);
        for (std::uint16_t id : {0x7FFF, 0x8000, 0xFFFF})
            sink = sink + Probe(*module, kRtRcData, id);
        sink = sink + Probe(*module, 6, 1) + Probe(*module, 16, 1) + Probe(*module, 0, 1);
    }
    if (size <= 64 * 1024)
        CheckUpdate(data, size);
    std::remove(ModulePath().c_str());
    return 0;
}
