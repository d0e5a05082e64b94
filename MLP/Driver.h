#ifndef MLP_DRIVER_H
#define MLP_DRIVER_H

// The training program: KESTRAN parameter.file. Returns the exit status.
int RunKestran(int argc, char** argv);

#endif
