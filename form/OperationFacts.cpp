#include "form/OperationRecords.h"

#include "records/OperationSteps.h"

namespace kronax {

using namespace kronax::records;

OperationFacts TransferFacts(const TransferReport& report, const char* errorCode, bool identify) {
    OperationFacts facts;
    const bool complete = report.steps.size() == PayloadKinds.size() && report.AllSucceeded();
    facts.exitCode = complete ? 0 : 1;
    facts.errorCode = errorCode;
    facts.details.steps = StepsOf(report);
    if (report.transfer == Transfer::WriteToBoard)
        facts.details.sent = PayloadsOf(report);
    else
        facts.details.received = PayloadsOf(report);
    facts.identify = identify;
    return facts;
}

OperationFacts CommandFacts(const CommandResult& result, bool identify) {
    OperationFacts facts;
    facts.exitCode = result.Succeeded() ? 0 : 1;
    facts.errorCode =
        result.command == BoardCommand::BoardInformation ? "no_answer" : "not_as_asked";
    facts.details.steps.push_back(StepOf(result));
    facts.details.board = IdentityOf(result);
    facts.identify = identify;
    return facts;
}

} // namespace kronax
