// ardelctl: the command-line companion of the remote, for people and for scripts.
#include <iostream>

#include "app/ctl/Commands.h"

int main(int argc, char** argv) {
    return RunCtl(CtlArgs(argv + 1, argv + argc), std::cin, std::cout, std::cerr);
}
