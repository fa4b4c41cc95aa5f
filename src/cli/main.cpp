#include "cli/cli.h"

int main(int argc, char** argv) {
  return bs::cli::run(argc, argv);
}
