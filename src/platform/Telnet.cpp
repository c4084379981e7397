#include "platform/Telnet.h"

namespace platform::telnet {

std::string Escape(const std::uint8_t* bytes, std::size_t count) {
    std::string out;
    out.reserve(count + 4);
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(static_cast<char>(bytes[i]));
        if (bytes[i] == kIac) out.push_back(static_cast<char>(kIac));
    }
    return out;
}

std::string Command(std::uint8_t verb, std::uint8_t option) {
    return {static_cast<char>(kIac), static_cast<char>(verb), static_cast<char>(option)};
}

std::string ComPortCommand(ComPort command, const std::string& payload) {
    std::string out{static_cast<char>(kIac), static_cast<char>(kSb),
                    static_cast<char>(kOptionComPort), static_cast<char>(command)};
    out += Escape(payload);
    out.push_back(static_cast<char>(kIac));
    out.push_back(static_cast<char>(kSe));
    return out;
}

std::string SetBaudrate(std::uint32_t baud) {
    const std::string value{static_cast<char>(baud >> 24), static_cast<char>(baud >> 16),
                            static_cast<char>(baud >> 8), static_cast<char>(baud)};
    return ComPortCommand(ComPort::SetBaudrate, value);
}

std::string SetDatasize(int bits) {
    return ComPortCommand(ComPort::SetDatasize, std::string(1, static_cast<char>(bits)));
}

std::string SetParity(ComParity parity) {
    return ComPortCommand(ComPort::SetParity, std::string(1, static_cast<char>(parity)));
}

std::string SetStopsize(ComStopsize stop) {
    return ComPortCommand(ComPort::SetStopsize, std::string(1, static_cast<char>(stop)));
}

std::string SetControl(ComControl control) {
    return ComPortCommand(ComPort::SetControl, std::string(1, static_cast<char>(control)));
}

std::string PurgeData(ComPurge purge) {
    return ComPortCommand(ComPort::PurgeData, std::string(1, static_cast<char>(purge)));
}

void Decoder::reset() {
    state_ = State::Data;
    afterCr_ = false;
    subOptionSeen_ = false;
    sub_ = Event{};
}

void Decoder::feed(const std::uint8_t* bytes, std::size_t count, std::string& data,
                   std::vector<Event>& events) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t byte = bytes[i];
        switch (state_) {
            case State::Data:
                if (byte == kIac) {
                    state_ = State::Iac;
                } else if (byte == 0 && afterCr_ && dropNulAfterCr_) {
                    afterCr_ = false;
                } else {
                    data.push_back(static_cast<char>(byte));
                    afterCr_ = byte == '\r';
                }
                break;
            case State::Iac:
                afterCr_ = false;
                if (byte == kIac) {
                    data.push_back(static_cast<char>(kIac));
                    state_ = State::Data;
                } else if (byte >= kWill) {
                    verb_ = byte;
                    state_ = State::Verb;
                } else if (byte == kSb) {
                    sub_ = Event{Event::Kind::Subnegotiation, 0, 0, {}};
                    subOptionSeen_ = false;
                    state_ = State::Sub;
                } else {
                    state_ = State::Data;  // NOP, GA and the like carry nothing for us
                }
                break;
            case State::Verb:
                events.push_back(Event{Event::Kind::Option, verb_, byte, {}});
                state_ = State::Data;
                break;
            case State::Sub:
                if (byte == kIac) {
                    state_ = State::SubIac;
                } else if (!subOptionSeen_) {
                    sub_.option = byte;
                    subOptionSeen_ = true;
                } else if (sub_.payload.size() < kMaxPayload) {
                    sub_.payload.push_back(static_cast<char>(byte));
                }
                break;
            case State::SubIac:
                if (byte == kIac) {
                    if (!subOptionSeen_) {
                        sub_.option = kIac;
                        subOptionSeen_ = true;
                    } else if (sub_.payload.size() < kMaxPayload) {
                        sub_.payload.push_back(static_cast<char>(kIac));
                    }
                    state_ = State::Sub;
                } else if (byte == kSe) {
                    if (subOptionSeen_) events.push_back(sub_);
                    state_ = State::Data;
                } else {
                    // A command inside a subnegotiation ends it unfinished; the command counts.
                    state_ = State::Iac;
                    --i;
                }
                break;
        }
    }
}

Negotiator::Negotiator(bool comPort) {
    local_[kOptionBinary].wanted = true;
    local_[kOptionSuppressGoAhead].wanted = true;
    local_[kOptionComPort].wanted = comPort;
    remote_[kOptionBinary].wanted = true;
    remote_[kOptionSuppressGoAhead].wanted = true;
}

std::string Negotiator::opening() {
    std::string out;
    for (int option = 0; option < 256; ++option) {
        if (local_[option].wanted && !local_[option].enabled) {
            local_[option].requested = true;
            out += Command(kWill, static_cast<std::uint8_t>(option));
        }
        if (remote_[option].wanted && !remote_[option].enabled) {
            remote_[option].requested = true;
            out += Command(kDo, static_cast<std::uint8_t>(option));
        }
    }
    return out;
}

std::string Negotiator::answer(std::uint8_t verb, std::uint8_t option) {
    const bool askedToDo = verb == kDo || verb == kDont;
    Side& side = askedToDo ? local_[option] : remote_[option];
    const bool on = verb == kDo || verb == kWill;
    const std::uint8_t yes = askedToDo ? kWill : kDo;
    const std::uint8_t no = askedToDo ? kWont : kDont;

    if (side.requested) {  // the answer to our own request: settled, nothing to say
        side.requested = false;
        side.enabled = on;
        return {};
    }
    if (on) {
        if (!side.wanted) return Command(no, option);
        if (side.enabled) return {};
        side.enabled = true;
        return Command(yes, option);
    }
    if (!side.enabled) return {};
    side.enabled = false;
    return Command(no, option);
}

}  // namespace platform::telnet
