#include "cli/CommandHelp.h"

#include "cli/ExitCode.h"

#include <algorithm>
#include <map>

namespace kronax::cli {
namespace {

struct CodeMeaning {
    int code;
    const char* meaning;
};

constexpr CodeMeaning Meanings[] = {
    {ExitSuccess, "success"},
    {ExitNotAsAsked, "the board answered, but not as asked: a write NOT acknowledged, no answer, "
                     "a verify mismatch, a difference found"},
    {ExitUsage, "usage error: an unknown command, option or setting, a value given that is not a "
                "number or out of range, a setting the sensor type does not use"},
    {ExitPortError, "port error: cannot open, busy, not present, vanished during the exchange, "
                    "the KRONAX_PORTS folder missing"},
    {ExitFileError, "file error: missing, unreadable, illegal or incomplete payload, a value out "
                    "of range in the file, refused overwrite, an --output that cannot take the "
                    "file"},
    {ExitOutputError, "standard output could not be written (every board's exchange still ended)"},
    {ExitRecordError, "the record store could not keep the record: before the operation nothing "
                      "was sent; after it the operation's outcome stands and the record is "
                      "printed to standard error"},
    {ExitServerError, "kronax history: the records server could not be reached, answered too "
                      "late or refused; records stay queued in the record store"},
    {ExitInternalError, "a fault inside kronax"},
    {ExitSignalBase + 2,
     "stopped by SIGINT (Ctrl+C), 143 by SIGTERM, after the exchange under way"},
};

const std::vector<int> BoardCodes = {0, 1, 2, 3, 4, 5, 6, 70, 130};
const std::vector<int> SingleCodes = {0, 1, 2, 3, 5, 6, 70, 130};
const std::vector<int> FileCodes = {0, 2, 4, 5, 70};

struct CommandHelp {
    std::vector<int> codes;
    std::vector<const char*> examples;
};

const std::map<std::string, CommandHelp>& Helps() {
    static const std::map<std::string, CommandHelp> helps = {
        {"ports", {{0, 2, 3, 5, 70}, {"kronax ports", "kronax ports --json"}}},
        {"read",
         {BoardCodes,
          {"kronax read -p COM3", "kronax read -p COM3 --output board.kxcfg",
           "kronax read --all --output 'board-{port}.kxcfg' --json"}}},
        {"write",
         {BoardCodes,
          {"kronax write -p COM3 board.kxcfg --verify",
           "kronax write -p COM3 --set multiplier=20 --set divider=4",
           "kronax write -p COM1,COM2 board.kxcfg --dry-run"}}},
        {"diff",
         {BoardCodes, {"kronax diff -p COM3 board.kxcfg", "kronax diff --all board.kxcfg"}}},
        {"show", {{0, 2, 4, 5, 70}, {"kronax show board.kxcfg", "kronax show --names"}}},
        {"settings", {{0, 2, 5}, {"kronax settings", "kronax settings --json"}}},
        {"new",
         {FileCodes,
          {"kronax new --output board.kxcfg",
           "kronax new sensor_type='Motion Encoder' "
           "encoder_mode=x4 counts_per_rev=900 --output m.kxcfg"}}},
        {"edit",
         {FileCodes,
          {"kronax edit board.kxcfg multiplier=20 divider=4",
           "kronax edit board.kxcfg aux1_source=off"}}},
        {"start", {SingleCodes, {"kronax start -p COM3"}}},
        {"status", {SingleCodes, {"kronax status -p COM3", "kronax status --all --json"}}},
        {"info", {SingleCodes, {"kronax info -p COM3"}}},
        {"set-default", {SingleCodes, {"kronax set-default -p COM3"}}},
        {"history",
         {{0, 2, 4, 5, 6, 7},
          {"kronax history --board 0815", "kronax history show 3f0c2a1b --json",
           "kronax history export --format csv --output records.csv",
           "kronax history prune --before 2026-01-01",
           "kronax history --server --station line-2 --failed", "kronax history sync"}}},
    };
    return helps;
}

} // namespace

std::vector<int> AllExitCodes() {
    std::vector<int> codes;
    for (const CodeMeaning& meaning : Meanings)
        codes.push_back(meaning.code);
    return codes;
}

std::string ExitCodesText(const std::string& command) {
    const std::vector<int> codes = command.empty() ? AllExitCodes() : Helps().at(command).codes;
    std::string text = "Exit codes:\n";
    for (const CodeMeaning& meaning : Meanings)
        if (std::find(codes.begin(), codes.end(), meaning.code) != codes.end()) {
            const std::string code = std::to_string(meaning.code);
            text += "  " + code + std::string(5 - code.size(), ' ') + meaning.meaning + "\n";
        }
    if (command.empty())
        text += "With several ports the highest code of any port wins.";
    return text;
}

std::string CommandFooter(const std::string& command) {
    std::string text = "Examples:\n";
    for (const char* example : Helps().at(command).examples)
        text += "  " + std::string(example) + "\n";
    return text + "\n" + ExitCodesText(command);
}

} // namespace kronax::cli
