#include "tests/cli/CliHarness.h"
#include "tests/support/ScopedEnvironment.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

// The folders of the user's own that kronax reads and writes without being told: the ports
// folder for boards under numbers of the user's choice, and the runtime folder for the ports'
// records of unanswered commands.
namespace kronax::cli::testing {
namespace {

namespace fs = std::filesystem;
using kronax::test::ScopedEnvironment;
using ::testing::HasSubstr;
using ::testing::Not;

// The permission bits of path, not following a link.
unsigned ModeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// Without KRONAX_PORTS, a COM<n> link to a device in the per-user ports folder is a port under
// that number; a dangling one is none.
TEST(PtyKronaxUserFolders, APortLinkedInThePerUserPortsFolderIsListedAndOpened) {
    const sim::SimProcess sim;
    const fs::path device = fs::read_symlink(sim.LinkPath());
    Scratch scratch;
    const struct {
        const char* home;
        const char* config; // XDG_CONFIG_HOME, or "" for ~/.config
        const char* folder; // the ports folder under the scratch folder
    } cases[] = {
        {"home", "config", "config/kronax/ports"},
        {"home", "", "home/.config/kronax/ports"},
    };
    for (const auto& c : cases) {
        const fs::path folder = scratch.Path(c.folder);
        fs::create_directories(folder);
        fs::create_symlink(device, folder / "COM37");
        fs::create_symlink(scratch.Path("unplugged"), folder / "COM38");
        ScopedEnvironment ports("KRONAX_PORTS", "");
        ScopedEnvironment home("HOME", scratch.Path(c.home));
        ScopedEnvironment config("XDG_CONFIG_HOME", *c.config ? scratch.Path(c.config) : "");
        const Outcome listed = Kronax({"ports"});
        EXPECT_THAT(listed.out, HasSubstr("COM37 \xC2\xB7 ")) << c.folder;
        EXPECT_THAT(listed.out, Not(HasSubstr("COM38"))) << c.folder;
        const Outcome status = Kronax({"status", "--port", "COM37"});
        EXPECT_EQ(status.code, 0) << c.folder << ": " << status.err;
        fs::remove_all(folder);
    }
}

// The records go in $XDG_RUNTIME_DIR/kronax, made for the user alone whatever the umask; a
// folder there that others may enter, or a link, is not written in.
TEST(PtyKronaxUserFolders, TheRuntimeFolderIsReachableByTheUserAlone) {
    Boards boards(1);
    Scratch scratch;
    const mode_t umaskBefore = umask(0);
    const struct {
        const char* what;
        void (*make)(const fs::path& folder, const fs::path& elsewhere);
        bool used;
    } cases[] = {
        {"none yet", [](const fs::path&, const fs::path&) {}, true},
        {"open to others",
         [](const fs::path& folder, const fs::path&) {
             fs::create_directory(folder);
             chmod(folder.c_str(), 0755);
         },
         false},
        {"a link",
         [](const fs::path& folder, const fs::path& elsewhere) {
             fs::create_directory(elsewhere);
             chmod(elsewhere.c_str(), 0700);
             fs::create_directory_symlink(elsewhere, folder);
         },
         false},
    };
    int number = 0;
    for (const auto& c : cases) {
        const fs::path runtime = scratch.Path("run" + std::to_string(++number));
        fs::create_directory(runtime);
        const fs::path folder = runtime / "kronax";
        c.make(folder, runtime / "elsewhere");
        ScopedEnvironment environment("XDG_RUNTIME_DIR", runtime.string());
        EXPECT_EQ(Kronax({"status", "--port", "COM1"}).code, 0) << c.what;
        std::size_t files = 0;
        for (const auto& entry : fs::directory_iterator(folder)) {
            ++files;
            EXPECT_EQ(ModeOf(entry.path()), 0600u) << c.what << ": " << entry.path();
        }
        EXPECT_EQ(files, c.used ? 1u : 0u) << c.what;
        if (c.used) {
            EXPECT_EQ(ModeOf(folder), 0700u) << c.what;
        }
    }
    umask(umaskBefore);
}

} // namespace
} // namespace kronax::cli::testing
