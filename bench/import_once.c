/* One call of Ril_ImportResFromTxtToBin as a program makes it, through the shared library:
   the library's import alone, without the tool's own work, for timing beside msgfmt.
   Usage: ril4410_import_once CODE_PAGE TEXT_FILE BIN_FILE */
#include "Ril4410.h"

#include <stdio.h>
#include <stdlib.h>

static void Quiet(void *context, char const *caption, char const *message) {
    (void)context;
    (void)caption;
    (void)message;
}

int main(int argc, char **argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: %s CODE_PAGE TEXT_FILE BIN_FILE\n", argv[0]);
        return 2;
    }
    Ril_SetNoticeHandler(Quiet, NULL); /* the gap count, without a log */
    Ril_SetAnsiCodePage((unsigned)strtoul(argv[1], NULL, 10));
    long const result = Ril_ImportResFromTxtToBin(argv[2], 0, argv[3], NULL);
    if (result != 0)
        fprintf(stderr, "%s: import failed: %ld\n", argv[0], result);
    return result != 0;
}
