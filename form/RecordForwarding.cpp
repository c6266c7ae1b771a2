#include "form/RecordForwarding.h"

#include "form/FormView.h"
#include "records/RecordsLocation.h"
#include "records/server/BackgroundForwarder.h"
#include "records/server/ServerSetting.h"

#include <cstdlib>

namespace kronax {
namespace {

// The records waiting, and those this forwarding set aside because the server refused what
// they hold: both stay in the station's store.
StatusText QueueText(const records::ForwardReport& report) {
    std::string text;
    if (report.queued > 0)
        text = std::to_string(report.queued) +
               (report.queued == 1 ? " record waits" : " records wait") + " to be forwarded";
    if (report.setAside > 0)
        text += (text.empty() ? "" : "; ") + std::to_string(report.setAside) +
                (report.setAside == 1 ? " record set aside: the records server refused it"
                                      : " records set aside: the records server refused them");
    if (text.empty())
        return {};
    const auto& reason = report.failure ? report.failure : report.refusal;
    return {text, reason ? reason->what() : "", true};
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
