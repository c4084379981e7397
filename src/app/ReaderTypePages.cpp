// The reader-type row decides the start character of every command and which function pages
// are offered.
#include <QTabWidget>

#include "app/TfrmModule.h"
#include "app/widgets/ReaderTypeRow.h"

namespace app {
namespace {

enum Page { Mifare, MifareKey, EM, Keypad, Display, Fingerprint, Command };

struct ReaderTypePages {
    const char* startCharacter;
    std::initializer_list<Page> shown;
    Page front;
};

// In the order of the reader-type row.
const ReaderTypePages kReaderTypes[] = {
    {"A", {EM}, EM},                                       // PX10/PX20/PX30
    {"H", {EM, Keypad}, Keypad},                           // PX40
    {"A", {Mifare, MifareKey}, Mifare},                    // PX10-M/PX20-M/PX30-M
    {"H", {Keypad, Mifare, MifareKey}, Mifare},            // PX40-M
    {"J", {Keypad, EM, Display}, Display},                 // PX50
    {"J", {Keypad, Mifare, MifareKey, Display}, Display},  // PX50-M
    {"I", {EM, Fingerprint}, Fingerprint},                 // PX60/PX70
    {"I", {Mifare, MifareKey, Fingerprint}, Fingerprint},  // PX60-M/PX70-M
};
const ReaderTypePages kNoReaderType = {"A", {}, Command};

}  // namespace

void TfrmModule::pcReaderChange() {
    QWidget* const pages[] = {main_.tsMifare,  main_.tsMifareKey,   main_.tsEM,     main_.tsKeypad,
                              main_.tsDisplay, main_.tsFingerprint, main_.tsCommand};
    QTabWidget* other = main_.pcOther;
    for (Page hidden : {EM, Keypad, Mifare, MifareKey, Display, Fingerprint})
        other->setTabVisible(other->indexOf(pages[hidden]), false);

    const int type = main_.pcReader->currentIndex();
    const ReaderTypePages& choice =
        type >= 0 && type < int(std::size(kReaderTypes)) ? kReaderTypes[type] : kNoReaderType;
    startCharacter_ = choice.startCharacter;
    for (Page shown : choice.shown) other->setTabVisible(other->indexOf(pages[shown]), true);
    other->setCurrentWidget(pages[choice.front]);
}

}  // namespace app
