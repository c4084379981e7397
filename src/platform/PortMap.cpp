#include "platform/PortMap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>
#include <algorithm>
#include <limits>
#include <set>

#include "platform/NetworkAddress.h"
#include "platform/SettingsStore.h"

namespace platform {

namespace {

constexpr char kStoreExtra[] = "extra port in the settings store";

QString ComName(int number) { return QStringLiteral("COM%1").arg(number); }

// COMn=<path> entries of one store section, as number -> value.
std::map<int, QString> ReadComSection(const SettingsStore& store, const QString& section) {
    std::map<int, QString> result;
    for (const QString& key : store.keys(section)) {
        const std::optional<int> number = PortMap::parseComName(key);
        if (!number) continue;
        const StoreString value = store.readString(section, key);
        if (value.status == StoreStatus::Ok && !value.value.isEmpty()) {
            result[*number] = value.value;
        }
    }
    return result;
}

// Link target (canonical /dev path) -> the link, for the links in one /dev/serial folder.
std::map<QString, QString> SerialLinks(const QString& folder) {
    std::map<QString, QString> result;
    const QDir dir(folder);
    const QStringList names =
        dir.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        const QString link = dir.filePath(name);
        const QString target = QFileInfo(link).canonicalFilePath();
        if (!target.isEmpty()) result.emplace(target, link);  // first by name wins
    }
    return result;
}

// Where a stable name points now; the name itself when its adapter is gone, so the open fails
// on a path that says which adapter is missing.
std::string Resolve(const std::string& stableName) {
    const QString target = QFileInfo(QFile::decodeName(stableName.c_str())).canonicalFilePath();
    return target.isEmpty() ? stableName : QFile::encodeName(target).toStdString();
}

}  // namespace

std::optional<int> PortMap::parseComName(const QString& name) {
    if (!name.startsWith(QLatin1String("COM")) || name.size() < 4 || name[3] == u'0') {
        return std::nullopt;
    }
    long long number = 0;
    for (qsizetype i = 3; i < name.size(); ++i) {
        if (name[i] < u'0' || name[i] > u'9') return std::nullopt;
        number = number * 10 + (name[i].unicode() - u'0');
        if (number > std::numeric_limits<int>::max()) return std::nullopt;
    }
    return static_cast<int>(number);
}

std::map<int, QString> PortMap::parsePortsVariable(const QString& text,
                                                   std::vector<std::string>* malformed) {
    std::map<int, QString> result;
    for (const QString& item : text.split(u',')) {
        if (item.trimmed().isEmpty()) continue;
        const qsizetype eq = item.indexOf(u'=');
        const std::optional<int> number =
            eq < 0 ? std::nullopt : parseComName(item.left(eq).trimmed());
        const QString path = item.mid(eq + 1).trimmed();
        const std::string bytes = path.toStdString();
        if (!number || path.isEmpty() || (IsUrl(bytes) && !ParseNetworkAddress(bytes))) {
            if (malformed) malformed->push_back(item.trimmed().toStdString());
            continue;
        }
        result[*number] = path;
    }
    return result;
}

PortMap PortMap::build(SettingsStore& store, const std::vector<SerialDevice>& devices,
                       const QString& portsVariable) {
    const std::map<int, QString> assigned = ReadComSection(store, kDeviceSection);
    const std::map<int, QString> storeExtras = ReadComSection(store, kExtraSection);
    std::vector<std::string> malformed;
    const std::map<int, QString> envExtras = parsePortsVariable(portsVariable, &malformed);

    // A number held by an unplugged device stays reserved, as do the extras' numbers, so a new
    // device never shows up under a number that something else answers to.
    std::set<int> used;
    for (const auto& [number, name] : assigned) used.insert(number);
    for (const auto& [number, path] : storeExtras) used.insert(number);
    for (const auto& [number, path] : envExtras) used.insert(number);

    std::map<int, QString> paths;
    std::map<QString, QString> deviceWords;
    for (const SerialDevice& device : devices) {
        deviceWords.emplace(device.systemLocation, device.description.isEmpty()
                                                       ? QStringLiteral("serial device")
                                                       : device.description);
    }
    std::set<QString> seen;
    std::map<int, QString> stableNames;
    std::vector<StoreWrite> newAssignments;
    for (const SerialDevice& device : devices) {
        if (!seen.insert(device.stableName).second) continue;
        int number = 0;
        for (const auto& [n, name] : assigned) {
            if (name == device.stableName) {
                number = n;  // the lowest, should a hand edit have listed it twice
                break;
            }
        }
        if (number == 0) {
            number = 1;
            while (used.count(number)) ++number;
            used.insert(number);
            newAssignments.push_back({kDeviceSection, ComName(number), device.stableName});
        }
        paths[number] = device.systemLocation;
        if (device.stableName != device.systemLocation) stableNames[number] = device.stableName;
    }
    for (const auto& [number, path] : storeExtras) paths[number] = path;
    for (const auto& [number, path] : envExtras) paths[number] = path;

    if (!newAssignments.empty()) store.write(newAssignments);

    PortMap map;
    map.malformed_ = std::move(malformed);
    for (const auto& [number, name] : assigned) {
        if (!paths.count(number)) map.unplugged_[number] = QFile::encodeName(name).toStdString();
    }
    for (const auto& [number, path] : paths) {
        QString description = QString::fromLatin1(kStoreExtra);
        if (envExtras.count(number)) {
            description = QStringLiteral("TAGBENCH_PORTS");
        } else if (const auto it = deviceWords.find(path); it != deviceWords.end()) {
            description = it->second;
        }
        const bool device = !storeExtras.count(number) && !envExtras.count(number);
        const auto stable = stableNames.find(number);
        map.entries_.push_back(
            {number, ComName(number).toStdString(), QFile::encodeName(path).toStdString(),
             device && stable != stableNames.end() ? QFile::encodeName(stable->second).toStdString()
                                                   : std::string(),
             description.toStdString()});
    }
    return map;
}

