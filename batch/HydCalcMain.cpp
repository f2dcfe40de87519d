// hyd-calc: the batch calculator (see BatchTool.h).

#include <iostream>
#include <string>
#include <vector>

#include "batch/BatchTool.h"
#include "text/AtomicWrite.h"

int main(int argc, char** argv)
{
    std::vector<std::string> Args;
    for (int i = 1; i < argc; ++i)
        Args.emplace_back(argv[i]);
    // A file being written leaves no temporary file behind when the user
    // interrupts the tool (where the file system needs named ones at all).
    RemoveTemporaryFilesOnSignals();
    return RunBatch(Args, std::cout, std::cerr);
}
