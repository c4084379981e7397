// tagbench-cli run as a process for end-to-end tests: its output, its exit status, and the
// simulated reader lines it talks to.
#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "CliRun.h"
#include "SimLines.h"

namespace clitest {

using tbsim::ReaderKind;

constexpr int kFinishMs = 180000;

// tagbench-cli with the test's ports and a settings store of its own.
class Cli {
public:
    explicit Cli(const QString& ports) {
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert("TAGBENCH_PORTS", ports);
        environment_.insert("TAGBENCH_SYSCONFDIR", store_.filePath("etc"));
        environment_.insert("XDG_CONFIG_HOME", store_.filePath("home"));
    }

    void start(QProcess& process, const QStringList& args) const {
        process.setProcessEnvironment(environment_);
        process.start(QStringLiteral(TAGBENCH_CLI_BINARY), args);
    }

    CliRun run(const QStringList& args) const {
        QProcess process;
        start(process, args);
        CliRun result;
        if (!process.waitForFinished(kFinishMs)) {
            process.kill();
            process.waitForFinished();
            qWarning("tagbench-cli did not finish: %s", qPrintable(args.join(' ')));
        } else if (process.exitStatus() == QProcess::NormalExit) {
            result.exit = process.exitCode();
        }
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    QString path(const QString& name) const { return store_.filePath(name); }

private:
    QTemporaryDir store_;
    QProcessEnvironment environment_;
};

inline QStringList Words(const QString& line) { return line.split(' ', Qt::SkipEmptyParts); }

inline tbsim::SimReader* AddReader(tbsim::SimLine& line, ReaderKind kind, int id,
                                   const std::string& serial = "CAFE0042", int lineSettings = 5) {
    tbsim::ReaderConfig config;
    config.kind = kind;
    config.id = id;
    config.serial = serial;
    config.lineSettings = tbsim::LineSettingsText(lineSettings);
    config.version = tbsim::DefaultVersion(kind);
    return line.addReader(config);
}

inline ReaderKind Kind(const QString& name) {
    return *tbsim::ReaderKindFromName(name.toStdString());
}

inline QString Heard(tbsim::SimLine& line) {
    QStringList commands;
    for (const std::string& command : line.takeReceivedCommands())
        commands << QString::fromStdString(command);
    return commands.join(' ');
}

// Lines built from a layout: "L" a line, "M" a COM number whose device does not exist.
struct Layout {
    SimLines lines;
    std::vector<tbsim::SimLine*> byPort{nullptr};  // index = COM number

    explicit Layout(const QString& text) {
        for (const QString& item : Words(text)) {
            if (item == "M") {
                lines.addMissing();
                byPort.push_back(nullptr);
            } else {
                byPort.push_back(&lines.add());
            }
        }
    }
    tbsim::SimLine& line(int port) { return *byPort.at(port); }
};

}  // namespace clitest
