// Test driver for the module service, used by the interoperability and concurrency tests:
//   pe_module_tool update MODULE OP...   OP = add:ID:TEXT | big:ID:COUNT | del:ID (language 0)
//   pe_module_tool find IDS MODULE...    IDS comma-separated; per module "== MODULE", then
//                                         "ID: SIZE HEXBYTES" or "ID: none" per ID
//   pe_module_tool commit MODULE ID...   one editing session per ID commits ITEM_<ID> "<ID>"
#include "Ril4410.h"
#include "pe/module.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using ril::pe::kRtRcData;
using ril::pe::Module;

bool Queue(ril::pe::ResourceUpdate &update, std::string const &op) {
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
    auto update = ril::pe::BeginResourceUpdate(path);
    for (int i = 0; update && i < count; ++i)
        if (!Queue(*update, ops[i]))
            return std::printf("refused: %s\n", ops[i]), 1;
    return update && update->End(false) ? 0 : (std::printf("updating %s failed\n", path), 1);
}

// Prints, per module, the record of each ID as the interop checks compare it with Wine's.
int Find(char const *ids, int count, char **paths) {
    for (int i = 0; i < count; ++i) {
        std::printf("== %s\n", paths[i]);
        auto module = ril::pe::LoadModule(paths[i]);
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

// Commits each item in a session of its own, as concurrent editors of a module would.
int Commit(char const *path, int count, char **ids) {
    for (int i = 0; i < count; ++i) {
        const std::string macro = std::string("ITEM_") + ids[i];
        auto const id = static_cast<RIL_ULONG>(std::strtoul(ids[i], nullptr, 0));
        auto const size = static_cast<RIL_ULONG>(std::strlen(ids[i]) + 1);
        RIL_LONG result = Ril_RTEditOpenModule(path);
        if (result == 0 && (result = Ril_RTEditBegin(0, nullptr)) == 0 &&
            (result = Ril_RTEditAddOrReplaceString(macro.c_str(), ids[i], size, id, nullptr)) == 0)
            result = Ril_RTEditEnd(0, nullptr, 0);
        Ril_RTEditCloseModule();
        if (result != 0) {
            std::fprintf(stderr, "committing %s to %s failed: %ld\n", ids[i], path, long{result});
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    const std::string command = argc >= 3 ? argv[1] : "";
    if (command == "update" || command == "find" || command == "commit")
        return (command == "update" ? Update
                : command == "find" ? Find
                                    : Commit)(argv[2], argc - 3, argv + 3);
    std::fprintf(stderr,
                 "usage: %s update MODULE OP... | find IDS MODULE... | commit MODULE ID...\n",
                 argv[0]);
    return 2;
}
