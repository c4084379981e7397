#include "platform/AnyChannel.h"

#include <cerrno>

namespace platform {

std::unique_ptr<SerialChannel> MakeSerialChannel() { return std::make_unique<AnyChannel>(); }

AnyChannel::~AnyChannel() { close(); }

bool AnyChannel::open(const std::string& devicePath, const std::string& lineSettings) {
    close();
    failure_ = OpenFailure{};
    if (!IsUrl(devicePath)) {
        active_ = &local_;
        if (local_.open(devicePath, lineSettings)) return true;
        failure_ = OpenFailure{OpenFailureKind::DeviceFailed, 0, devicePath + " did not open"};
        return false;
    }
    const std::optional<NetworkAddress> address = ParseNetworkAddress(devicePath);
    if (!address) {
        // Another scheme, or a broken address: never a path to try as a device.
        active_ = nullptr;
        failure_ = OpenFailure{OpenFailureKind::BadAddress, EINVAL,
                               "not a network port address: " + devicePath};
        return false;
    }
    SocketChannel& channel =
        address->kind == NetworkKind::Rfc2217 ? static_cast<SocketChannel&>(rfc2217_) : socket_;
    active_ = &channel;
    if (channel.open(devicePath, lineSettings)) return true;
    failure_ = channel.lastOpenFailure();
    return false;
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

PortDiagnosis AnyChannel::diagnosis() const {
    return active_ ? active_->diagnosis() : PortDiagnosis{};
}

void AnyChannel::setMessagePump(std::function<void()> pump) {
    socket_.setMessagePump(pump);
    rfc2217_.setMessagePump(pump);
    local_.setMessagePump(std::move(pump));
}

}  // namespace platform
