#include "app/EntryField.h"
#include "app/RadioGroup.h"
#include "config_file/IniFile.h"
#include "protocol/PayloadCodec.h"
#include "sim/SimProcess.h"
#include "tests/app/LinkedForm.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTimer>

#include <array>
#include <fstream>
#include <memory>
#include <sstream>

namespace kronax::test {
namespace {

using sim::PortClient;
using sim::SimProcess;

using Payloads = std::array<std::string, 6>;

// A configuration far from the start values: a motion encoder with its own counts, multiplier,
// divider, alpha, beta, filter and output sources.
ConfigurationSnapshot BoardSnapshot() {
    ConfigurationSnapshot snapshot = StartSnapshot();
    snapshot.configuration.CountsPerRev = 1000;
    snapshot.configuration.Multiplier = 3;
    snapshot.configuration.Divider = 5;
    snapshot.configuration.Alpha = 2;
    snapshot.configuration.Beta = 7;
    snapshot.Selected(Selection::SensorType) = sensor_type::MotionEncoder;
    snapshot.Selected(Selection::EncoderMode) = 1;
    snapshot.Selected(Selection::InputFilter) = 2;
    snapshot.Selected(Selection::Aux2Source) = 3;
    snapshot.Selected(Selection::Di6Source) = 1;
    return snapshot;
}

Payloads Encode(const ConfigurationSnapshot& snapshot) {
    Payloads payloads;
    for (std::size_t i = 0; i < PayloadKinds.size(); ++i)
        payloads[i] = EncodePayload(PayloadKinds[i], snapshot);
    return payloads;
}

Payloads Encode(const IConfigurationView& view) {
    return Encode(TakeSnapshot(view));
}

Payloads ReadFile(const std::string& fileName) {
    const IniFile file(fileName);
    Payloads payloads;
    for (std::size_t i = 0; i < PayloadKinds.size(); ++i)
        payloads[i] = file.ReadEntry("Kronax", std::string(KindName(PayloadKinds[i])), "");
    return payloads;
}

void WriteFile(const std::string& fileName, const Payloads& payloads) {
    IniFile file(fileName);
    for (std::size_t i = 0; i < PayloadKinds.size(); ++i)
        file.WriteEntry("Kronax", std::string(KindName(PayloadKinds[i])), payloads[i]);
}

// What the board answers to the six queries, asked over its port once no window holds it.
Payloads AskBoard(const SimProcess& board) {
    PortClient client(board.LinkPath());
    Payloads payloads;
    for (std::size_t i = 0; i < PayloadKinds.size(); ++i) {
        client.Write("??SM" + std::string(KindName(PayloadKinds[i])) + "\r");
        const std::string reply = client.ReadLine();
        payloads[i] = reply.size() > 4 ? reply.substr(3, reply.size() - 4) : reply;
    }
    return payloads;
}

std::string FileText(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// A board whose power-on state is the configuration above, and a window started on it.
class EndToEndTest : public testing::Test {
protected:
    EndToEndTest() {
        WriteFile(stateFile, boardPayloads);
        board = std::make_unique<SimProcess>(
            std::vector<std::string>{"--state", stateFile, "--log", boardLog});
        ports = std::make_unique<ScopedPorts>(board->Folder());
        form = std::make_unique<LinkedForm>(TestEnvironment(folder + "/settings.ini"));
        form->Control<QTimer>("Timer2")->stop();
    }

    std::string folder = NewFolder();
    std::string stateFile = folder + "/board.kxcfg";
    std::string boardLog = folder + "/board.log";
    Payloads boardPayloads = Encode(BoardSnapshot());
    std::unique_ptr<SimProcess> board;
    std::unique_ptr<ScopedPorts> ports;
    std::unique_ptr<LinkedForm> form;
};

TEST_F(EndToEndTest, StartUpShowsTheBoardsConfigurationInFieldsAndPanel) {
    EXPECT_EQ(form->Text("lblReport"),
              "??SMSEN | CA parameters received.\r\n??SMCDM | CDM parameters received.\r\n"
              "??SMABV | Alpha Beta parameters received.\r\n"
              "??SMTDF | Multiplier/Devider parameters received.\r\n"
              "??SMMOD | Operation Mode received.\r\n??SMMUX | Operation Mode received.\r\n");
    EXPECT_EQ(form->Control<EntryField>("edCntPerRev")->text(), "1000");
    EXPECT_EQ(form->Control<EntryField>("edMultiplier")->text(), "3");
    EXPECT_EQ(form->Control<EntryField>("edBeta")->text(), "7");
    EXPECT_EQ(form->Form().Selected(Selection::SensorType), sensor_type::MotionEncoder);
    EXPECT_EQ(form->Form().Selected(Selection::Aux2Source), 3);
    EXPECT_EQ(Encode(form->Form()), boardPayloads);
}

TEST_F(EndToEndTest, WriteSendsTheReadConfigurationBackUnchanged) {
    form->ApplyConfigurationtoKronax1Click();
    const QStringList report = form->Text("lblReport").split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(report.size(), 6);
    for (const QString& line : report)
        EXPECT_TRUE(line.endsWith(" acknowledged.")) << line.toStdString();
    const QStringList log = form->LogLines();
    ASSERT_EQ(log.size(), 13) << "six queries at start-up, six writes, the identity for the record";
    EXPECT_TRUE(log[12].startsWith("??SMSETB\\r | "));
    for (std::size_t i = 0; i < PayloadKinds.size(); ++i)
        EXPECT_TRUE(log[6 + static_cast<int>(i)].startsWith(QString::fromStdString(
            "##SM" + std::string(KindName(PayloadKinds[i])) + boardPayloads[i] + "\\r | ")));
    form.reset();
    EXPECT_EQ(AskBoard(*board), boardPayloads);
}

TEST_F(EndToEndTest, SavedFileOpensToTheSameConfigurationAndIsSentToTheBoard) {
    const std::string file = folder + "/saved.kxcfg";
    form->saveAnswers.push_back(file);
    form->StoreConfigurationtoFile1Click();
    EXPECT_EQ(ReadFile(file), boardPayloads);
    EXPECT_TRUE(form->warnings.empty()) << "a new file needs no question";

    form->Control<EntryField>("edCntPerRev")->setText("77");
    form->Form().Select(Selection::SensorType, sensor_type::PulseTrigger);
    form->ApplyConfigurationtoKronax1Click();
    ASSERT_NE(Encode(form->Form()), boardPayloads);

    form->openAnswers.push_back(file);
    form->LoadConfigurationfromFile1Click();
    EXPECT_EQ(Encode(form->Form()), boardPayloads);
    EXPECT_EQ(form->Control<EntryField>("edCntPerRev")->text(), "1000");
    const QStringList log = form->LogLines();
    ASSERT_GE(log.size(), 7);
    // The identity for the record follows the six writes.
    EXPECT_EQ(log[log.size() - 7],
              QString::fromStdString("##SMSEN" + boardPayloads[0] + "\\r | !SMACK\\r"));
    form.reset();
    EXPECT_EQ(AskBoard(*board), boardPayloads);
}

TEST_F(EndToEndTest, CancelOnTheOverwriteQuestionLeavesTheFileUntouched) {
    const std::string file = folder + "/existing.kxcfg";
    std::ofstream(file, std::ios::binary) << "[Other]\r\nkey=value\r\n";
    form->saveAnswers.push_back(file);
    form->warningAnswers.push_back(false);
    form->StoreConfigurationtoFile1Click();
    EXPECT_EQ(form->warnings, std::vector<std::string>{"Warning: File exists. Overwrite?"});
    EXPECT_EQ(FileText(file), "[Other]\r\nkey=value\r\n");
}

// A file with an illegal payload is loaded into the window as far as it goes, but the mixture of
// old and new values is never sent: the board's log shows no command after the start-up read.
TEST_F(EndToEndTest, FileWithAnIllegalPayloadSendsNothingAndKeepsTheBoardsConfiguration) {
    const std::string file = folder + "/illegal.kxcfg";
    Payloads payloads = Encode(StartSnapshot());
    payloads[1] = "00Z0";
    WriteFile(file, payloads);
    const std::string logBefore = FileText(boardLog);

    form->openAnswers.push_back(file);
    form->LoadConfigurationfromFile1Click();

    EXPECT_EQ(FileText(boardLog), logBefore);
    EXPECT_EQ(form->LogLines().size(), 6) << "only the start-up read";
    EXPECT_NE(form->Text("lblReport").indexOf("ILLEGAL CDM parameters."), -1);
    EXPECT_EQ(form->Control<QLabel>("lblOutcome")->text(),
              "Open: illegal.kxcfg not sent to the board: 5 of 6 read. First failure: ILLEGAL "
              "CDM parameters.");
    form.reset();
    EXPECT_EQ(AskBoard(*board), boardPayloads);
}

TEST_F(EndToEndTest, WholeFileIsSentAndTheStatusBarSaysSo) {
    const std::string file = folder + "/whole.kxcfg";
    WriteFile(file, Encode(StartSnapshot()));
    form->openAnswers.push_back(file);
    form->LoadConfigurationfromFile1Click();
    EXPECT_EQ(form->Control<QLabel>("lblOutcome")->text(),
              "Open: whole.kxcfg read and written: 6 of 6 acknowledged.");
    form.reset();
    EXPECT_EQ(AskBoard(*board), Encode(StartSnapshot()));
}

} // namespace
} // namespace kronax::test
