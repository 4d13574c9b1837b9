#include "main/runner.h"

int main(int argc, char **argv) { tovik::run_process(argc, argv); }
