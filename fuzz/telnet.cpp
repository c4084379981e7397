// Telnet and RFC 2217 from a serial device server: the decoder must give the same data and
// events however the bytes are cut into chunks, escaped data must come back as it was, and the
// negotiator must never take an option it does not want nor answer a settled one again.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "platform/Telnet.h"

namespace {

namespace telnet = platform::telnet;
using fuzz::Check;

bool Same(const std::vector<telnet::Event>& a, const std::vector<telnet::Event>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].kind != b[i].kind || a[i].verb != b[i].verb || a[i].option != b[i].option ||
            a[i].payload != b[i].payload)
            return false;
    }
    return true;
}

const std::uint8_t* Bytes(const std::string& text) {
    return reinterpret_cast<const std::uint8_t*>(text.data());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const bool comPort = in.flag();
    const bool dropNul = in.flag();
    const std::uint8_t chunk = static_cast<std::uint8_t>(in.byte() % 16 + 1);
    const std::string wire = in.rest();

    telnet::Decoder whole;
    whole.setDropNulAfterCr(dropNul);
    std::string wholeData;
    std::vector<telnet::Event> wholeEvents;
    whole.feed(Bytes(wire), wire.size(), wholeData, wholeEvents);

    telnet::Decoder pieces;
    pieces.setDropNulAfterCr(dropNul);
    std::string pieceData;
    std::vector<telnet::Event> pieceEvents;
    for (std::size_t at = 0; at < wire.size(); at += chunk)
        pieces.feed(Bytes(wire) + at, std::min<std::size_t>(chunk, wire.size() - at), pieceData,
                    pieceEvents);
    Check(pieceData == wholeData && Same(pieceEvents, wholeEvents), "chunks change nothing");
    Check(wholeData.size() <= wire.size(), "no more data than bytes");
    for (const telnet::Event& event : wholeEvents)
        Check(event.payload.size() <= telnet::Decoder::kMaxPayload, "payload bounded");

    // Data escaped for the wire comes back as it was, with no event.
    telnet::Decoder plain;
    std::string back;
    std::vector<telnet::Event> none;
    const std::string escaped = telnet::Escape(wire);
    plain.feed(Bytes(escaped), escaped.size(), back, none);
    Check(back == wire && none.empty(), "escaped data comes back");

    // A COM-PORT-OPTION command reads back as its own subnegotiation.
    const std::string payload = wire.substr(0, telnet::Decoder::kMaxPayload - 1);
    const std::string command = telnet::ComPortCommand(telnet::ComPort::SetBaudrate, payload);
    telnet::Decoder sub;
    std::vector<telnet::Event> subEvents;
    back.clear();
    sub.feed(Bytes(command), command.size(), back, subEvents);
    Check(back.empty() && subEvents.size() == 1 &&
              subEvents[0].kind == telnet::Event::Kind::Subnegotiation &&
              subEvents[0].option == telnet::kOptionComPort &&
              subEvents[0].payload == std::string(1, '\x01') + payload,
          "a subnegotiation reads back");

    telnet::Negotiator negotiator(comPort);
    (void)negotiator.opening();
    for (const telnet::Event& event : wholeEvents) {
        if (event.kind != telnet::Event::Kind::Option) continue;
        const std::string answer = negotiator.answer(event.verb, event.option);
        Check(answer.empty() || (answer.size() == 3 && answer[0] == '\xFF' &&
                                 static_cast<std::uint8_t>(answer[2]) == event.option),
              "one answer for one verb");
        // The client does the COM-PORT-OPTION; the server is never asked to.
        const bool wanted = event.option == telnet::kOptionBinary ||
                            event.option == telnet::kOptionSuppressGoAhead ||
                            (comPort && event.option == telnet::kOptionComPort &&
                             (event.verb == telnet::kDo || event.verb == telnet::kDont));
        Check(!wanted || negotiator.answer(event.verb, event.option).empty(),
              "a settled option is not answered again");
    }
    Check(comPort || !negotiator.comPortEnabled(), "no COM-PORT-OPTION unless offered");
    return 0;
}
