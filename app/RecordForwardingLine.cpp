#include "app/RecordForwardingLine.h"

#include "records/RecordsLocation.h"
#include "records/server/BackgroundForwarder.h"
#include "records/server/ServerSetting.h"

#include <QLabel>
#include <QStatusBar>

#include <cstdlib>

namespace kronax {

struct RecordForwardingLine::Forwarding {
    QLabel* label = nullptr;
    std::unique_ptr<records::BackgroundForwarder> forwarder;
};

namespace {

// Runs on the forwarder's thread: hands the report's text to the label on the UI thread. A
// label already gone takes no call.
void ShowReport(QLabel* label, const records::ForwardReport& report) {
    const QString text = report.queued == 0
                             ? QString()
                             : QString("%1 %2 to be forwarded")
                                   .arg(report.queued)
                                   .arg(report.queued == 1 ? "record waits" : "records wait");
    const QString reason = report.failure ? QString::fromUtf8(report.failure->what()) : QString();
    QMetaObject::invokeMethod(
        label,
        [label, text, reason] {
            label->setText(text);
            label->setToolTip(reason);
            label->setVisible(!text.isEmpty());
        },
        Qt::QueuedConnection);
}

} // namespace

RecordForwardingLine::RecordForwardingLine(QStatusBar* bar, const std::string& settingsFileName)
    : forwarding_(std::make_unique<Forwarding>()) {
    const auto server = records::RecordsServer(std::getenv, settingsFileName);
    const auto store = records::RecordsFile();
    if (!server || !store)
        return;
    QLabel* label = new QLabel(bar);
    label->setObjectName("lblRecordsQueue");
    label->setTextFormat(Qt::PlainText);
    label->setStyleSheet("color: red");
    label->setContentsMargins(0, 0, 12, 0);
    label->hide();
    // Between the outcome (the bar's first widget) and the connection at the right edge.
    bar->insertPermanentWidget(1, label);
    forwarding_->label = label;
    forwarding_->forwarder = std::make_unique<records::BackgroundForwarder>(
        *store, *server,
        [label](const records::ForwardReport& report) { ShowReport(label, report); });
}

RecordForwardingLine::~RecordForwardingLine() = default;

void RecordForwardingLine::AfterOperation() {
    if (forwarding_->forwarder)
        forwarding_->forwarder->Forward();
}

} // namespace kronax
