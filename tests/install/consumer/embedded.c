/* Prints a text of the greetings table compiled into the program itself: it loads the
 * embedded BIN image, so it runs without any BIN file beside it. */
#include "greetings.h"

#include <Ril4410.h>
#include <stdio.h>

extern unsigned char const greetings_embedded_bin[];
extern unsigned int const greetings_embedded_bin_size;

int main(void) {
    if (Ril_LoadResFromMemory(greetings_embedded_bin, greetings_embedded_bin_size) != 0 ||
        Ril_GetNumItem() != 3)
        return 1;
    printf("%d:%s\n", IDT_HELLO, Ril_GetStringA(IDT_HELLO));
    Ril_UnloadRes();
    return 0;
}
