// Test driver for the module service, used by the interoperability test:
//   pe_module_tool update MODULE OP...   OP = add:ID:TEXT | big:ID:COUNT | del:ID (language 0)
//   pe_module_tool find IDS MODULE...    IDS comma-separated; per module "== MODULE", then
//                                         "ID: SIZE HEXBYTES" or "ID: none" per ID
#include "platform/module.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using ril::platform::kRtRcData;
using ril::platform::Module;

bool Queue(ril::platform::ResourceUpdate &update, std::string const &op) {
    char *end = nullptr;
    auto const id = static_cast<std::uint16_t>(std::strtoul(op.c_str() + 4, &end, 0));
    if (op.starts_with("del:"))
        return update.Update(kRtRcData, id, 0, nullptr, 0);
    if (*end != ':' || !(op.starts_with("add:") || op.starts_with("big:")))
        return false;
    std::vector<std::uint8_t> bytes(op.begin() + (end + 1 - op.c_str()), op.end());
    if (op[0] == 'b') { // COUNT bytes of a pattern that depends on the ID
        bytes.resize(std::strtoul(end + 1, nullptr, 0));
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>('A' + (id + i) % 26);
    }
    return update.Update(kRtRcData, id, 0, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

int Update(char const *path, int count, char **ops) {
    auto update = ril::platform::BeginResourceUpdate(path);
    for (int i = 0; update && i < count; ++i)
        if (!Queue(*update, ops[i]))
            return std::printf("refused: %s\n", ops[i]), 1;
    return update && update->End(false) ? 0 : (std::printf("updating %s failed\n", path), 1);
}

// Prints, per module, the record of each ID as the interop checks compare it with Wine's.
int Find(char const *ids, int count, char **paths) {
    for (int i = 0; i < count; ++i) {
        std::printf("== %s\n", paths[i]);
        auto module = ril::platform::LoadModule(paths[i]);
        if (!module)
            std::printf("load failed\n");
        for (char const *p = ids; module && *p != '\0'; p += *p == ',') {
            char *end = nullptr;
            auto const id = static_cast<unsigned>(std::strtoul(p, &end, 0));
            p = end;
            auto found = module->Find(kRtRcData, static_cast<std::uint16_t>(id));
            bool const hit = found.status == Module::FindStatus::Found;
            std::printf(hit ? "%u: %u " : "%u: none", id, static_cast<unsigned>(found.size));
            for (std::uint32_t j = 0; hit && j < found.size; ++j)
                std::printf("%02x", found.data[j]);
            std::printf("\n");
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    const std::string command = argc >= 3 ? argv[1] : "";
    if (command == "update" || command == "find")
        return (command == "update" ? Update : Find)(argv[2], argc - 3, argv + 3);
    std::fprintf(stderr, "usage: %s update MODULE OP... | find IDS MODULE...\n", argv[0]);
    return 2;
}
