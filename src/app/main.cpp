// The desktop program: everything happens in RunProgram.
#include "app/shell/program.h"

int main(int argc, char** argv) {
    return orv::app::RunProgram(argc, argv);
}
