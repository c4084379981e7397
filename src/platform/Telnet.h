// Telnet as a serial device server speaks it (RFC 854) with the COM-PORT-OPTION of RFC 2217:
// data bytes of 0xFF are doubled on the wire, commands start with IAC (0xFF), and the client
// sends line settings, modem lines and purges as subnegotiations of option 44. Plain values
// here; the socket belongs to Rfc2217Channel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform::telnet {

constexpr std::uint8_t kIac = 255;
constexpr std::uint8_t kDont = 254;
constexpr std::uint8_t kDo = 253;
constexpr std::uint8_t kWont = 252;
constexpr std::uint8_t kWill = 251;
constexpr std::uint8_t kSb = 250;
constexpr std::uint8_t kSe = 240;

constexpr std::uint8_t kOptionBinary = 0;
constexpr std::uint8_t kOptionEcho = 1;
constexpr std::uint8_t kOptionSuppressGoAhead = 3;
constexpr std::uint8_t kOptionComPort = 44;

// Client-to-server commands of the COM-PORT-OPTION; the server answers each with code + 100.
enum class ComPort : std::uint8_t {
    SetBaudrate = 1,
    SetDatasize = 2,
    SetParity = 3,
    SetStopsize = 4,
    SetControl = 5,
    PurgeData = 12,
};
// Values of SET-PARITY, SET-STOPSIZE, SET-CONTROL and PURGE-DATA that the channel sends.
enum class ComParity : std::uint8_t { None = 1, Odd = 2, Even = 3, Mark = 4, Space = 5 };
enum class ComStopsize : std::uint8_t { One = 1, Two = 2, OneAndHalf = 3 };
enum class ComControl : std::uint8_t {
    NoFlowControl = 1,
    DtrOn = 8,
    DtrOff = 9,
    RtsOn = 11,
    RtsOff = 12,
};
enum class ComPurge : std::uint8_t { ServerReceive = 1, ServerTransmit = 2, Both = 3 };

// The bytes with every 0xFF doubled, so that data never reads as a command.
std::string Escape(const std::uint8_t* bytes, std::size_t count);
inline std::string Escape(const std::string& bytes) {
    return Escape(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// IAC verb option.
std::string Command(std::uint8_t verb, std::uint8_t option);
// IAC SB 44 command payload IAC SE, the payload escaped.
std::string ComPortCommand(ComPort command, const std::string& payload);
// SET-BAUDRATE carries the rate as four bytes, most significant first.
std::string SetBaudrate(std::uint32_t baud);
std::string SetDatasize(int bits);
std::string SetParity(ComParity parity);
std::string SetStopsize(ComStopsize stop);
std::string SetControl(ComControl control);
std::string PurgeData(ComPurge purge);

// What the server sent besides data: an option verb, or a subnegotiation with its payload.
struct Event {
    enum class Kind { Option, Subnegotiation };
    Kind kind = Kind::Option;
    std::uint8_t verb = 0;  // kWill, kWont, kDo, kDont (Option only)
    std::uint8_t option = 0;
    std::string payload;  // Subnegotiation only, unescaped
};

// Takes the server's bytes in whatever chunks they arrive and separates data from commands.
// A command cut between two chunks is completed by the next one.
class Decoder {
public:
    // Longest subnegotiation payload kept; the rest of a longer one is dropped.
    static constexpr std::size_t kMaxPayload = 64;

    void feed(const std::uint8_t* bytes, std::size_t count, std::string& data,
              std::vector<Event>& events);
    void reset();
    // Outside binary mode the server sends a bare CR as CR NUL; the NUL is not data then.
    void setDropNulAfterCr(bool drop) { dropNulAfterCr_ = drop; }

private:
    enum class State { Data, Iac, Verb, Sub, SubIac };
    State state_ = State::Data;
    std::uint8_t verb_ = 0;
    bool afterCr_ = false;
    bool dropNulAfterCr_ = false;
    bool subOptionSeen_ = false;
    Event sub_;
};

// The client's side of option negotiation, loop-free (RFC 1143, simplified): the options it
// asks for at the start, and the answer to each verb the server sends. Options the client does
// not want are refused; an answer to its own request is not answered again.
class Negotiator {
public:
    // `comPort`: whether the client offers the COM-PORT-OPTION (rfc2217://).
    explicit Negotiator(bool comPort);

    // WILL/DO for the options the client wants, sent right after connecting.
    std::string opening();
    // The reply to one option verb from the server (empty when none is due).
    std::string answer(std::uint8_t verb, std::uint8_t option);

    // The server has answered the client's WILL COM-PORT-OPTION, either way.
    bool comPortSettled() const { return !local_[kOptionComPort].requested; }
    bool comPortEnabled() const { return local_[kOptionComPort].enabled; }
    // The server sends in binary mode: its CR is not followed by a NUL.
    bool serverBinary() const { return remote_[kOptionBinary].enabled; }

private:
    struct Side {
        bool wanted = false;
        bool enabled = false;
        bool requested = false;
    };
    Side local_[256];   // what the client does (WILL/WONT), the server asks with DO/DONT
    Side remote_[256];  // what the server does (its WILL/WONT), the client asks with DO/DONT
};

}  // namespace platform::telnet
