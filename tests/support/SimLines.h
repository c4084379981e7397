// Simulated reader lines for end-to-end tests, and the TAGBENCH_PORTS text that maps them.
#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "SimLine.h"

class SimLines {
public:
    // A new line, mapped to the next COM number; no reader on it yet.
    tbsim::SimLine& add() {
        lines_.push_back(std::make_unique<tbsim::SimLine>());
        lines_.back()->start();
        mapping_ += QString("%1COM%2=%3")
                        .arg(mapping_.isEmpty() ? "" : ",")
                        .arg(lines_.size() + missing_)
                        .arg(QString::fromStdString(lines_.back()->devicePath()));
        return *lines_.back();
    }
    // A COM number whose device does not exist: the port never opens.
    void addMissing() {
        ++missing_;
        mapping_ += QString("%1COM%2=/nonexistent/tty%2")
                        .arg(mapping_.isEmpty() ? "" : ",")
                        .arg(lines_.size() + missing_);
    }
    tbsim::SimReader* addReader(tbsim::SimLine& line, tbsim::ReaderKind kind, int id,
                                const char* lineSettings = "19200,e,8,1") {
        tbsim::ReaderConfig config;
        config.kind = kind;
        config.id = id;
        config.serial = "CAFE0042";
        config.lineSettings = lineSettings;
        config.version = tbsim::DefaultVersion(kind);
        return line.addReader(config);
    }
    const QString& ports() const { return mapping_; }

private:
    std::vector<std::unique_ptr<tbsim::SimLine>> lines_;
    QString mapping_;
    int missing_ = 0;
};
