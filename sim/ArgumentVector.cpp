#include "sim/ArgumentVector.h"

namespace kronax::sim {

std::vector<char*> ArgumentVector(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    return argv;
}

} // namespace kronax::sim
