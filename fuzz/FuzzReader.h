// A reader whose every reply comes from the fuzzer's input, for harnesses that run a reader
// command through the real ReaderLink: a channel that answers each command frame written with
// the next reply of the input, a clock that moves only when the channel or the pacer waits, and
// a pacer that ends loops once the input is used up.
//
// Each reply in the input: a kind byte, then (for kinds 1 and 2) a length byte and the bytes.
//   kind % 4 == 0  silence
//   kind % 4 == 1  a frame: LF, the bytes, their checksum in upper-case hex, CR
//   kind % 4 == 2  the bytes as they are (broken frames, wrong checksums, endless talk)
//   kind % 4 == 3  the frame of kind 1 with 256 bytes more (the template parts' length)
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "FuzzInput.h"
#include "commands/Session.h"
#include "link/Pacer.h"
#include "link/ReaderLink.h"
#include "platform/Clock.h"
#include "platform/SerialChannel.h"

namespace fuzz {

class Clock : public platform::Clock {
public:
    TimePoint Now() const override { return now_; }
    void advance(int milliseconds) { now_ += std::chrono::milliseconds(milliseconds); }

private:
    TimePoint now_ = TimePoint{} + std::chrono::hours(1);
};

inline std::string NextReply(Input& in) {
    const int kind = in.byte() % 4;
    if (kind == 0) return {};
    std::size_t length = in.byte();
    if (kind == 3) length += 256;
    const std::string body = in.bytes(length);
    if (kind == 2) return body;
    return ReplyFrame(body);
}

class ReplyChannel : public platform::SerialChannel {
public:
    ReplyChannel(Input& in, Clock& clock) : in_(in), clock_(clock) {}

    bool open(const std::string&, const std::string&) override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void purge() override { reply_.clear(); }
    void write(const std::uint8_t*, std::size_t) override {
        reply_ = NextReply(in_);
        pos_ = 0;
    }
    void drain() override {}
    platform::ReadStatus readByte(std::uint8_t& byte, int timeoutMs) override {
        if (pos_ < reply_.size()) {
            byte = static_cast<std::uint8_t>(reply_[pos_++]);
            return platform::ReadStatus::Byte;
        }
        clock_.advance(timeoutMs > 0 ? timeoutMs : 1);
        return platform::ReadStatus::Timeout;
    }

private:
    Input& in_;
    Clock& clock_;
    bool open_ = false;
    std::string reply_;
    std::size_t pos_ = 0;
};

class Pacer : public tblink::Pacer {
public:
    Pacer(Input& in, Clock& clock) : in_(in), clock_(clock) {}
    void PauseKeptAlive(int milliseconds) override { clock_.advance(milliseconds); }
    void PausePlain(int milliseconds) override { clock_.advance(milliseconds); }
    void Pump() override {}
    void Tick() override {}
    bool Stopped() override { return in_.empty(); }

private:
    Input& in_;
    Clock& clock_;
};

// A link on the reply channel, open on COM1, and a session with the given prefix.
struct Reader {
    Reader(Input& in, const std::string& prefix)
        : pacer(in, clock),
          link(
              std::make_unique<ReplyChannel>(in, clock), [](int) { return std::string("fuzz"); },
              clock),
          session{link, pacer, prefix} {
        link.OpenPort(1, "19200,e,8,1");
    }
    Clock clock;
    Pacer pacer;
    tblink::ReaderLink link;
    commands::Session session;
};

}  // namespace fuzz
