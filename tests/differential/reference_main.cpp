// tovik with every node on its general evaluator, for the differential
// tests: whatever a program does here, the real binary must do the same.
#include "interpreter/evaluation_mode.h"
#include "main/runner.h"

int main(int argc, char **argv) {
  tovik::reference_mode = true;
  tovik::run_process(argc, argv);
}
