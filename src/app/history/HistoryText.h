// The frame history and port diagnostics in the window's language: the same wording and
// arguments as the English of platform/PortDiagnosis and link/FrameHistory, from the catalogue.
#pragma once

#include <QString>

#include "link/FrameHistory.h"
#include "platform/PortDiagnosis.h"

namespace app {

QString PortReason(const platform::PortDiagnosis& diagnosis, int language);
QString PortAdvice(const platform::PortDiagnosis& diagnosis, int language);
// The outcome column of a history row: "Ok", "Silence after 301 ms", "Port did not open: ...".
QString HistoryOutcome(const tblink::HistoryEntry& entry, int language);

}  // namespace app
