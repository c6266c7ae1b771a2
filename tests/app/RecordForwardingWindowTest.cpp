#include "config_file/IniFile.h"
#include "sim/SimProcess.h"
#include "tests/app/LinkedForm.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

namespace kronax::test {
namespace {

// The server named in the window's own settings file is away: the read ends as always, and the
// status bar then says that records wait, with the reason as its tooltip.
TEST(RecordForwardingWindowTest, AServerAwayLeavesTheReadAsItIsAndTheStatusBarSaysRecordsWait) {
    sim::SimProcess board;
    ScopedPorts ports(board.Folder());
    const std::string folder = NewFolder();
    const std::string settings = folder + "/settings.ini";
    IniFile(settings).WriteEntries(
        {{"General", "ComPortNo", "99"},
         {"Records", "Server", "host=" + folder + "/nowhere dbname=kronax user=kronax"}});
    LinkedForm form(TestEnvironment(settings));
    form.Pick("COM1");
    EXPECT_EQ(form.Text("lblOutcome"), "Configuration read: 6 of 6 received.");
    const auto* queue = form.Control<QLabel>("lblRecordsQueue");
    ASSERT_NE(queue, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([queue] { return !queue->isHidden(); }, 10000));
    EXPECT_TRUE(queue->text().endsWith("to be forwarded")) << queue->text().toStdString();
    EXPECT_TRUE(queue->toolTip().contains("cannot reach the records server"))
        << queue->toolTip().toStdString();
}

} // namespace
} // namespace kronax::test
