#include "MLP/Driver.h"

#include <fstream>
#include <iostream>
#include <string>

#include "MLP/ParamFile.h"

namespace {

// Reports one failure line on standard error; the exit status of every
// reported failure is 1.
int Failure(const std::string& line) {
    std::cerr << line << std::endl;
    return 1;
}

}  // namespace

int RunKestran(int argc, char** argv) {
    if (argc != 2) return Failure("Usage: KESTRAN parameter.file");

    TRunSettings settings;
    {
        std::ifstream parameters(argv[1], std::ios::binary);
        if (!parameters) return Failure(std::string("Cannot open parameter file ") + argv[1]);
        std::string message;
        if (!ReadParameterFile(parameters, &settings, &message)) {
            return Failure(std::string("Parameter file ") + argv[1] + ": " + message);
        }
    }
    if (const char* missing = CheckRequiredSettings(settings)) return Failure(missing);

    return Failure("KESTRAN: training is not available yet");
}
