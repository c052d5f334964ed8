// Looks texts up through ril4410.hpp: the UTF-8 table falls back to the multibyte one, and the
// table moves from one object to another.
#include "greetings.h"
#include "greetings_utf8.h"

#include <ril4410.hpp>

#include <cstdio>
#include <string>

int main() {
    ril::Table base = ril::Table::Open(GREETINGS_BIN);
    ril::Table table = ril::Table::Open(GREETINGS_UTF8_BIN);
    if (!base || !table.setFallback(base) || base.setFallback(table))
        return 1;
    ril::Table moved = std::move(table);
    for (RIL_ULONG id : {RIL_ULONG{IDT_WELCOME}, RIL_ULONG{IDT_THANKS}, RIL_ULONG{5}}) {
        std::optional<std::string_view> text = moved.get(id);
        std::printf("%u:%s\n", static_cast<unsigned>(id),
                    text ? std::string(*text).c_str() : "(none)");
    }
    return table || moved.getW(5) ? 1 : 0;
}
