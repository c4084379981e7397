// The settings store's file: whatever a file holds, every value read from it survives being
// written to a new store and read back, and a value written with any section and key name
// either reads back as written or is refused.
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "platform/SettingsStore.h"

namespace {

using fuzz::Check;
using platform::SettingsStore;
using platform::StoreStatus;
using platform::StoreTarget;

// Every run writes its files here; on tmpfs where there is one, since each write is an atomic
// file replacement.
const QString& Folder() {
    static QTemporaryDir dir(QDir("/dev/shm").exists()
                                 ? QStringLiteral("/dev/shm/tagbench-fuzz-XXXXXX")
                                 : QDir::tempPath() + "/tagbench-fuzz-XXXXXX");
    static const QString path = dir.path();
    return path;
}

QString FromBytes(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The section names a file mentions, as the store would read them, and the one above them.
QStringList Sections(const std::string& text) {
    QStringList names{QString()};
    for (const QString& line : FromBytes(text).split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']'))
            names.append(trimmed.mid(1, trimmed.size() - 2).trimmed());
    }
    return names;
}

void Reset(const SettingsStore& store) {
    QFile::remove(store.machinePath());
    QFile::remove(store.overlayPath());
}

void FileSurvivesRewrite(const std::string& text) {
    SettingsStore file(Folder() + "/file.conf", Folder() + "/none.conf");
    SettingsStore copy(Folder() + "/copy.conf", Folder() + "/none.conf");
    Reset(file);
    Reset(copy);
    QFile out(file.machinePath());
    if (!out.open(QIODevice::WriteOnly)) return;
    out.write(text.data(), static_cast<qint64>(text.size()));
    out.close();

    std::vector<platform::StoreWrite> values;
    for (const QString& section : Sections(text)) {
        for (const QString& key : file.keys(section)) {
            // Readable behind blanks, but refused on writing: a leading U+FEFF would be dropped.
            if (key.startsWith(QChar(0xFEFF))) continue;
            const platform::StoreString value = file.readString(section, key);
            Check(value.status == StoreStatus::Ok, "a listed key reads");
            values.push_back({section, key, value.value});
        }
    }
    if (values.empty()) return;
    Check(copy.write(values) == StoreTarget::MachineWide, "what was read can be written");
    for (const platform::StoreWrite& w : values) {
        const platform::StoreString again = copy.readString(w.section, w.key);
        Check(again.status == StoreStatus::Ok && again.value == std::get<QString>(w.value),
              "a rewritten value reads back");
    }
}

void WriteReadsBack(fuzz::Input& in) {
    SettingsStore store(Folder() + "/write.conf", Folder() + "/overlay.conf");
    Reset(store);
    const QString section = FromBytes(in.text());
    const QString key = FromBytes(in.text());
    const QString text = FromBytes(in.text());
    const std::int32_t number = in.number();
    Check(platform::UnescapeStoreValue(platform::EscapeStoreValue(text)) == text,
          "escaping a value undoes");
    if (store.write({{section, key, text}, {section, key + u'#', number}}) == StoreTarget::Nowhere)
        return;
    const platform::StoreString value = store.readString(section, key);
    Check(value.status == StoreStatus::Ok && value.value == text, "a written value reads back");
    const platform::StoreInt integer = store.readInt(section, key + u'#');
    Check(integer.status == StoreStatus::Ok && integer.value == number,
          "a written number reads back");
    Check(store.keys(section).contains(key), "a written key is listed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    if (in.flag())
        FileSurvivesRewrite(in.rest());
    else
        WriteReadsBack(in);
    return 0;
}
