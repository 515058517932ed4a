// t6demo FOLDER: writes the demo material into FOLDER, with every path inside it in the
// form the program sees under Wine (drive Z: is the Linux root).
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sim/demo/demo_material.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        fputs("usage: t6demo FOLDER\n"
              "Writes sample tune files, a layout, settings.dat and a simulated device's memory\n"
              "(device.bin, for t6sim --memory) into FOLDER, which must exist.\n",
              stderr);
        return 2;
    }
    char real[PATH_MAX];
    if (realpath(argv[1], real) == nullptr) {
        fprintf(stderr, "t6demo: no folder %s\n", argv[1]);
        return 1;
    }
    std::string folder = std::string(real) + "/";
    std::string wine = "Z:" + folder;
    for (char& c : wine)
        if (c == '/')
            c = '\\';
    std::string problem = WriteDemoMaterial(folder, wine);
    if (!problem.empty()) {
        fprintf(stderr, "t6demo: %s\n", problem.c_str());
        return 1;
    }
    printf("t6demo: %d tune files, demo.t6layout, settings.dat and %s in %s\n", kDemoTuneCount, kDemoDeviceFile,
           real);
    return 0;
}
