// One whole run of the tool: start-up, the command line, the one task and
// the teardown, over the given standard streams.
#pragma once

#include <cstdio>

#include "cli/options.h"

namespace rostrix {

// Puts every setting a run reads back to its value before any option, with
// messages going to `messages`.
void resetSettings(std::FILE* messages);
// Allocates ploadBuffer (once per process) and creates the registries; false
// after "not enough memory for ...\n" when memory runs out.
bool acquireRunResources();
// Destroys the registries and frees every save file the run loaded.
void releaseRunResources();

// The process's exit status: 0; -1 when start-up memory, the script or the
// output cannot be had; 1 when the output was lost (a failed write or close).
int runRostrix(int argc, char** argv, const StandardStreams& streams);

}  // namespace rostrix
