/* The public header compiled as C against the shared library: the size-query protocol by
 * pointer, the language enumeration, the result constants and the notice handler. Exits non-zero on a failure. */
#include "Ril4410.h"

#include <stdio.h>
#include <string.h>

static int failures = 0;

#define CHECK(condition)                                                                           \
    ((condition)                                                                                   \
         ? (void)0                                                                                 \
         : (void)(fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition),    \
                  ++failures))

static void CountNotice(void *context, char const *caption, char const *message) {
    CHECK(strcmp(caption, "Error:") == 0 && message != NULL);
    ++*(int *)context;
}

int main(int argc, char **argv) {
    RIL_ULONG length = 0;
    char macro[16];
    RIL_WCHAR wide[8];
    char text[] = "Hello &001!";
    int notices = 0;

    if (argc < 2)
        return 2;
    CHECK(sizeof(RIL_LONG) == 4 && sizeof(RIL_ULONG) == 4 && sizeof(RIL_WCHAR) == 2);
    CHECK(Ril_LoadRes(argv[1]) == 0);
    CHECK(Ril_GetNumItem() == 2);
    CHECK(strcmp(Ril_GetStringA(1), "Hi") == 0);
    CHECK(strcmp(Ril_GetStringA(2), " ") == 0);
    CHECK(Ril_GetMacro(NULL, &length, 5) == 1 && length == 4);
    CHECK(Ril_GetMacro(macro, &length, 5) == 0 && strcmp(macro, "BYE") == 0);
    CHECK(Ril_GetMacro(macro, &length, 3) == RIL_E_FAIL && RIL_E_FAIL < 0);
    CHECK(Ril_MbcsToWcs("OK", wide, 0) == 3 && wide[0] == 'O' && wide[2] == 0);
    CHECK(Ril_CombineStringA(text, "C", 1, sizeof text) == 0 && strcmp(text, "Hello C!") == 0);
    CHECK(Ril_StringToLanguage("tagalog") == RIL_LANG_TAGALOG);
    CHECK(Ril_UnloadRes() == 0 && Ril_GetNumItem() == 0);
    /* With no BIN given and none loaded, the header writer refuses with a notice. */
    Ril_SetNoticeHandler(CountNotice, &notices);
    CHECK(Ril_WriteHeaderFile(".", 0, NULL) == RIL_E_ARGUMENT && notices == 1);
    CHECK(Ril_GetAnsiCodePage() != 0 && Ril_SetWriteOptions(RIL_WRITE_IF_CHANGED) == 0);
    Ril_SetNoticeHandler(NULL, NULL);
    if (failures == 0)
        printf("c_api: all checks passed\n");
    return failures == 0 ? 0 : 1;
}
