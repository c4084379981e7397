#include "platform/AnyChannel.h"

#include <cerrno>

namespace platform {

std::unique_ptr<SerialChannel> MakeSerialChannel() { return std::make_unique<AnyChannel>(); }

AnyChannel::~AnyChannel() { close(); }

bool AnyChannel::open(const std::string& devicePath, const std::string& lineSettings) {
    close();
    badAddress_ = {};
    if (!IsUrl(devicePath)) {
        active_ = &local_;
        return local_.open(devicePath, lineSettings);
    }
    const std::optional<NetworkAddress> address = ParseNetworkAddress(devicePath);
    if (!address) {
        // Another scheme, or a broken address: never a path to try as a device.
        active_ = nullptr;
        badAddress_.problem = PortProblem::BadAddress;
        badAddress_.device = devicePath;
        badAddress_.error = EINVAL;
        return false;
    }
    SocketChannel& channel =
        address->kind == NetworkKind::Rfc2217 ? static_cast<SocketChannel&>(rfc2217_) : socket_;
    active_ = &channel;
    return channel.open(devicePath, lineSettings);
}

void AnyChannel::close() {
    if (active_) active_->close();
}

void AnyChannel::purge() {
    if (active_) active_->purge();
}

void AnyChannel::write(const std::uint8_t* bytes, std::size_t count) {
    if (active_) active_->write(bytes, count);
}

void AnyChannel::drain() {
    if (active_) active_->drain();
}

ReadStatus AnyChannel::readByte(std::uint8_t& byte, int timeoutMs) {
    return active_ ? active_->readByte(byte, timeoutMs) : ReadStatus::LineGone;
}

PortDiagnosis AnyChannel::diagnosis() const { return active_ ? active_->diagnosis() : badAddress_; }

void AnyChannel::setMessagePump(std::function<void()> pump) {
    socket_.setMessagePump(pump);
    rfc2217_.setMessagePump(pump);
    local_.setMessagePump(std::move(pump));
}

}  // namespace platform
