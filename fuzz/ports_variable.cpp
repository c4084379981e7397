// TAGBENCH_PORTS and COM names: any text gives COM numbers from 1 and non-empty paths, and a
// COM name written from a number reads back as that number.
#include <QString>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "platform/PortMap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const int number = in.number();
    const std::string bytes = in.rest();
    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    for (const auto& [com, path] : platform::PortMap::parsePortsVariable(text))
        fuzz::Check(com >= 1 && !path.isEmpty(), "a mapped port has a number and a path");
    if (const auto com = platform::PortMap::parseComName(text))
        fuzz::Check(*com >= 1, "a COM number from 1");
    if (number >= 1)
        fuzz::Check(platform::PortMap::parseComName(QStringLiteral("COM%1").arg(number)) == number,
                    "a COM name reads back");
    return 0;
}
