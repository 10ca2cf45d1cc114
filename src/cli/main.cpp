#include "cli/run.h"

int main(int argc, char** argv) { return rostrix::runRostrix(argc, argv, {stdin, stdout, stderr}); }
