// Renders the Tag Bench window to a PNG file: the README's pictures and a quick look at any
// function page in any language. Usage:
//   tagbench-screenshot OUT.png [--language English|ChineseGB|ChineseBIG5] [--type N] [--page
//   tsXxx]
// The settings store is a temporary one; nothing of the machine's is read or written.
#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/Fonts.h"
#include "app/TfrmModule.h"
#include "platform/CodePage.h"
#include "platform/PosixSerialChannel.h"
#include "platform/ToneGenerator.h"

namespace {

struct Silent : platform::ToneGenerator {
    void Beep(int, int) override {}
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 2 || args[1].startsWith('-')) {
        std::fprintf(
            stderr,
            "usage: tagbench-screenshot OUT.png [--language NAME] [--type N] [--page tsXxx]\n");
        return 2;
    }
    const auto option = [&](const QString& name, const QString& fallback) {
        const qsizetype at = args.indexOf(name);
        return at > 0 && at + 1 < args.size() ? args[at + 1] : fallback;
    };

    QTemporaryDir store;
    platform::SettingsStore settings(store.filePath("etc/KORVA/TagBench.conf"),
                                     store.filePath("home/KORVA/TagBench.conf"));
    settings.writeString("TagBench", "LanguageFlag", option("--language", "English"));
    settings.writeInt("TagBench", "Type", option("--type", "0").toInt());

    app::RegisterFontSubstitutes();
    app::ModuleServices services;
    services.store = std::make_unique<platform::SettingsStore>(settings);
    services.tones = std::make_unique<Silent>();
    services.channel = std::make_unique<platform::PosixSerialChannel>();
    app::TfrmModule window(std::move(services));
    window.show();
    const QString page = option("--page", QString());
    if (!page.isEmpty()) {
        if (auto* pages = window.findChild<QTabWidget*>("pcOther")) {
            if (QWidget* tab = window.findChild<QWidget*>(page)) {
                pages->setTabVisible(pages->indexOf(tab), true);
                pages->setCurrentWidget(tab);
            }
        }
    }
    QTimer::singleShot(500, [&] {
        const bool saved = window.grab().save(args[1]);
        QApplication::exit(saved ? 0 : 1);
    });
    return QApplication::exec();
}
