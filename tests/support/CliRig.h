// tagbench-cli run in-process, for unit tests: cli::Run on scripted lines (COM1, COM2, ...) and a
// virtual clock, so that a run of long silences takes no real time. The readers are the
// simulator's own. Only for tests that link tagbench_cli.
//
//     CliRig rig;
//     rig.addReader(tbsim::ReaderKind::PX10, 2);
//     const clitest::CliRun run = rig.run({"census", "--port", "COM1", "--json"});
//     QCOMPARE(rig.heard(), ...);
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "CliRun.h"
#include "ScriptedChannel.h"
#include "SimBus.h"
#include "SimReader.h"
#include "VirtualClock.h"
#include "cli/Program.h"
#include "platform/PortMap.h"
#include "platform/SettingsStore.h"

class CliRig {
public:
    VirtualClock clock;

    CliRig() { addLine(); }

    // A line at the next COM number, which it returns; COM1 is there from the start.
    int addLine() {
        buses_.push_back(std::make_unique<tbsim::SimBus>());
        return static_cast<int>(buses_.size());
    }
    tbsim::SimBus& line(int port = 1) { return *buses_.at(static_cast<std::size_t>(port - 1)); }
    QString extraPorts;  // further TAGBENCH_PORTS items, after the lines', which they override

    tbsim::SimReader* addReader(tbsim::ReaderKind kind, int id, int port = 1,
                                const std::string& serial = "CAFE0042",
                                const std::string& lineSettings = "19200,e,8,1") {
        tbsim::ReaderConfig config;
        config.kind = kind;
        config.id = id;
        config.serial = serial;
        config.lineSettings = lineSettings;
        config.version = tbsim::DefaultVersion(kind);
        return line(port).addReader(config);
    }

    clitest::CliRun run(const QStringList& args) {
        std::vector<std::string> words;
        for (const QString& arg : args) words.push_back(arg.toStdString());
        cli::Environment environment;
        environment.ports = [this] {
            platform::SettingsStore store = platform::SettingsStore::fromEnvironment();
            return platform::PortMap::build(store, {}, mapping());
        };
        environment.lines.channel = [this] {
            auto channel = std::make_unique<ScriptedChannel>(clock);
            for (std::size_t i = 0; i < buses_.size(); ++i)
                channel->attachLine(Path(static_cast<int>(i) + 1), *buses_[i]);
            return channel;
        };
        environment.lines.clock = &clock;
        environment.lines.wait = [this](int ms) { clock.Advance(std::chrono::milliseconds(ms)); };
        std::ostringstream out;
        std::ostringstream err;
        clitest::CliRun result;
        result.exit = cli::Run(words, out, err, environment);
        result.out = QString::fromStdString(out.str());
        result.err = QString::fromStdString(err.str());
        return result;
    }

    // The command texts COM `port` heard since the last call, space-separated.
    QString heard(int port = 1) {
        QStringList commands;
        for (const std::string& command : line(port).takeReceivedCommands())
            commands << QString::fromStdString(command);
        return commands.join(' ');
    }

private:
    static std::string Path(int port) { return "/dev/ttyTB" + std::to_string(port); }
    QString mapping() const {
        QStringList items;
        for (std::size_t i = 0; i < buses_.size(); ++i)
            items << QString("COM%1=%2")
                         .arg(i + 1)
                         .arg(QString::fromStdString(Path(static_cast<int>(i) + 1)));
        if (!extraPorts.isEmpty()) items << extraPorts;
        return items.join(',');
    }

    std::vector<std::unique_ptr<tbsim::SimBus>> buses_;
};
