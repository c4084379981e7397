// The serial-port map: which device each COM number names. Readers are found and remembered by
// COM number, so a device must keep its number from one run to the next.
//
// Every serial device the system reports gets a number that is kept in the machine-wide store
// under [PortMap] as COMn=<stable name>, the stable name being the device's /dev/serial/by-id
// link (the adapter's serial number survives replugging into another socket), else its
// by-path link, else its /dev path. A new device takes the lowest number nobody holds; a
// number stays reserved while its device is unplugged. The kernel hands out ttyUSB names in
// plug-in order, so a COM number is resolved through its stable name at every open: two
// adapters replugged the other way round keep their numbers without a restart, and one that
// is unplugged opens as its missing stable name (the "unplugged" reason).
//
// Extra entries name any device path (a pseudo-terminal, a socat link): under [ExtraPorts] in
// the store as COMn=<path>, and in the environment variable TAGBENCH_PORTS as
// "COM5=/dev/pts/7,COM9=/tmp/vport". For one number, the environment wins over the store's
// extras, which win over a device. An extra entry may name a serial device server instead of a
// path: "COM20=rfc2217://door-server:4001" or "socket://HOST:PORT" (platform/NetworkAddress.h).
#pragma once

#include <QString>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class SettingsStore;

// One serial device as the system reports it.
struct SerialDevice {
    QString systemLocation;    // the /dev path, e.g. /dev/ttyUSB0
    QString stableName;        // by-id link, by-path link, or the /dev path
    QString description = {};  // its description, manufacturer and serial number; may be empty
};

struct PortEntry {
    int number = 0;
    std::string name;        // "COM3"
    std::string devicePath;  // where the device was when the map was built
    std::string stableName;  // a device's by-id or by-path link; empty: devicePath is for good
    // Where the device comes from: "TAGBENCH_PORTS", the system's words for a device at that
    // path ("serial device" when it has none), else "extra port in the settings store".
    std::string description;
};

// One COM number as `tagbench-cli ports` lists it.
struct PortDescription {
    int number = 0;
    std::string devicePath;   // empty: the number is not in the map
    std::string description;  // the entry's, with " (missing)" when its device is not there
    bool exists = false;      // a network port counts as there: only opening it tells
};

class PortMap {
public:
    static constexpr char kDeviceSection[] = "PortMap";
    static constexpr char kExtraSection[] = "ExtraPorts";

    PortMap() = default;

    // Builds the map and saves the numbers given to new devices (a failed save is ignored: the
    // numbers then hold for this run only). `portsVariable` is the text of TAGBENCH_PORTS.
    static PortMap build(SettingsStore& store, const std::vector<SerialDevice>& devices,
                         const QString& portsVariable);
    // The same from the machine's devices, the store of the environment and TAGBENCH_PORTS.
    static PortMap fromSystem();

    // The machine's serial devices with their stable names, in the system's order.
    static std::vector<SerialDevice> systemDevices();
    // Gives each device the stable name of its link under <root>/dev/serial/by-id, else
    // by-path, else its own path; root "" is the machine's own /dev.
    static void nameDevices(std::vector<SerialDevice>& devices, const QString& root);

    // "COM5=/dev/pts/7,COM9=/tmp/vport" as number -> path; a later item for the same number
    // wins. Items that are not COMn=<path> with n from 1, or whose URL is no network port
    // address, are left out and, trimmed, added to `malformed`; blank items are no items.
    static std::map<int, QString> parsePortsVariable(const QString& text,
                                                     std::vector<std::string>* malformed = nullptr);
    // 3 for "COM3"; nullopt for anything but "COM" and a number from 1 without leading zeros.
    static std::optional<int> parseComName(const QString& name);

    // A network port URL typed by the user: the COM number it already has in the map, else the
    // lowest number nobody holds (not in the map, not reserved by a device in the store), kept
    // under [ExtraPorts] (a failed save keeps it for this run only). nullopt, and nothing
    // changed, for a text that is not an rfc2217:// or socket:// address.
    std::optional<int> addNetworkPort(SettingsStore& store, const QString& url);
    // A device path or a network port URL given on tagbench-cli's command line: the COM number
    // of the entry that names it already (its path, its stable name or, for a path, the device
    // it leads to), else the lowest number nobody holds, for this run only. Nullopt for a URL
    // that is no network port address.
    std::optional<int> addPort(const std::string& pathOrUrl);

    // The items of TAGBENCH_PORTS that were left out as malformed, as written.
    const std::vector<std::string>& malformedEntries() const { return malformed_; }

    // Entries in COM-number order.
    const std::vector<PortEntry>& entries() const { return entries_; }
    std::vector<std::string> names() const;
    // What the channel opens for a number, resolved now: where its adapter is at this moment.
    // A number reserved for an adapter that was unplugged when the map was built counts too.
    std::optional<std::string> devicePath(int number) const;
    // Each of `numbers`; one not in the map is the port list's item when the system reports no
    // device.
    std::vector<PortDescription> describe(const std::vector<int>& numbers) const;

private:
    std::vector<PortEntry> entries_;
    std::map<int, std::string> unplugged_;  // number -> stable name, absent at build
    std::vector<std::string> malformed_;
};

}  // namespace platform
