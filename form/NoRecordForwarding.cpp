#include "form/RecordForwarding.h"

namespace kronax {
namespace {

class NoForwarding : public IRecordForwarding {
public:
    void AfterOperation() override {}
};

} // namespace

std::unique_ptr<IRecordForwarding> MakeRecordForwarding(IFormView&, const std::string&) {
    return std::make_unique<NoForwarding>();
}

} // namespace kronax
