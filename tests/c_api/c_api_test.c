/* The public header compiled as C against the shared library: the size-query protocol by
 * pointer, the language enumeration and the notice handler. Exits non-zero on a failure. */
#include "Ril4410.h"

#include <stdio.h>
#include <string.h>

static int failures = 0;
static int notices = 0;

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);          \
            ++failures;                                                                            \
        }                                                                                          \
    } while (0)

static void CountNotice(void *context, char const *caption, char const *message) {
    (void)message;
    CHECK(strcmp(caption, "Error:") == 0);
    ++*(int *)context;
}

int main(int argc, char **argv) {
    RIL_ULONG length = 0;
    char macro[16];
    RIL_WCHAR wide[8];
    char text[] = "Hello &001!";

    if (argc < 2) {
        fprintf(stderr, "usage: c_api_test EXAMPLE.bin\n");
        return 2;
    }
    CHECK(sizeof(RIL_LONG) == 4 && sizeof(RIL_ULONG) == 4 && sizeof(RIL_WCHAR) == 2);
    CHECK(Ril_LoadRes(argv[1]) == 0);
    CHECK(Ril_GetNumItem() == 2);
    CHECK(strcmp(Ril_GetStringA(1), "Hi") == 0);
    CHECK(strcmp(Ril_GetStringA(2), " ") == 0);
    CHECK(Ril_GetMacro(NULL, &length, 5) == 1 && length == 4);
    CHECK(Ril_GetMacro(macro, &length, 5) == 0 && strcmp(macro, "BYE") == 0);
    CHECK(Ril_GetMacro(macro, &length, 3) < 0);
    CHECK(Ril_MbcsToWcs("OK", wide, 0) == 3 && wide[0] == 'O' && wide[2] == 0);
    CHECK(Ril_CombineStringA(text, "C", 1, sizeof text) == 0 && strcmp(text, "Hello C!") == 0);
    CHECK(Ril_StringToLanguage("tagalog") == RIL_LANG_TAGALOG);
    Ril_SetNoticeHandler(CountNotice, &notices);
    Ril_SetNoticeHandler(NULL, NULL);
    CHECK(Ril_UnloadRes() == 0 && Ril_GetNumItem() == 0);
    if (failures == 0)
        printf("c_api: all checks passed\n");
    return failures == 0 ? 0 : 1;
}
