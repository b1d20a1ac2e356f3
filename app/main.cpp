// app/main.cpp -- process entry.
#include <cstdio>
#include <cstdlib>

#include "app/run_program.h"

int main() {
  int status = RunProgram();
  std::fflush(nullptr);
  // Worker threads may still be waiting on the network: end the process without running
  // static destructors underneath them. ReleaseSharedState runs as a quick-exit handler.
  std::quick_exit(status);
}
