// A small host of the library: prints the model table and
// the CPU specification values of every model found in a database directory.
#include <ZelComFuncDbase.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: sample_host DATABASE_DIR\n");
        return 2;
    }
    CZelComFuncDbase db(argv[1]);
    std::printf("model  cpu code  byte order\n");
    for (short model = 0; model < 48; ++model) {
        short cpu = 0, os = 0;
        if (db.CDbCpuOsType(&cpu, &os, model, 1) != 0) return 1;
        std::printf("%5d  %8d  %s\n", model, cpu,
                    cpu < 30 ? "most significant byte first" : "least significant byte first");
    }
    std::printf("\nCPU specification values found in %s:\n", argv[1]);
    std::printf("model  OS  %8s %8s %8s %8s %8s %8s\n", "value0", "value1", "value2", "value3",
                "value4", "value5");
    int found = 0;
    for (short model = 0; model < 32; ++model) {
        for (short osNumber = 1; osNumber <= 7; ++osNumber) {
            ZelLong v[6];
            if (db.CDbCpuSpec(model, osNumber, v) != 0) continue;
            ++found;
            std::printf("%5d  %2d  %8ld %8ld %8ld %8ld %8ld %8ld\n", model, osNumber,
                        static_cast<long>(v[0]), static_cast<long>(v[1]), static_cast<long>(v[2]),
                        static_cast<long>(v[3]), static_cast<long>(v[4]), static_cast<long>(v[5]));
        }
    }
    std::printf("%d model/OS pairs answered.\n", found);
    return found > 0 ? 0 : 1;
}
