#include "config_file/ConfigFileFlows.h"
#include "config_file/FileError.h"
#include "config_file/FileExists.h"
#include "config_file/FileSteps.h"
#include "config_file/IniEntryStore.h"
#include "config_file/IniFile.h"
#include "config_file/RememberedPort.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/PayloadCodec.h"
#include "tests/fakes/ScriptedChannel.h"

#include "config_file/IniText.h"
#include "tests/support/FileText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kronax {
namespace {
namespace fs = std::filesystem;

// The unprivileged account a root test drops to, so that folder permissions apply.
constexpr uid_t Nobody = 65534;

// Bounds a hang of a test that would otherwise wait for a FIFO's peer forever.
class HangGuard {
public:
    HangGuard() { alarm(60); }
    ~HangGuard() { alarm(0); }
};

// Answers every file dialog with one name and OK, and counts what the flow asked.
class FixedNameWindow : public IConfigFileWindow {
public:
    explicit FixedNameWindow(std::string name) : name_(std::move(name)) {}

    int questions = 0;
    int reports = 0;

    std::optional<std::string> ChooseSaveFile(const FileDialogOptions&) override { return name_; }
    std::optional<std::string> ChooseOpenFile(const FileDialogOptions&) override { return name_; }
    bool ConfirmWarning(std::string_view, std::string_view) override {
        ++questions;
        return true;
    }
    void Repaint() override {}
    void SetReport(const std::string&) override { ++reports; }

private:
    std::string name_;
};

class FileKinds : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("kronax-kinds-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code error;
        if (mounted_)
            umount(folder_.c_str());
        fs::permissions(folder_, fs::perms::owner_all, error);
        fs::remove_all(folder_, error);
    }

    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

    static std::string WriteError(IniFile& file, const std::string& value = "1") {
        return WriteFailure(file, value).first;
    }
    // The message and reason of a refused write.
    static std::pair<std::string, std::error_code> WriteFailure(IniFile& file,
                                                                const std::string& value = "1") {
        try {
            file.WriteEntry("A", "x", value);
        } catch (const EIniWrite& error) {
            return {error.what(), error.Reason()};
        }
        return {"written", {}};
    }
    int EntriesInFolder() const {
        return static_cast<int>(std::distance(fs::directory_iterator(folder_), {}));
    }

    // Makes the test folder a small tmpfs; false where mounting is not permitted.
    bool MountSmallDisk() {
        mounted_ = mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=64k") == 0;
        return mounted_;
    }

