// Writes the sample reference: sample_reference_tool FOLDER
#include <iostream>

#include "app/sample_reference.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: sample_reference_tool FOLDER\n";
        return 2;
    }
    try {
        orv::test::FillSampleReference(std::string(argv[1]) + "/source.bin");
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