PortMap PortMap::fromSystem() {
    SettingsStore store = SettingsStore::fromEnvironment();
    return build(store, systemDevices(), qEnvironmentVariable("TAGBENCH_PORTS"));
}

std::vector<SerialDevice> PortMap::systemDevices() {
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        QStringList words;
        for (const QString& word : {info.description(), info.manufacturer(), info.serialNumber()})
            if (!word.trimmed().isEmpty()) words << word.trimmed();
        devices.push_back({info.systemLocation(), {}, words.join(", ")});
    }
    nameDevices(devices, {});
    return devices;
}

void PortMap::nameDevices(std::vector<SerialDevice>& devices, const QString& root) {
    const std::map<QString, QString> byId = SerialLinks(root + "/dev/serial/by-id");
    const std::map<QString, QString> byPath = SerialLinks(root + "/dev/serial/by-path");
    for (SerialDevice& device : devices) {
        const QString location = device.systemLocation;
        QString canonical = QFileInfo(location).canonicalFilePath();
        if (canonical.isEmpty()) canonical = location;
        device.stableName = location;
        if (auto it = byId.find(canonical); it != byId.end()) {
            device.stableName = it->second;
        } else if (auto jt = byPath.find(canonical); jt != byPath.end()) {
            device.stableName = jt->second;
        }
    }
}

std::optional<int> PortMap::addNetworkPort(SettingsStore& store, const QString& url) {
    const auto address = ParseNetworkAddress(url.trimmed().toStdString());
    if (!address) return std::nullopt;
    const std::string path = FormatNetworkAddress(*address);
    std::set<int> used;
    for (const PortEntry& entry : entries_) {
        if (entry.devicePath == path) return entry.number;
        used.insert(entry.number);
    }
    for (const auto& [number, name] : ReadComSection(store, kDeviceSection)) used.insert(number);
    for (const auto& [number, value] : ReadComSection(store, kExtraSection)) used.insert(number);
    int number = 1;
    while (used.count(number)) ++number;
    store.writeString(kExtraSection, ComName(number), QString::fromStdString(path));
    const auto at =
        std::find_if(entries_.begin(), entries_.end(),
                     [number](const PortEntry& entry) { return entry.number > number; });
    entries_.insert(at, {number, ComName(number).toStdString(), path, {}, kStoreExtra});
    return number;
}

std::optional<int> PortMap::addPort(const std::string& pathOrUrl) {
    std::string path = pathOrUrl;
    if (IsUrl(pathOrUrl)) {
        const auto address = ParseNetworkAddress(pathOrUrl);
        if (!address) return std::nullopt;
        path = FormatNetworkAddress(*address);
    }
    // A by-id link and the ttyUSB path it leads to are one adapter, whichever the user gives.
    const auto canonical = [](const std::string& name) {
        return QFileInfo(QFile::decodeName(name.c_str())).canonicalFilePath();
    };
    const QString wanted = IsUrl(path) ? QString() : canonical(path);
    std::set<int> used;
    for (const PortEntry& entry : entries_) {
        if (entry.devicePath == path || entry.stableName == path ||
            (!wanted.isEmpty() && canonical(entry.devicePath) == wanted))
            return entry.number;
        used.insert(entry.number);
    }
    for (const auto& [number, name] : unplugged_) {
        if (name == path) return number;
        used.insert(number);
    }
    int number = 1;
    while (used.count(number)) ++number;
    const auto at =
        std::find_if(entries_.begin(), entries_.end(),
                     [number](const PortEntry& entry) { return entry.number > number; });
    entries_.insert(at, {number, ComName(number).toStdString(), path, {}, "--port"});
    return number;
}

std::vector<std::string> PortMap::names() const {
    std::vector<std::string> result;
    result.reserve(entries_.size());
    for (const PortEntry& entry : entries_) result.push_back(entry.name);
    return result;
}

std::optional<std::string> PortMap::devicePath(int number) const {
    for (const PortEntry& entry : entries_) {
        if (entry.number == number)
            return entry.stableName.empty() ? entry.devicePath : Resolve(entry.stableName);
    }
    if (const auto it = unplugged_.find(number); it != unplugged_.end()) return Resolve(it->second);
    return std::nullopt;
}

std::vector<PortDescription> PortMap::describe(const std::vector<int>& numbers) const {
    std::vector<PortDescription> described;
    for (int number : numbers) {
        PortDescription port{number, {}, "no device: the port list when the system reports none"};
        const auto entry = std::find_if(entries_.begin(), entries_.end(),
                                        [&](const PortEntry& e) { return e.number == number; });
        if (entry != entries_.end()) {
            port.devicePath = *devicePath(number);
            port.description = entry->description;
            port.exists = IsUrl(port.devicePath) ||
                          QFileInfo::exists(QFile::decodeName(port.devicePath.c_str()));
            if (!port.exists) port.description += " (missing)";
        }
        described.push_back(port);
    }
    return described;
}

}  // namespace platform
