// One whole run of the tool: start-up, the command line, the one task and
// the teardown, over the given standard streams.
#pragma once

#include "cli/options.h"

namespace rostrix {

// The process's exit status: 0; -1 when start-up memory, the script or the
// output cannot be had; 1 when the output was lost (a failed write or close).
int runRostrix(int argc, char** argv, const StandardStreams& streams);

}  // namespace rostrix
