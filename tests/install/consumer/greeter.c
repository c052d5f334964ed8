/* Prints strings of the three tables that ril4410_add_string_table() compiled, found through
 * the IDT_ macros of their generated headers; wide texts are printed as UTF-8, and so are
 * the texts of the UTF-8 table, as stored. */
#include "greetings.h"
#include "greetings_utf8.h"
#include "greetings_wide.h"

#include <Ril4410.h>
#include <stdio.h>
#include <stdlib.h>

static int PrintWide(RIL_ULONG id) {
    RIL_WCHAR const *text = Ril_GetStringW(id);
    int size = Ril_WcsToMbcs(text, NULL, 65001);
    char *utf8 = size > 0 ? malloc((size_t)size) : NULL;
    if (utf8 == NULL || Ril_WcsToMbcs(text, utf8, 65001) != size) {
        free(utf8);
        return 1;
    }
    printf("%d:%s\n", (int)id, utf8);
    free(utf8);
    return 0;
}

int main(void) {
    if (Ril_LoadRes(GREETINGS_BIN) != 0 || Ril_GetNumItem() != 3)
        return 1;
    printf("%d:%s\n", IDT_HELLO, Ril_GetStringA(IDT_HELLO));
    printf("%d:%s\n", IDT_THANKS, Ril_GetStringA(IDT_THANKS));
    if (Ril_LoadRes(GREETINGS_WIDE_BIN) != 0 || PrintWide(IDT_WORLD) != 0)
        return 1;
    if (Ril_LoadRes(GREETINGS_UTF8_BIN) != 0)
        return 1;
    printf("%d:%s\n", IDT_WELCOME, Ril_GetStringA(IDT_WELCOME));
    Ril_UnloadRes();
    return 0;
}
