/* A host written in C: the CPU specification values and a word address of
 * model 1 under OS number 1, through the C interface.
 *   c_host DATABASE_DIR */
#include <ZelComFuncDbaseC.h>
#include <stdio.h>

int main(int argc, char** argv) {
    ZelDb* db;
    ZelLong values[6];
    DbAd address;
    short result;
    int i;

    if (argc != 2) {
        fprintf(stderr, "usage: c_host DATABASE_DIR\n");
        return 2;
    }
    db = zel_open_utf8(argv[1]);
    if (!db) return 2; /* out of memory */
    printf("ZelComFuncDbase %s\n", zel_version());

    result = zel_CDbCpuSpec(db, /* model index */ 1, /* OS number */ 1, values);
    if (result == 0) {
        printf("CPU specification values:");
        for (i = 0; i < 6; ++i) printf(" %ld", (long)values[i]);
        printf("\n");
    } else {
        printf("CDbCpuSpec: result %d\n", result);
    }

    result = zel_CDbTb2(db, 1, 1, /* item */ 0, /* entry */ 1, &address);
    if (result == 0)
        printf("item 0, entry 1: address 0x%lx, head word 0x%x\n", (unsigned long)address.address,
               address.headWord);
    else
        printf("CDbTb2: result %d\n", result);

    zel_close(db);
    return 0;
}
