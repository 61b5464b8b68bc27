// A tiny host built against ZelComFuncDbase (installed, or added as a
// subdirectory): prints the CPU specification values of one model and OS
// number of a database directory, or with --version the version macros.
#include <ZelComFuncDbase.h>
#include <ZelComFuncDbaseVersion.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s %d.%d.%d", ZELCOMFUNCDBASE_VERSION_STRING, ZELCOMFUNCDBASE_VERSION_MAJOR,
                    ZELCOMFUNCDBASE_VERSION_MINOR, ZELCOMFUNCDBASE_VERSION_PATCH);
#ifdef ZEL_PACKAGE_VERSION
        std::printf(" %s", ZEL_PACKAGE_VERSION);
#endif
        std::printf("\n");
        return 0;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: consumer DATABASE_DIR MODEL OS_NUMBER | --version\n");
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
