/* Loads a BIN through the installed library and prints one string. */
#include <Ril4410.h>
#include <stdio.h>

int main(int argc, char **argv) {
    if (argc < 2 || Ril_LoadRes(argv[1]) != 0)
        return 1;
    printf("%s\n", Ril_GetStringA(5));
    Ril_UnloadRes();
    return 0;
}
