#include "Arguments.h"
#include "Cli.h"

#include <iostream>

int main(int argc, char** argv) {
    return brimble::cli::RunCli(brimble::cli::Utf8Arguments(argc, argv), std::cout, std::cerr);
}
