#include "form/RecordForwarding.h"

#include "form/FormView.h"
#include "records/RecordsLocation.h"
#include "records/server/BackgroundForwarder.h"
#include "records/server/ServerSetting.h"

#include <cstdlib>

namespace kronax {
namespace {

StatusText QueueText(const records::ForwardReport& report) {
    if (report.queued == 0)
        return {};
    return {std::to_string(report.queued) +
                (report.queued == 1 ? " record waits" : " records wait") + " to be forwarded",
            report.failure ? report.failure->what() : "", true};
}

class RecordForwarding : public IRecordForwarding {
public:
    RecordForwarding(IFormView& view, const std::filesystem::path& store, const std::string& server)
        : forwarder_(store, server, [&view](const records::ForwardReport& report) {
              // The forwarder's thread: the view shows the report on its own thread.
              view.Post([&view, text = QueueText(report)] {
                  view.SetStatus(StatusPart::Forwarding, text);
              });
          }) {}

    void AfterOperation() override { forwarder_.Forward(); }

private:
    records::BackgroundForwarder forwarder_;
};

class NoForwarding : public IRecordForwarding {
public:
    void AfterOperation() override {}
};

} // namespace

std::unique_ptr<IRecordForwarding> MakeRecordForwarding(IFormView& view,
                                                        const std::string& settingsFileName) {
    const auto server = records::RecordsServer(std::getenv, settingsFileName);
    const auto store = records::RecordsFile();
    if (!server || !store)
        return std::make_unique<NoForwarding>();
    return std::make_unique<RecordForwarding>(view, *store, *server);
}

} // namespace kronax
