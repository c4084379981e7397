#include "cli/DryRun.h"

#include <deque>

#include "link/Frame.h"

namespace cli {

class DryLine::Channel : public platform::SerialChannel {
public:
    explicit Channel(DryLine& line) : line_(line) {}
    bool open(const std::string&, const std::string&) override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void purge() override { reply_.clear(); }
    void drain() override {}
    void write(const std::uint8_t* bytes, std::size_t count) override {
        for (std::size_t i = 0; i < count; ++i) {
            if (bytes[i] == tblink::kTab) frame_.clear();
            frame_ += static_cast<char>(bytes[i]);
            if (bytes[i] == tblink::kCr) answer();
        }
    }
    platform::ReadStatus readByte(std::uint8_t& byte, int timeoutMs) override {
        if (reply_.empty()) {
            line_.wait(timeoutMs);
            return platform::ReadStatus::Timeout;
        }
        byte = static_cast<std::uint8_t>(reply_.front());
        reply_.pop_front();
        return platform::ReadStatus::Byte;
    }

private:
    // TAB, start character, ID, command, checksum, CR. The reader answers its own ID and ID 00
    // (the display's texts go there) with the command's letter and a serial number it cannot
    // know; "C" + serial + ID gives it the new ID.
    void answer() {
        line_.frames_.push_back(
            tblink::EchoBytes(frame_.size(), reinterpret_cast<const std::uint8_t*>(frame_.data())));
        if (frame_.size() < 7) return;
        const std::string text = frame_.substr(1, frame_.size() - 4);
        const std::string id = text.substr(1, 2);
        const std::string command = text.substr(3);
        if (id != line_.id_ && id != "00") return;
        if (command.size() == 11 && command[0] == 'C') line_.id_ = command.substr(9);
        std::string reply = "\n" + text.substr(0, 1) + line_.id_ +
                            (command.empty() ? "B" : command.substr(0, 1)) + "????????";
        std::uint8_t sum = 0;
        for (char c : reply) sum ^= static_cast<std::uint8_t>(c);
        reply += tblink::ByteToHex(sum) + "\r";
        reply_.assign(reply.begin(), reply.end());
    }

    DryLine& line_;
    bool open_ = false;
    std::string frame_;
    std::deque<char> reply_;
};

std::unique_ptr<platform::SerialChannel> DryLine::channel() {
    return std::make_unique<Channel>(*this);
}

}  // namespace cli
