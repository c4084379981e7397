#include "commands/ReaderTypes.h"

#include <cctype>

namespace commands {
namespace {

constexpr unsigned Page(FunctionPage page) { return 1u << static_cast<int>(page); }

constexpr unsigned kMifarePages = Page(FunctionPage::Mifare) | Page(FunctionPage::MifareKey);
// Every type offers the Common page.
constexpr unsigned kCommon = Page(FunctionPage::Command);

using P = FunctionPage;
using G = KeyStatusGroup;

FactoryDefaultPlan Spaced(std::vector<FactoryCommand> commands, bool keypad, bool keyStatus,
                          bool cardIdLocation) {
    FactoryDefaultPlan plan;
    plan.commands = std::move(commands);
    plan.spaced = true;
    plan.delivery.cardType = 0;
    if (keypad) {
        plan.delivery.keyParity = 0;  // "L04" "M0"
        plan.delivery.keyNumber = 4;
    }
    if (keyStatus) plan.delivery.keyStatus = KeyStatus{};                 // "N0003"
    if (cardIdLocation) plan.delivery.cardIdLocation = CardIdLocation{};  // "a0000000001"
    return plan;
}

FactoryDefaultPlan Display(bool cardType) {
    FactoryDefaultPlan plan;
    plan.commands = {{"Zi", true}};
    if (cardType) plan.delivery.cardType = 0;
    return plan;
}

FactoryDefaultPlan Fingerprint(bool cardType) {
    FactoryDefaultPlan plan = Display(cardType);
    plan.restartFirst = true;
    return plan;
}

// Laid out by hand: one reader type to a row, read like a table.
// clang-format off
const std::array<ReaderTypeInfo, kReaderTypeCount> kTypes = {{
    {ReaderType::PX10, "PX10", "PX10/PX20/PX30", "tsPX10", 'A',
     kCommon | Page(P::EM), P::EM,
     {true, true, false, false, false, G::Leave},
     Spaced({{"A001", true}, {"A0", false}, {"AA0", false}, {"E5", true}}, false, false, false)},
    {ReaderType::PX40, "PX40", "PX40", "tsPX40", 'H',
     kCommon | Page(P::EM) | Page(P::Keypad), P::Keypad,
     {false, true, true, false, false, G::Hide},
     Spaced({{"A001", true}, {"L04", true}, {"M0", false}, {"A0", false}, {"E5", true}},
            true, false, false)},
    {ReaderType::PX30M, "PX30M", "PX10-M/PX20-M/PX30-M", "tsPX30M", 'A',
     kCommon | kMifarePages, P::Mifare,
     {false, false, false, false, true, G::Leave},
     Spaced({{"A001", true}, {"a0000000001", false}, {"E5", true}}, false, false, true)},
    {ReaderType::PX40M, "PX40M", "PX40-M", "tsPX40M", 'H',
     kCommon | Page(P::Keypad) | kMifarePages, P::Mifare,
     {false, false, true, true, true, G::Show},
     Spaced({{"A001", true}, {"L04", true}, {"M0", false}, {"N0003", false},
             {"a0000000001", false}, {"E5", true}}, true, true, true)},
    {ReaderType::PX50, "PX50", "PX50", "tsPX50", 'J',
     kCommon | Page(P::Keypad) | Page(P::EM) | Page(P::Display), P::Display,
     {false, true, false, false, false, G::Show},
     Display(true)},
    {ReaderType::PX50M, "PX50M", "PX50-M", "tsPX50M", 'J',
     kCommon | Page(P::Keypad) | kMifarePages | Page(P::Display), P::Display,
     {false, false, false, false, false, G::Show},
     Display(false)},
    {ReaderType::PX60, "PX60", "PX60/PX70", "tsPX60", 'I',
     kCommon | Page(P::EM) | Page(P::Fingerprint), P::Fingerprint,
     {false, true, false, false, false, G::Leave},
     Fingerprint(true)},
    {ReaderType::PX60M, "PX60M", "PX60-M/PX70-M", "tsPX60M", 'I',
     kCommon | kMifarePages | Page(P::Fingerprint), P::Fingerprint,
     {false, false, false, false, false, G::Leave},
     Fingerprint(false)},
}};
// clang-format on

std::string Canonical(std::string_view name) {
    std::string canonical;
    for (char c : name) {
        if (c == '-') continue;
        canonical += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return canonical;
}

}  // namespace

const std::array<ReaderTypeInfo, kReaderTypeCount>& ReaderTypes() { return kTypes; }

const ReaderTypeInfo& Info(ReaderType type) { return kTypes[static_cast<std::size_t>(type)]; }

std::optional<ReaderType> ReaderTypeAt(int index) {
    if (index < 0 || index >= kReaderTypeCount) return std::nullopt;
    return static_cast<ReaderType>(index);
}

int IndexOf(ReaderType type) { return static_cast<int>(type); }

std::optional<ReaderType> ReaderTypeNamed(std::string_view name) {
    const std::string wanted = Canonical(name);
    for (const auto& info : kTypes)
        if (wanted == info.name) return info.type;
    return std::nullopt;
}

}  // namespace commands
