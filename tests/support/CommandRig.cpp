#include "CommandRig.h"

namespace {

std::string PathOf(int port) { return "/dev/ttyTB" + std::to_string(port); }

}  // namespace

CommandRig::CommandRig()
    : handOver_(std::make_unique<ScriptedChannel>(clock)),
      channel(*handOver_),
      link(
          std::move(handOver_), [this](int port) { return devicePath(port); }, clock) {
    addLine();
}

CommandRig::~CommandRig() = default;

tbsim::SimBus& CommandRig::line(int port) { return channel.line(PathOf(port)); }

int CommandRig::addLine() {
    const int port = static_cast<int>(ports_.size()) + 1;
    ports_[port] = PathOf(port);
    channel.addLine(PathOf(port));
    return port;
}

std::string CommandRig::devicePath(int port) const {
    const auto it = ports_.find(port);
    return it == ports_.end() ? std::string() : it->second;
}

tbsim::SimReader* CommandRig::addReader(tbsim::ReaderKind kind, int id, int port,
                                        const std::string& lineSettings) {
    tbsim::ReaderConfig config;
    config.kind = kind;
    config.id = id;
    config.serial = kSerial;
    config.lineSettings = lineSettings;
    config.version = tbsim::DefaultVersion(kind);
    return addReader(config, port);
}

tbsim::SimReader* CommandRig::addReader(const tbsim::ReaderConfig& config, int port) {
    return line(port).addReader(config);
}

bool CommandRig::open(int port, const std::string& lineSettings) {
    return link.OpenPort(port, lineSettings);
}

void CommandRig::close() { link.ClosePort(); }

std::vector<std::string> CommandRig::commands() const { return channel.commands(); }

std::vector<std::string> CommandRig::takeCommands() { return channel.takeCommands(); }
