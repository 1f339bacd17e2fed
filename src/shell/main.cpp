// The workbench as it ships.

#include "shell/Workbench.h"

int main(int argc, char* argv[]) {
    return runWorkbench(argc, argv);
}