    // Runs action where the folder refuses new files. Root passes any mode check, so as root the
    // action runs in a child process that has dropped to an unprivileged account.
    bool RunInReadOnlyFolder(const std::function<bool()>& action) {
        fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec |
                                     fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec);
        if (geteuid() != 0)
            return action();
        const pid_t child = fork();
        if (child == 0) {
            const bool dropped = setgid(Nobody) == 0 && setuid(Nobody) == 0;
            _exit(dropped && action() ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    fs::path folder_;
    bool mounted_ = false;
};

TEST_F(FileKinds, FifoAndDevicesCountAsNoFileAndAreNeverOpenedForReadingOrWriting) {
    const HangGuard guard;
    ASSERT_EQ(mkfifo(PathOf("f.kxcfg").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", PathOf("z.kxcfg"));
    fs::create_symlink("/dev/null", PathOf("n.ini"));
    for (const char* name : {"f.kxcfg", "z.kxcfg", "n.ini"}) {
        SCOPED_TRACE(name);
        const std::string path = PathOf(name);
        EXPECT_FALSE(FileExists(path));
        IniFile file(path);
        EXPECT_EQ(file.ReadEntry("Kronax", "SEN", ""), "");
        EXPECT_EQ(WriteError(file), "Unable to write to " + path);
    }
    EXPECT_TRUE(fs::is_fifo(PathOf("f.kxcfg")));
    EXPECT_TRUE(fs::is_symlink(PathOf("z.kxcfg")));
    EXPECT_FALSE(FileExists(folder_.string()));
    EXPECT_EQ(EntriesInFolder(), 3) << "no temporary file is left behind";
}

TEST_F(FileKinds, OpeningAFifoLoadsNothingAndSavingToItRaisesUnableToWrite) {
    const HangGuard guard;
    const std::string path = PathOf("f.kxcfg");
    ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
    MemoryConfigurationView view;
    test::ScriptedChannel channel(test::BoardHolding(StartSnapshot()));
    FixedNameWindow window(path);
    const ConfigFileContext context{view, channel, window, [](const std::string& name) {
                                        return std::make_unique<IniEntryStore>(name);
                                    }};

    LoadConfigurationFromFile(context);
    EXPECT_EQ(window.reports, 0);
    EXPECT_TRUE(channel.commands.empty());
    EXPECT_EQ(view.Snapshot(), StartSnapshot());

    try {
        StoreConfigurationToFile(context);
        FAIL() << "saved to a FIFO";
    } catch (const EIniWrite& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
    }
    EXPECT_EQ(window.questions, 0) << "a FIFO is not a file that could be overwritten";
    EXPECT_TRUE(fs::is_fifo(path));
}

TEST_F(FileKinds, SettingsFileThatIsAFifoReadsAsAbsentAndIsRefusedAtShutdown) {
    const HangGuard guard;
    const std::string path = PathOf("kronax-config.ini");
    ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
    IniEntryStore settings(path);
    EXPECT_EQ(ReadComPortNumber(settings), 1);
    try {
        WriteComPortNumber(settings, 7);
        FAIL() << "written to a FIFO";
    } catch (const EIniWrite& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
    }
}

// A file no one would write is neither read whole nor, when it is the settings file, rewritten:
// a sparse 2 GB file costs no time or memory and keeps its size.
TEST_F(FileKinds, AFileLargerThanAnyConfigurationIsRefusedUnreadAndNeverRewritten) {
    const std::string settingsPath = PathOf("kronax-config.ini");
    const std::string configPath = PathOf("big.kxcfg");
    for (const std::string& path : {settingsPath, configPath}) {
        std::ofstream(path) << "[Kronax]\nComPort=7\nSEN=010100000000\n";
        fs::resize_file(path, std::uintmax_t{2} << 30);
    }
    IniEntryStore settings(settingsPath);
    EXPECT_EQ(ReadComPortNumber(settings), 1);
    IniFile settingsFile(settingsPath);
    const auto [message, reason] = WriteFailure(settingsFile, "x");
    EXPECT_EQ(message, "Unable to write to " + settingsPath);
    EXPECT_EQ(reason, FileError::TooLarge);
    EXPECT_EQ(fs::file_size(settingsPath), std::uintmax_t{2} << 30);

    MemoryConfigurationView view;
    test::ScriptedChannel channel(test::BoardHolding(StartSnapshot()));
    FixedNameWindow window(configPath);
    const ConfigFileContext context{view, channel, window, [](const std::string& name) {
                                        return std::make_unique<IniEntryStore>(name);
                                    }};
    EXPECT_THROW(LoadConfigurationFromFile(context), EIniRead);
    EXPECT_TRUE(channel.commands.empty());
}

// Another program saving by atomic rename, as Save does, while the file is opened again and
// again: whatever is sent is one file's configuration, whole.
TEST_F(FileKinds, OpeningAFileThatIsReplacedMeanwhileSendsOneOfItsVersionsWhole) {
    ConfigurationSnapshot other = StartSnapshot();
    other.configuration.CountsPerRev = 3600;
    other.Selected(Selection::SensorType) = sensor_type::PulseTrigger;
    std::vector<std::string> texts, sent;
    for (const ConfigurationSnapshot& each : {StartSnapshot(), other}) {
        MemoryConfigurationView source(each);
        std::string text = "[Kronax]\n", commands;
        for (PayloadKind kind : PayloadKinds) {
            const std::string payload = EncodePayload(kind, source);
            text += std::string(KindName(kind)) + "=" + payload + "\n";
            commands += "##SM" + std::string(KindName(kind)) + payload + "\r";
        }
        texts.push_back(text);
        sent.push_back(commands);
    }
    const std::string path = PathOf("board.kxcfg");
    std::ofstream(path) << texts[0];
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (std::size_t turn = 0; !stop; ++turn) {
            std::ofstream(path + ".new") << texts[turn % 2];
            fs::rename(path + ".new", path);
        }
    });
    FixedNameWindow window(path);
    int mixtures = 0;
    for (int open = 0; open < 200; ++open) {
        MemoryConfigurationView view;
        test::ScriptedChannel channel(test::BoardHolding(StartSnapshot()));
        LoadConfigurationFromFile({view, channel, window, [](const std::string& name) {
                                       return std::make_unique<IniEntryStore>(name);
                                   }});
        std::string commands;
        for (const std::string& command : channel.commands)
            commands += command;
        mixtures += commands != sent[0] && commands != sent[1] ? 1 : 0;
    }
    stop = true;
    writer.join();
    EXPECT_EQ(mixtures, 0);
}

TEST_F(FileKinds, WritableFileInAReadOnlyFolderIsRewrittenInPlace) {
    const std::string path = PathOf("kronax-config.ini");
    test::WriteFileText(path, "; kept\r\n[General]\r\nComPortNo=1\r\n[Other]\r\nk=v\r\n");
    if (geteuid() == 0) {
        ASSERT_EQ(chown(path.c_str(), Nobody, Nobody), 0);
    }

    EXPECT_TRUE(RunInReadOnlyFolder([&] {
        IniEntryStore settings(path);
        WriteComPortNumber(settings, 10);
        return true;
    }));
    EXPECT_EQ(test::ReadFileText(path),
              "; kept\r\n[General]\r\nComPortNo=10\r\n[Other]\r\nk=v\r\n");
    EXPECT_EQ(EntriesInFolder(), 1);

    // A file that does not exist yet still needs the folder.
    const std::string missing = PathOf("new.ini");
    EXPECT_TRUE(RunInReadOnlyFolder([&] {
        IniFile file(missing);
        return WriteError(file) == "Unable to write to " + missing;
    }));
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(FileKinds, SymbolicLinksAreFollowedAndADanglingOneGetsItsTargetCreated) {
    fs::create_directory(PathOf("real"));
    fs::create_symlink("real/target.kxcfg", PathOf("dangling.kxcfg"));
    fs::create_symlink("dangling.kxcfg", PathOf("chain.kxcfg"));
    IniFile file(PathOf("chain.kxcfg"));
    file.WriteEntry("Kronax", "SEN", "0C0100000000");
    EXPECT_TRUE(fs::is_symlink(PathOf("chain.kxcfg")));
    EXPECT_TRUE(fs::is_symlink(PathOf("dangling.kxcfg")));
    EXPECT_EQ(test::ReadFileText(PathOf("real/target.kxcfg")), "[Kronax]\r\nSEN=0C0100000000\r\n");
    EXPECT_TRUE(FileExists(PathOf("chain.kxcfg")));
    EXPECT_EQ(file.ReadEntry("Kronax", "SEN", ""), "0C0100000000");

    fs::create_symlink("loop.kxcfg", PathOf("loop.kxcfg"));
    IniFile loop(PathOf("loop.kxcfg"));
    EXPECT_EQ(WriteError(loop), "Unable to write to " + PathOf("loop.kxcfg"));
}

TEST_F(FileKinds, ReplacedFileKeepsItsModeOwnerAndHardLinks) {
    const std::string path = PathOf("s.kxcfg");
    test::WriteFileText(path, "[Kronax]\r\nSEN=1\r\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(path.c_str(), Nobody, Nobody), 0);
    }
    IniFile file(path);
    file.WriteEntry("Kronax", "SEN", "2");
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(info.st_uid, Nobody);
    }

    fs::create_hard_link(path, PathOf("other-name.kxcfg"));
    file.WriteEntry("Kronax", "SEN", "3");
    EXPECT_EQ(fs::hard_link_count(path), 2u);
    EXPECT_EQ(test::ReadFileText(PathOf("other-name.kxcfg")), "[Kronax]\r\nSEN=3\r\n");
    file.WriteEntry("Kronax", "CDM", "0001");
    EXPECT_EQ(test::ReadFileText(PathOf("other-name.kxcfg")), "[Kronax]\r\nSEN=3\r\nCDM=0001\r\n");
    EXPECT_EQ(EntriesInFolder(), 2);
}

TEST_F(FileKinds, FullDiskLeavesTheOldFileWholeWhetherReplacedOrRewrittenInPlace) {
    if (!MountSmallDisk())
        GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    const std::string single = PathOf("single.kxcfg");
    const std::string linked = PathOf("linked.kxcfg");
    const std::string old = "[Kronax]\r\nSEN=1\r\n";
    test::WriteFileText(single, old);
    test::WriteFileText(linked, old);
    fs::create_hard_link(linked, PathOf("linked-too.kxcfg"));
    test::WriteFileText(PathOf("filler"), std::string(60 * 1024, 'x'));

    const std::string big(8 * 1024, 'A');
    IniFile replaced(single);
    IniFile inPlace(linked);
    const std::pair<std::string, std::error_code> noSpace{
        "Unable to write to " + single, std::make_error_code(std::errc::no_space_on_device)};
    EXPECT_EQ(WriteFailure(replaced, big), noSpace);
    EXPECT_EQ(WriteFailure(inPlace, big),
              std::make_pair("Unable to write to " + linked, noSpace.second));
    EXPECT_EQ(test::ReadFileText(single), old);
    EXPECT_EQ(test::ReadFileText(linked), old);
    EXPECT_EQ(EntriesInFolder(), 4);
}

// Thrown by the step hook to stop an update where a crash would.
struct Crash {};

// The save flow (one update of six entries) stopped at every step of the file layer, once
// through a temporary file and once rewriting a hard-linked file in place, with the new file
// shorter and longer than the old: each stop leaves the old configuration or the new one, and the
// next successful save leaves no temporary file behind.
TEST_F(FileKinds, EveryCrashPointOfASaveLeavesTheOldFileOrTheNewOne) {
    const std::string path = PathOf("board.kxcfg");
    ConfigurationSnapshot used = StartSnapshot();
    used.configuration.CountsPerRev = 3600;
    used.Selected(Selection::SensorType) = sensor_type::MotionEncoder;
    MemoryConfigurationView view(used);
    test::ScriptedChannel channel(test::BoardHolding(StartSnapshot()));
    FixedNameWindow window(path);
    const ConfigFileContext context{view, channel, window, [](const std::string& name) {
                                        return std::make_unique<IniEntryStore>(name);
                                    }};
    const std::string head = "; notes\r\n[Other]\r\nkeep=1\r\n[Kronax]\r\n";
    const std::string shortOld = head + "SEN=1\r\nMUX=2\r\n";
    const std::string longOld = head + "SEN=" + std::string(300, '7') +
                                "\r\nCDM=" + std::string(300, '8') +
                                "\r\nABV=1\r\nTDF=1\r\nMOD=1\r\nMUX=1\r\n";
    for (const bool hardLinked : {false, true}) {
        for (const std::string& old : {shortOld, longOld}) {
            SCOPED_TRACE(std::string(hardLinked ? "in place, " : "replaced, ") +
                         std::to_string(old.size()) + " bytes before");
            test::WriteFileText(path, old);
            if (hardLinked)
                fs::create_hard_link(path, PathOf("board-link.kxcfg"));
            StoreConfigurationToFile(context);
            const std::string saved = test::ReadFileText(path);
            int steps = 0;
            int crashes = 0;
            bool crashed = true;
            for (int stop = 1; crashed; ++stop) {
                test::WriteFileText(path, old);
                SetFileStepHook([&]() -> std::error_code {
                    if (++steps == stop)
                        throw Crash{};
                    return {};
                });
                steps = 0;
                crashed = false;
                try {
                    StoreConfigurationToFile(context);
                } catch (const Crash&) {
                    crashed = true;
                    ++crashes;
                }
                SetFileStepHook({});
                const std::string text = test::ReadFileText(path);
                const bool padded = text.size() > saved.size() &&
                                    text.compare(0, saved.size(), saved) == 0 &&
                                    text.find_first_not_of('\n', saved.size()) == std::string::npos;
                EXPECT_TRUE(text == old || text == saved || padded) << "stopped at step " << stop;
            }
            // Every way of saving takes at least a write, a flush and one more step.
            EXPECT_GE(crashes, 3);
            StoreConfigurationToFile(context);
            EXPECT_EQ(test::ReadFileText(path), saved);
            EXPECT_EQ(EntriesInFolder(), hardLinked ? 2 : 1);
            fs::remove(PathOf("board-link.kxcfg"));
        }
    }
}

TEST_F(FileKinds, ARefusedWriteCarriesTheSystemsReason) {
    const HangGuard guard;
    fs::create_symlink("loop.ini", PathOf("loop.ini"));
    ASSERT_EQ(mkfifo(PathOf("fifo.ini").c_str(), 0644), 0);
    test::WriteFileText(PathOf("ro.ini"), "[A]\r\nx=0\r\n");
    fs::permissions(PathOf("ro.ini"), fs::perms::owner_read);
    test::WriteFileText(PathOf("full.ini"), "[A]\r\nx=0\r\n");
    const struct {
        std::string name;
        std::error_code reason;
        std::string text;
    } cases[] = {
        {"loop.ini", std::make_error_code(std::errc::too_many_symbolic_link_levels),
         "too many levels of symbolic links"},
        {"fifo.ini", make_error_code(FileError::NotRegularFile), "not a regular file"},
        {"ro.ini", make_error_code(FileError::ReadOnlyFile), "the file is read-only"},
        {"missing/s.ini", std::make_error_code(std::errc::no_such_file_or_directory),
         "no such file or directory"},
        {"full.ini", std::make_error_code(std::errc::no_space_on_device),
         "no space left on device"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetFileStepHook([&] {
            return c.name == "full.ini" ? std::make_error_code(std::errc::no_space_on_device)
                                        : std::error_code();
        });
        IniFile file(PathOf(c.name));
        const auto [message, reason] = WriteFailure(file);
        SetFileStepHook({});
        EXPECT_EQ(message, "Unable to write to " + PathOf(c.name));
        EXPECT_EQ(reason, c.reason);
        EXPECT_EQ(ReasonText(reason), c.text);
    }
    EXPECT_EQ(test::ReadFileText(PathOf("full.ini")), "[A]\r\nx=0\r\n");
    EXPECT_EQ(EntriesInFolder(), 4);
}

// A temporary file is stale when its writer is gone: a process that has ended, or this one when
// it no longer writes it. Another running writer's and other files' temporaries stay.
TEST_F(FileKinds, StaleTemporariesGoOnTheNextSuccessfulWrite) {
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    const std::string gone = std::to_string(child);
    const std::string running = std::to_string(getppid());
    const std::string self = std::to_string(getpid());
    for (const std::string& name :
         {"s.ini.tmp" + gone + "-1", "s.ini.tmp" + self + "-99", "s.ini.tmp" + running + "-2",
          "other.ini.tmp" + gone + "-1", "s.ini.tmp" + gone + "-x"})
        test::WriteFileText(PathOf(name), "[A]\r\nx=half");
    IniFile file(PathOf("s.ini"));
    file.WriteEntry("A", "x", "1");
    std::set<std::string> left;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder_))
        left.insert(entry.path().filename().string());
    EXPECT_EQ(left,
              (std::set<std::string>{"s.ini", "s.ini.tmp" + running + "-2",
                                     "other.ini.tmp" + gone + "-1", "s.ini.tmp" + gone + "-x"}));
}

} // namespace
} // namespace kronax
