// The View menu's frame history window, the grouping of history rows by the action that made
// them, and the port diagnostics shown in the main window.
#include <QLabel>

#include "app/MainArea.h"
#include "app/TfrmModule.h"
#include "app/history/FrameHistoryWindow.h"
#include "app/history/HistoryText.h"

namespace app {
namespace {

// A scan over many ports that will not open says why for the first few.
constexpr std::size_t kMaxPortProblems = 8;

}  // namespace

TfrmModule::ActionScope::ActionScope(TfrmModule& window, text::Msg start)
    : window_(window),
      resumed_(window.link_.History().BeginGroup(window.Msg(start).toStdString())) {
    window_.portProblems_.clear();
    window_.main_->pnMsg->setToolTip(QString());
}

TfrmModule::ActionScope::~ActionScope() { window_.link_.History().EndGroup(std::move(resumed_)); }

FrameHistoryWindow& TfrmModule::frameHistoryWindow() {
    if (!frmFrameHistory_) {
        frmFrameHistory_ = std::make_unique<FrameHistoryWindow>(link_.History());
        frmFrameHistory_->applyLanguage(language_);
    }
    return *frmFrameHistory_;
}

void TfrmModule::mnuFrameHistoryClick() {
    FrameHistoryWindow& history = frameHistoryWindow();
    history.show();
    history.raise();
    history.activateWindow();
}

void TfrmModule::entryAdded(const tblink::HistoryEntry& entry, bool) {
    const bool refused = entry.event == tblink::HistoryEvent::PortOpenFailed;
    const bool lost = entry.event == tblink::HistoryEvent::Exchange &&
                      entry.result == tblink::TransactResult::LineGone;
    if (!(refused || lost) || !entry.diagnosis) return;
    const QString reason = PortReason(*entry.diagnosis, language_);
    const QString advice = PortAdvice(*entry.diagnosis, language_);
    const QString port = QString::fromStdString(entry.port->name);
    // The reason names the device; the COM number is what the user picked.
    const QString named = reason.startsWith(port) ? reason : port + ": " + reason;
    const QString problem = named + "\n" + advice;
    if (portProblems_.size() < kMaxPortProblems &&
        std::find(portProblems_.begin(), portProblems_.end(), problem) == portProblems_.end())
        portProblems_.push_back(problem);
    QStringList lines(portProblems_.begin(), portProblems_.end());
    main_->pnMsg->setToolTip(lines.join("\n"));
    // Nothing came back from a port that did not open: the received-bytes panel says why.
    if (refused) sbCommReceived->setText(named);
    sbCommReceived->setToolTip(problem);
}

}  // namespace app
