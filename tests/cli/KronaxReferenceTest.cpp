#include "cli/CommandHelp.h"
#include "cli/KronaxCommand.h"
#include "tests/support/FileText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>

// The manual page and the completion say what the command line defines, and nothing else.
namespace kronax::cli {
namespace {

using kronax::test::ReadFileText;
using Names = std::set<std::string>;

std::string Source(const std::string& path) {
    return ReadFileText(std::string(KRONAX_SOURCE_DIR) + "/" + path);
}

std::string Section(const std::string& page, const std::string& heading) {
    const std::size_t start = page.find(".SH " + heading);
    return page.substr(start, page.find("\n.SH ", start + 1) - start);
}

Names Matches(const std::string& text, const std::regex& pattern) {
    Names found;
    for (std::sregex_iterator match(text.begin(), text.end(), pattern), end; match != end; ++match)
        found.insert((*match)[1].str());
    return found;
}

// The options the completion offers per command, from its "command) echo '...' ;;" lines.
std::map<std::string, Names> CompletedOptions() {
    const std::string script = Source("packaging/kronax.bash-completion");
    std::map<std::string, Names> offered;
    const std::regex line(R"(\n +([a-z| -]+)\) echo '([^']*)' ;;)");
    for (std::sregex_iterator match(script.begin(), script.end(), line), end; match != end;
         ++match) {
        const Names options = Matches((*match)[2].str(), std::regex(R"((\S+))"));
        for (const std::string& command : Matches((*match)[1].str(), std::regex(R"(([a-z-]+))")))
            offered[command] = options;
    }
    return offered;
}

TEST(KronaxReference, TheCompletionOffersExactlyEachCommandsOptions) {
    std::map<std::string, Names> defined;
    for (const auto& [command, options] : CommandOptions())
        defined[command] = Names(options.begin(), options.end());
    EXPECT_EQ(CompletedOptions(), defined);
}

TEST(KronaxReference, TheManualPageNamesEveryOptionAndOnlyOptionsThatExist) {
    // The page escapes every minus sign: "\-\-port", "\-p".
    const std::string page =
        std::regex_replace(Source("packaging/kronax.1.in"), std::regex(R"(\\-)"), "-");
    const Names headings = Matches(page, std::regex(R"re(\n\.SS "kronax ([^"]*)")re"));
    Names defined = {"--version"};
    for (const auto& [command, options] : CommandOptions()) {
        EXPECT_TRUE(std::any_of(headings.begin(), headings.end(),
                                [&](const std::string& heading) {
                                    return std::regex_search(
                                        heading, std::regex("(^|, )" + command + "(,|$)"));
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

TEST(KronaxReference, TheManualPageNamesOnlyJsonKeysAndExitCodesTheProgramHas) {
    const std::string page = Source("packaging/kronax.1.in");
    const std::string schema = Source("cli/schema/kronax-output.schema.json");
    const std::string json = Section(page, "JSON");
    for (const std::string& key : Matches(json, std::regex(R"(\.BR? ([a-z][a-z0-9_]*))"))) {
        if (key == "kronax" || key == "show" || key == "ports")
            continue;
        EXPECT_TRUE(std::regex_search(schema, std::regex("[\"|(^]" + key + "[\"|)$]")))
            << key << " is no key or code of the schema";
    }
    EXPECT_FALSE(std::regex_search(json, std::regex("[a-z][A-Z]"))) << "a key in camel case";

    Names documented = Matches(Section(page, "EXIT STATUS"), std::regex(R"(\.BR? (\d+))"));
    Names produced;
    for (int code : AllExitCodes())
        produced.insert(std::to_string(code));
    EXPECT_EQ(documented, produced);
}

} // namespace
} // namespace kronax::cli
