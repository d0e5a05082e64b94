#include "MLP/Driver.h"

int main(int argc, char** argv) { return RunKestran(argc, argv); }
