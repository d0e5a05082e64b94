#include "MLP/Driver.h"

#include <iostream>

int RunKestran(int argc, char** /*argv*/) {
    if (argc != 2) {
        std::cerr << "Usage: KESTRAN parameter.file" << std::endl;
        return 1;
    }
    std::cerr << "KESTRAN: training is not available yet" << std::endl;
    return 1;
}
