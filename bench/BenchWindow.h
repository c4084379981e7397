// The real window on the offscreen platform, with a throw-away settings store and COM1 mapped
// to a simulated reader's line: what the window benchmarks measure against.
#pragma once

#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "app/TfrmModule.h"
#include "platform/AnyChannel.h"

class BenchWindow {
public:
    // `prepare` may write stored settings before the window reads them. Not a template: clang
    // 14 takes dir_ for uninitialised in a template's initialiser list.
    BenchWindow(const std::string& com1Device,
                const std::function<void(platform::SettingsStore&)>& prepare)
        : store_(dir_.filePath("etc.conf"), dir_.filePath("home.conf")) {
        prepare(store_);
        app::ModuleServices services;
        services.store = std::make_unique<platform::SettingsStore>(store_);
        services.ports =
            platform::PortMap::build(store_, {}, "COM1=" + QString::fromStdString(com1Device));
        services.tones = std::make_unique<Silent>();
        services.channel = platform::MakeSerialChannel();
        window_ = std::make_unique<app::TfrmModule>(std::move(services));
        window_->show();
    }
    explicit BenchWindow(const std::string& com1Device)
        : BenchWindow(com1Device, [](platform::SettingsStore&) {}) {}

    app::TfrmModule& window() { return *window_; }

private:
    struct Silent : platform::ToneGenerator {
        void Beep(int, int) override {}
    };

    QTemporaryDir dir_;
    platform::SettingsStore store_;
    std::unique_ptr<app::TfrmModule> window_;
};
