#include "cli/ProgressWords.h"

#include "protocol/PayloadKind.h"

#include <map>

namespace kronax::cli {
namespace {

// The words of the commands that carry no payload kind.
const std::map<std::string, std::string>& SingleCommandWords() {
    static const std::map<std::string, std::string> words = {
        {"##SMSETP", "setting the power-on default"},
        {"##SMSTA", "starting"},
        {"??SMSTA", "asking for the status"},
        {"??SMSETB", "asking for the board information"}};
    return words;
}

} // namespace

std::string ProgressWords::Next(const std::string& command) {
    const std::string name = command.substr(0, command.find('\r'));
    if (const auto single = SingleCommandWords().find(name); single != SingleCommandWords().end())
        return single->second;
    for (std::size_t index = 0; index < PayloadKinds.size(); ++index) {
        const std::string kind(KindName(PayloadKinds[index]));
        const std::string ofSix =
            std::to_string(index + 1) + " of " + std::to_string(PayloadKinds.size());
        if (name == "??SM" + kind)
            return (wrote_ ? "verifying " : "reading ") + ofSix;
        if (name.starts_with("##SM" + kind)) {
            wrote_ = true;
            return "writing " + kind + " " + ofSix;
        }
    }
    return name;
}

} // namespace kronax::cli
