// How every tool answers for its command line: asked for help (--help or -h alone), the usage
// on standard output and status 0; a command line it cannot take, the usage on standard error
// and status 2.
#pragma once

namespace kvxtools {

// True when the command line asks for help; the usage is then printed on standard output.
bool AskedForUsage(int argc, char** argv, const char* usage);
// Prints the usage on standard error: 2, the status of a command line the tool cannot take.
int UsageError(const char* usage);

}  // namespace kvxtools
