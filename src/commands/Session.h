// Reader command logic: one folder a subsystem (config/, mifare/, display/, fingerprint/). No
// widgets here. A command is a function of a Session (the open link, the pacer and the command
// prefix) and values; it makes its own attempts, with their pauses, and returns values. The
// window and tagbench-cli call the same functions.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "link/Pacer.h"
#include "link/ReaderLink.h"

namespace commands {

// What a reader command works with while the port is open.
struct Session {
    tblink::ReaderLink& link;
    tblink::Pacer& pacer;
    std::string prefix;  // start character and reader ID: the front of every command text

    // prefix + command, with the usual 300 ms silence limit, or with the caller's.
    bool Send(const std::string& command) const;
    bool SendTimed(const std::string& command, int silenceLimitMs) const;
    // A text that carries its own start and ID (the display's texts to ID "00"), as it stands.
    bool SendBare(const std::string& text, int silenceLimitMs) const;
    // The last reply frame and how many bytes the last transaction received.
    const std::string& Reply() const { return link.ReplyText(); }
    int ReplyLength() const { return link.ReplyLength(); }
};

// The wait that opens each attempt of a command.
enum class AttemptPause {
    KeptAlive100ms,  // 100 ms with the window kept alive, then a message pump
    Plain50ms,       // 50 ms, the window still
};

// Most commands make two attempts.
constexpr int kUsualAttempts = 2;

// Up to `count` attempts, each opened by `pause`; true at the first that succeeds.
bool Attempts(tblink::Pacer& pacer, int count, AttemptPause pause,
              const std::function<bool()>& attempt);

// A verified reply to "B": LF, header, two-digit ID, header, 8-character serial, checksum, CR.
constexpr int kSerialReplyLength = 16;

// The serial-number read that opens most attempts; the serial number (reply characters 6-13)
// when the reader answered with a verified 16-byte reply.
std::optional<std::string> ReaderCheck(const Session& session);
// The same with the caller's silence limit: a census of a quick bus need not wait 300 ms an ID.
std::optional<std::string> ReaderCheck(const Session& session, int silenceLimitMs);

// One attempt of the usual shape: the reader check, then prefix + command. True when both
// exchanges succeeded; the command's reply is then the link's reply text.
bool CheckedCommand(const Session& session, const std::string& command);

// "%02d": the two-digit form numbers travel in.
std::string TwoDigits(int value);

}  // namespace commands
