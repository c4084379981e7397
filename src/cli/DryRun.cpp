#include <deque>

#include "cli/ProfileRun.h"
#include "link/Frame.h"

namespace cli {
namespace {

// A line whose reader answers every frame with a verified 16-byte reply, as a reader check
// wants it; it records each command text.
class AgreeingChannel : public platform::SerialChannel {
public:
    explicit AgreeingChannel(std::vector<std::string>& sent) : sent_(sent) {}
    bool open(const std::string&, const std::string&) override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void purge() override { pending_.clear(); }
    void write(const std::uint8_t* bytes, std::size_t count) override {
        const std::string frame(reinterpret_cast<const char*>(bytes), count);
        if (frame.size() < 4 || frame.front() != '\t') return;
        const std::string text = frame.substr(1, frame.size() - 4);
        sent_.push_back(text);
        std::string reply = "\n0" + (text.size() >= 3 ? text.substr(1, 2) : "00") + "000000000";
        std::uint8_t sum = 0;
        for (char c : reply) sum ^= static_cast<std::uint8_t>(c);
        reply += tblink::ByteToHex(sum) + "\r";
        pending_.insert(pending_.end(), reply.begin(), reply.end());
    }
    void drain() override {}
    platform::ReadStatus readByte(std::uint8_t& byte, int) override {
        if (pending_.empty()) return platform::ReadStatus::Timeout;
        byte = static_cast<std::uint8_t>(pending_.front());
        pending_.pop_front();
        return platform::ReadStatus::Byte;
    }

private:
    std::vector<std::string>& sent_;
    std::deque<char> pending_;
    bool open_ = false;
};

}  // namespace

std::vector<std::string> DryRunFrames(const actions::Request& request, const Target& target) {
    std::vector<std::string> sent;
    tblink::ReaderLink link(std::make_unique<AgreeingChannel>(sent),
                            [](int) { return std::string("dry-run"); });
    CliPacer pacer(nullptr, {}, [](int) {});
    if (!request.refusal().empty() || !request.run() || !link.OpenPort(target.port, "19200,e,8,1"))
        return sent;
    const char start = commands::Info(target.type).startCharacter;
    const commands::Session session{
        link, pacer,
        request.info().addressed ? start + target.id.value_or("00") : std::string(1, start)};
    request.run()(session);
    link.ClosePort();
    return sent;
}

}  // namespace cli
