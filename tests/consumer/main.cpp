// A tiny host built against an installed ZelComFuncDbase: prints
// the CPU specification values of one model and OS number of a database directory.
#include <ZelComFuncDbase.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: consumer DATABASE_DIR MODEL OS_NUMBER\n");
        return 2;
    }
    CZelComFuncDbase db(argv[1]);
    ZelLong values[6];
    const short result = db.CDbCpuSpec(static_cast<short>(std::atoi(argv[2])),
                                       static_cast<short>(std::atoi(argv[3])), values);
    if (result != 0) {
        std::fprintf(stderr, "consumer: CDbCpuSpec gave %d\n", result);
        return 1;
    }
    for (ZelLong v : values) std::printf("%ld ", static_cast<long>(v));
    std::printf("\n");
    return 0;
}
