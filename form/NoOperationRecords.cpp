#include "form/OperationRecords.h"

namespace kronax {
namespace {

// A station without a record store: every command goes through, and nothing is recorded.
class NoOperationRecords : public IOperationRecords {
public:
    explicit NoOperationRecords(ICommandChannel& channel) : channel_(channel) {}

    bool TransactCommand(const std::string& command, std::string& reply,
                         std::int32_t timeout) override {
        return channel_.TransactCommand(command, reply, timeout);
    }
    void Arm(const std::string&, const std::string&, const PortOpening&) override {}
    std::string Finish(OperationFacts) override { return ""; }
    std::string Abandon() override { return ""; }
    const std::string& LastBoardSerial() const override { return noBoard_; }
    records::RecordStore* Store() const override { return nullptr; }
    bool Kept() const override { return false; }

private:
    ICommandChannel& channel_;
    std::string noBoard_;
};

} // namespace

std::unique_ptr<IOperationRecords> MakeOperationRecords(ICommandChannel& channel,
                                                        records::RecordingLog&, bool) {
    return std::make_unique<NoOperationRecords>(channel);
}

} // namespace kronax
