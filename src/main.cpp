#include "cli/cli.h"

int main(int argc, char** argv) { return tornavo::cli::Main(argc, argv); }
