#include "link/PortIdentity.h"
#include "link/PortFailure.h"

#include <gtest/gtest.h>

#ifdef __linux__
#include "link/linux/LinuxPortIdentity.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace kronax {
namespace {

TEST(DescribePort, LeavesOutUnknownPartsAndPrefersTheProductName) {
    EXPECT_EQ(DescribePort({"COM3", "", "", "", "", "", ""}), "COM3");
    EXPECT_EQ(
        DescribePort({"COM3", "/dev/ttyUSB0", "0403", "6001", "FTDI", "FT232R USB UART", "A1"}),
        "COM3 \u00b7 /dev/ttyUSB0 \u00b7 FT232R USB UART");
    EXPECT_EQ(DescribePort({"COM3", "/dev/ttyUSB0", "0403", "6001", "", "", ""}),
              "COM3 \u00b7 /dev/ttyUSB0 \u00b7 0403:6001");
}

TEST(PortFailure, FailuresWithoutAPlatformCodeKeepTheirText) {
    EXPECT_EQ(PortFailureReason(ESerialPort(CError_OpenFailed)), "Unable to open com port");
    EXPECT_EQ(DescribePortFailure(
                  ClassifyPortFailure(ESerialPort(CError_ReadFailed), PortStage::Exchange)),
              "failed during the exchange: ReadFile function failed");
}

#ifdef __linux__
// A device that is gone while the port is open has vanished, whichever code the system gives.
TEST(PortFailure, ClassifiesOnceAndNamesTheCommonCausesInPlainWords) {
    const struct {
        int code;
        PortStage stage;
        PortFailureKind kind;
        std::string words;
    } cases[] = {
        {EBUSY, PortStage::Opening, PortFailureKind::Busy,
         "could not be opened: busy (another program holds it)"},
        {EACCES, PortStage::Opening, PortFailureKind::PermissionDenied,
         "could not be opened: permission denied (the user must be in the group that owns the "
         "device, e.g. dialout)"},
        {ENOENT, PortStage::Opening, PortFailureKind::NotPresent,
         "could not be opened: not present"},
        {ENXIO, PortStage::Exchange, PortFailureKind::Vanished, "was disconnected"},
        {EIO, PortStage::Exchange, PortFailureKind::Vanished, "was disconnected"},
        {EPROTONOSUPPORT, PortStage::Opening, PortFailureKind::NotTelnetServer,
         "could not be opened: not a Telnet/RFC 2217 server"},
        {ENOPROTOOPT, PortStage::Opening, PortFailureKind::ComPortRefused,
         "could not be opened: refused the COM-PORT option"},
        {EINVAL, PortStage::Exchange, PortFailureKind::Other,
         "failed during the exchange: SetCommState function failed (win error code: " +
             std::to_string(EINVAL) + ")"},
    };
    for (const auto& c : cases) {
        const PortFailure failure =
            ClassifyPortFailure(ESerialPort(CError_SetStateFailed, c.code), c.stage);
        EXPECT_EQ(failure.kind, c.kind) << c.words;
        EXPECT_EQ(DescribePortFailure(failure), c.words);
    }
    EXPECT_EQ(PortFailureReason(ESerialPort(CError_OpenFailed, ENOENT)), "not present");
}

namespace fs = std::filesystem;

// A sysfs tree with a USB adapter (ttyUSB0) and an on-board UART (ttyS0), and a ports folder
// whose COM101 leads to the adapter's device node.
class FakeSysfs : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(root);
        fs::path usb = root / "sys/devices/pci0/usb1/1-1";
        fs::create_directories(usb / "1-1:1.0/ttyUSB0");
        Write(usb / "idVendor", "0403\n");
        Write(usb / "idProduct", "6001\n");
        Write(usb / "manufacturer", "FTDI\n");
        Write(usb / "product", "FT232R USB UART\n");
        Write(usb / "serial", "A10K5XYZ\n");
        fs::create_directories(root / "sys/devices/platform/serial8250/ttyS0");
        fs::create_directories(root / "sys/class/tty/ttyUSB0");
        fs::create_directories(root / "sys/class/tty/ttyS0");
        fs::create_directory_symlink(usb / "1-1:1.0/ttyUSB0",
                                     root / "sys/class/tty/ttyUSB0/device");
        fs::create_directory_symlink(root / "sys/devices/platform/serial8250/ttyS0",
                                     root / "sys/class/tty/ttyS0/device");
        fs::create_directories(root / "dev");
        // A character device where permitted (the null device's numbers), a plain file otherwise.
        if (mknod((root / "dev/ttyUSB0").c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            Write(root / "dev/ttyUSB0", "");
        fs::create_directories(root / "ports");
        fs::create_symlink(root / "dev/ttyUSB0", root / "ports/COM101");
        setenv("KRONAX_PORTS", (root / "ports").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("KRONAX_PORTS");
        fs::remove_all(root);
    }
    static void Write(const fs::path& file, const std::string& text) {
        std::ofstream(file) << text;
    }

    fs::path root = fs::temp_directory_path() / ("kronax-sysfs-" + std::to_string(getpid()));
    std::string sys() const { return (root / "sys").string(); }
};

TEST_F(FakeSysfs, AUsbAdapterIsIdentifiedFromTheUsbDeviceAboveItsInterface) {
    PortIdentity port;
    posix::ReadUsbIdentity("ttyUSB0", sys(), port);
    EXPECT_EQ(port.vendorId, "0403");
    EXPECT_EQ(port.productId, "6001");
    EXPECT_EQ(port.manufacturer, "FTDI");
    EXPECT_EQ(port.product, "FT232R USB UART");
    EXPECT_EQ(port.serialNumber, "A10K5XYZ");
}

TEST_F(FakeSysfs, AnOnBoardUartOrAnUnknownDeviceHasNoUsbDetails) {
    for (const char* tty : {"ttyS0", "ttyACM7", "3"}) {
        PortIdentity port;
        posix::ReadUsbIdentity(tty, sys(), port);
        EXPECT_EQ(port.vendorId, "") << tty;
        EXPECT_EQ(port.product, "") << tty;
    }
}

TEST_F(FakeSysfs, APortLinkIsFollowedToItsDeviceAndThatDevicesIdentity) {
    PortIdentity port = posix::IdentityOf("COM101", sys());
    EXPECT_EQ(port.name, "COM101");
    EXPECT_EQ(port.devicePath, fs::canonical(root / "dev/ttyUSB0").string());
    EXPECT_EQ(port.product, "FT232R USB UART");
}

// Dangling links (an unplugged adapter, a closed pseudo-terminal) and links to anything but a
// character device are no ports.
TEST_F(FakeSysfs, TheListHasThePortsWithADeviceBehindThemByNumber) {
    if (!fs::is_character_file(root / "dev/ttyUSB0"))
        GTEST_SKIP() << "no device node can be made here";
    fs::create_symlink("/dev/null", root / "ports/COM2");
    fs::create_symlink(root / "dev/missing", root / "ports/COM3");
    Write(root / "dev/plain", "");
    fs::create_symlink(root / "dev/plain", root / "ports/COM4");
    fs::create_symlink(root / "dev", root / "ports/COM5");
    std::vector<PortIdentity> ports = ListPortIdentities();
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].name, "COM2");
    EXPECT_EQ(ports[0].devicePath, "/dev/null");
    EXPECT_EQ(ports[1].name, "COM101");
    EXPECT_EQ(ports[1].devicePath, fs::canonical(root / "dev/ttyUSB0").string());
}
#endif

} // namespace
} // namespace kronax
