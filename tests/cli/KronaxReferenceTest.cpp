#include "cli/CommandHelp.h"
#include "cli/KronaxCommand.h"
#include "tests/support/FileText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>

// The manual page, the completion and the guide say what the command line defines, and nothing
// else.
namespace kronax::cli {
namespace {

using kronax::test::ReadFileText;
using Names = std::set<std::string>;

std::string Source(const std::string& path) {
    return ReadFileText(std::string(KRONAX_SOURCE_DIR) + "/" + path);
}

std::string Section(const std::string& page, const std::string& heading) {
    const std::size_t start = page.find(heading);
    return page.substr(start, page.find("\n.SH ", start + 1) - start);
}

// The page with its minus signs unescaped: "\-\-port" is "--port".
std::string ManualPage() {
    return std::regex_replace(Source("packaging/kronax.1.in"), std::regex(R"(\\-)"), "-");
}

Names Matches(const std::string& text, const std::regex& pattern) {
    Names found;
    for (std::sregex_iterator match(text.begin(), text.end(), pattern), end; match != end; ++match)
        found.insert((*match)[1].str());
    return found;
}

// What a shell function of the completion echoes per case, from its "case) echo '...' ;;"
// lines: "history show", "start", ...
std::map<std::string, Names> CompletionCases(const std::string& function) {
    const std::string script = Source("packaging/kronax.bash-completion");
    const std::size_t start = script.find("\n" + function + "() {");
    const std::string body = script.substr(start, script.find("\n}\n", start) - start);
    std::map<std::string, Names> offered;
    const std::regex line(R"(\n +([a-z| '-]+)\) echo '([^']*)' ;;)");
    for (std::sregex_iterator match(body.begin(), body.end(), line), end; match != end; ++match) {
        const Names words = Matches((*match)[2].str(), std::regex(R"((\S+))"));
        for (const std::string& pattern : Matches((*match)[1].str(), std::regex(R"(([^|]+))"))) {
            const std::string name =
                std::regex_replace(pattern, std::regex(R"(^[ ']+|[ ']+$)"), "");
            offered[name] = words;
        }
    }
    return offered;
}

std::map<std::string, Names> DefinedOptions() {
    std::map<std::string, Names> defined;
    for (const auto& [command, options] : CommandOptions())
        defined[command] = Names(options.begin(), options.end());
    return defined;
}

// The commands ("kronax") and each command's subcommands, as the definition has them.
std::map<std::string, Names> DefinedCommands() {
    std::map<std::string, Names> commands;
    for (const auto& [name, options] : CommandOptions()) {
        const std::size_t space = name.find(' ');
        if (space == std::string::npos)
            commands["kronax"].insert(name);
        else
            commands[name.substr(0, space)].insert(name.substr(space + 1));
    }
    return commands;
}

TEST(KronaxReference, TheCompletionOffersEachCommandsAndSubcommandsOwnOptions) {
    EXPECT_EQ(CompletionCases("_kronax_options"), DefinedOptions());
    EXPECT_EQ(CompletionCases("_kronax_subcommands"), DefinedCommands());
}

TEST(KronaxReference, TheManualPageNamesEveryOptionAndOnlyOptionsThatExist) {
    const std::string page = ManualPage();
    const Names headings = Matches(page, std::regex(R"re(\n\.SS "kronax ([^"]*)")re"));
    Names defined = {"--version"};
    for (const auto& [command, options] : CommandOptions()) {
        const std::string top = command.substr(0, command.find(' '));
        EXPECT_TRUE(std::any_of(headings.begin(), headings.end(),
                                [&](const std::string& heading) {
                                    return std::regex_search(
                                        heading, std::regex("(^|, )" + top + "(,| |$)"));
                                }))
            << command << " has no section";
        defined.insert(options.begin(), options.end());
    }
    const Names named = Matches(page, std::regex(R"([\s(\[",](--?[a-z][a-z-]*[a-z]|-[a-z])\b)"));
    for (const std::string& option : defined)
        EXPECT_TRUE(named.count(option)) << option << " is defined but not named";
    // Options of other programs in the examples: "ln -s", "usermod -aG".
    for (const std::string& option : named)
        if (option != "-s" && option != "-aG") {
            EXPECT_TRUE(defined.count(option)) << option << " is named but not defined";
        }
}

// The error codes the schema allows.
Names SchemaErrorCodes() {
    const auto schema = nlohmann::json::parse(Source("cli/schema/kronax-output.schema.json"));
    Names codes;
    for (const auto& code : schema["properties"]["error"]["oneOf"][1]["properties"]["code"]["enum"])
        codes.insert(code.get<std::string>());
    return codes;
}

// The error codes the program's sources give: the second argument of FailedResult and Fail, the
// second member of a Stop, and the codes that the port and history errors name.
Names ProducedErrorCodes() {
    Names codes;
    for (const char* file : {"cli/BoardActions.cpp", "cli/KronaxCommand.cpp", "cli/PortRunner.cpp",
                             "cli/PortErrors.cpp", "cli/HistoryCommand.cpp"}) {
        const std::string text = Source(file);
        const char* patterns[] = {R"re((?:FailedResult|Fail)\([^,;]+,\s*"([a-z_]+)")re",
                                  R"re(Stop\{[^,;]+,\s*"([a-z_]+)")re",
                                  R"re(return "([a-z]+_[a-z_]+)";)re",
                                  R"re(errorCode = "([a-z_]+)")re"};
        for (const char* pattern : patterns)
            for (const std::string& code : Matches(text, std::regex(pattern)))
                codes.insert(code);
    }
    return codes;
}

TEST(KronaxReference, EveryErrorCodeTheProgramGivesIsInTheSchemaTheManualPageAndTheGuide) {
    const Names schema = SchemaErrorCodes();
    const Names produced = ProducedErrorCodes();
    EXPECT_GT(produced.size(), 15u);
    for (const std::string& code : produced)
        EXPECT_TRUE(schema.count(code)) << code << " is not in the schema";
    const std::string page = Section(ManualPage(), ".SH JSON");
    const std::string guide = Source("docs/command-line.md");
    const std::string errorList = guide.substr(guide.find("with a stable code"));
    for (const std::string& code : schema) {
        EXPECT_TRUE(std::regex_search(page, std::regex("[ \"]" + code + "[ \",]")))
            << code << " is not in the manual page";
        EXPECT_THAT(errorList, ::testing::HasSubstr("`" + code + "`"))
            << code << " is not in the guide";
    }
}

TEST(KronaxReference, TheManualPageNamesOnlyJsonKeysAndExitCodesTheProgramHas) {
    const std::string page = Source("packaging/kronax.1.in");
    const std::string schema = Source("cli/schema/kronax-output.schema.json");
    const std::string json = Section(page, ".SH JSON");
    for (const std::string& key : Matches(json, std::regex(R"(\.BR? ([a-z][a-z0-9_]*))"))) {
        if (key == "kronax" || key == "show" || key == "ports" || key == "settings")
            continue;
        EXPECT_TRUE(std::regex_search(schema, std::regex("[\"|(^]" + key + "[\"|)$]")))
            << key << " is no key or code of the schema";
    }
    EXPECT_FALSE(std::regex_search(json, std::regex("[a-z][A-Z]"))) << "a key in camel case";
}

TEST(KronaxReference, TheGuidesCommandTableNamesEveryCommandAndEveryOption) {
    const std::string guide = Source("docs/command-line.md");
    // The first column of the command table: "`kronax read --port COM<n> ...`".
    std::string table;
    for (std::size_t at = guide.find("\n| `kronax "); at != std::string::npos;
         at = guide.find("\n| `kronax ", at + 1))
        table += guide.substr(at, guide.find(" | ", at) - at);
    for (const auto& [command, options] : CommandOptions()) {
        EXPECT_TRUE(std::regex_search(table, std::regex("`(kronax )?" + command + "[` ]")))
            << command << " is not in the command table";
        for (const std::string& option : options) {
            if (!option.starts_with("--") || option == "--help")
                continue;
            EXPECT_TRUE(std::regex_search(guide, std::regex("[`\\[ ]" + option + "[` =\\]]")))
                << command << " " << option << " is not in the guide";
        }
    }
}

// Every option of a "kronax ..." example line is one its command defines.
void ExpectDefined(const std::string& example) {
    std::istringstream words(example.substr(0, example.find("  #")));
    std::vector<std::string> tokens;
    for (std::string token; words >> token;)
        tokens.push_back(token);
    ASSERT_GE(tokens.size(), 2u) << example;
    const auto commands = CommandOptions();
    auto command = tokens.size() > 2 ? commands.find(tokens[1] + " " + tokens[2]) : commands.end();
    if (command == commands.end())
        command = commands.find(tokens[1]);
    ASSERT_NE(command, commands.end()) << example;
    for (const std::string& token : tokens)
        if (token.starts_with("-") && token != "-") {
            const std::string option = token.substr(0, token.find('='));
            EXPECT_THAT(command->second, ::testing::Contains(option)) << example;
        }
}

TEST(KronaxReference, EveryExampleOfTheReadmeAndTheHelpUsesOnlyWhatItsCommandDefines) {
    const std::string readme = Source("README.md");
    const std::size_t start = readme.find("```console", readme.find("## kronax in a few examples"));
    std::istringstream lines(readme.substr(start, readme.find("```", start + 3) - start));
    std::size_t examples = 0;
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with("$ kronax ")) {
            ExpectDefined(line.substr(2));
            ++examples;
        }
    for (const auto& [command, options] : CommandOptions()) {
        if (command.find(' ') != std::string::npos)
            continue;
        std::istringstream footer(CommandFooter(command));
        for (std::string line; std::getline(footer, line);)
            if (line.starts_with("  kronax ")) {
                ExpectDefined(line.substr(2));
                ++examples;
            }
    }
    EXPECT_GT(examples, 30u);
}

// "  2    usage error: ..." lines of the help's table, by code.
std::map<std::string, std::string> HelpExitCodes() {
    std::map<std::string, std::string> codes;
    const std::string text = ExitCodesText("");
    const std::regex row(R"(\n  (\d+) +([^\n]+))");
    for (std::sregex_iterator match(text.begin(), text.end(), row), end; match != end; ++match)
        codes[(*match)[1].str()] = (*match)[2].str();
    return codes;
}

TEST(KronaxReference, TheHelpTheManualPageAndTheGuideGiveOneTableOfExitCodes) {
    const std::map<std::string, std::string> help = HelpExitCodes();
    ASSERT_EQ(help.size(), AllExitCodes().size());

    std::map<std::string, std::string> guide;
    const std::string page = Source("docs/command-line.md");
    const std::regex guideRow(R"(\n\| (\d+) \| ([^\n]+) \|)");
    for (std::sregex_iterator match(page.begin(), page.end(), guideRow), end; match != end; ++match)
        guide[(*match)[1].str()] = (*match)[2].str();
    EXPECT_EQ(guide, help);

    std::map<std::string, std::string> manual;
    const std::string status = Section(ManualPage(), ".SH EXIT STATUS");
    const std::regex manualRow(R"(\n\.TP\n\.B (\d+)\n([^\n]+))");
    for (std::sregex_iterator match(status.begin(), status.end(), manualRow), end; match != end;
         ++match)
        manual[(*match)[1].str()] = (*match)[2].str();
    // The last one names its section in a line of its own: "(see" then ".BR SIGNALS )".
    if (manual.count("130") && manual["130"].ends_with(" (see"))
        manual["130"].resize(manual["130"].size() - 5);
    EXPECT_EQ(manual, help);
}

} // namespace
} // namespace kronax::cli
