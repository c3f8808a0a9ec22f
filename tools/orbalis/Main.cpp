// orbalis: runs the Orbalis plug-in in the stand-in host, on map documents.
#include "tools/orbalis/CommandLine.h"

int main(int argc, char** argv) { return orbalis::tools::RunCommandLine(argc, argv); }
