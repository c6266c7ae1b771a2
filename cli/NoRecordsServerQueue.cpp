#include "cli/RecordsServer.h"

// What history says of the queue without a records server client; only a build with a record
// store has history, and only it links the store's calls.
namespace kronax::cli {

std::string QueuedText(records::RecordStore&) {
    return "This kronax forwards no records: it was built without a records server client.\n";
}

nlohmann::ordered_json QueuedJson(records::RecordStore& store) {
    return {{"queued", store.QueuedCount()},
            {"server", nullptr},
            {"set_aside", nlohmann::ordered_json::array()}};
}

} // namespace kronax::cli
