// hyd-calc: the batch calculator (see BatchTool.h).

#include <iostream>
#include <string>
#include <vector>

#include "batch/BatchTool.h"

int main(int argc, char** argv)
{
    std::vector<std::string> Args;
    for (int i = 1; i < argc; ++i)
        Args.emplace_back(argv[i]);
    return RunBatch(Args, std::cout, std::cerr);
}
