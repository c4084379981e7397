#include "app/history/HistoryText.h"

#include "text/Catalogue.h"

namespace app {
namespace {

using platform::PortWording;
using text::Msg;

struct Wording {
    PortWording wording;
    Msg reason;
    Msg advice;
};

const Wording kWordings[] = {
    {PortWording::NotMapped, Msg::ReasonNotMapped, Msg::AdviceNotMapped},
    {PortWording::NoSuchDevice, Msg::ReasonNoSuchDevice, Msg::AdviceNoSuchDevice},
    {PortWording::PermissionNotMember, Msg::ReasonPermissionNotMember,
     Msg::AdvicePermissionNotMember},
    {PortWording::PermissionNotActive, Msg::ReasonPermissionNotActive,
     Msg::AdvicePermissionNotActive},
    {PortWording::PermissionOwnerOnly, Msg::ReasonPermissionOwnerOnly,
     Msg::AdvicePermissionOwnerOnly},
    {PortWording::HeldByNamed, Msg::ReasonHeldByNamed, Msg::AdviceHeldByNamed},
    {PortWording::HeldByUnknown, Msg::ReasonHeldByUnknown, Msg::AdviceHeldByUnknown},
    {PortWording::HeldHere, Msg::ReasonHeldHere, Msg::AdviceHeldHere},
    {PortWording::NotATerminal, Msg::ReasonNotATerminal, Msg::AdviceNotATerminal},
    {PortWording::Vanished, Msg::ReasonVanished, Msg::AdviceVanished},
    {PortWording::HungUp, Msg::ReasonHungUp, Msg::AdviceHungUp},
    {PortWording::Stalled, Msg::ReasonStalled, Msg::AdviceStalled},
    {PortWording::BadLineSettings, Msg::ReasonBadLineSettings, Msg::AdviceBadLineSettings},
    {PortWording::Other, Msg::ReasonOther, Msg::AdviceOther},
    {PortWording::BadAddress, Msg::ReasonBadAddress, Msg::AdviceBadAddress},
    {PortWording::HostNotFound, Msg::ReasonHostNotFound, Msg::AdviceHostNotFound},
    {PortWording::Refused, Msg::ReasonRefused, Msg::AdviceRefused},
    {PortWording::Unreachable, Msg::ReasonUnreachable, Msg::AdviceUnreachable},
    {PortWording::NoAnswer, Msg::ReasonNoAnswer, Msg::AdviceNoAnswer},
    {PortWording::Dropped, Msg::ReasonDropped, Msg::AdviceDropped},
    {PortWording::NotNegotiated, Msg::ReasonNotNegotiated, Msg::AdviceNotNegotiated},
};

// The same one-pass filling as the English, so an argument holding "%2" stays as it is.
QString Filled(Msg msg, int language, const std::vector<std::string>& arguments) {
    const std::string text = text::Text(msg, language).toStdString();
    return QString::fromStdString(platform::FillPlaceholders(text, arguments));
}

QString Worded(const platform::PortDiagnosis& diagnosis, int language, bool advice) {
    const platform::PortWords words = platform::WordsOf(diagnosis);
    for (const Wording& w : kWordings) {
        if (w.wording == words.wording)
            return Filled(advice ? w.advice : w.reason, language, words.arguments);
    }
    return QString();
}

QString Diagnosed(Msg what, const tblink::HistoryEntry& entry, int language) {
    QString text = text::Text(what, language);
    if (entry.diagnosis && entry.diagnosis->problem != platform::PortProblem::None)
        text += ": " + PortReason(*entry.diagnosis, language) + " " +
                PortAdvice(*entry.diagnosis, language);
    return text;
}

}  // namespace

QString PortReason(const platform::PortDiagnosis& diagnosis, int language) {
    return Worded(diagnosis, language, false);
}

QString PortAdvice(const platform::PortDiagnosis& diagnosis, int language) {
    return Worded(diagnosis, language, true);
}

QString HistoryOutcome(const tblink::HistoryEntry& entry, int language) {
    using tblink::HistoryEvent;
    using tblink::TransactResult;
    switch (entry.event) {
        case HistoryEvent::PortOpened:
            return text::Text(Msg::PortOpened, language);
        case HistoryEvent::PortClosed:
            return text::Text(Msg::PortClosed, language);
        case HistoryEvent::PortOpenFailed:
            return Diagnosed(Msg::PortDidNotOpen, entry, language);
        case HistoryEvent::Exchange:
            break;
    }
    switch (entry.result) {
        case TransactResult::Ok:
            return text::Text(Msg::OutcomeOk, language);
        case TransactResult::ChecksumError:
            return text::Text(Msg::OutcomeWrongChecksum, language);
        case TransactResult::Silence:
            return Filled(Msg::OutcomeSilence, language, {std::to_string(entry.silenceMs)});
        case TransactResult::LineGone:
            return Diagnosed(Msg::OutcomeLineGone, entry, language);
        case TransactResult::Overflow:
            return Filled(Msg::OutcomeOverflow, language, {std::to_string(entry.bytesReceived)});
        case TransactResult::NotOpen:
            return text::Text(Msg::OutcomeNotOpen, language);
        case TransactResult::CommandTooLong:
            return text::Text(Msg::OutcomeTooLong, language);
    }
    return QString();
}

}  // namespace app
