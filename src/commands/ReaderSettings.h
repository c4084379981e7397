// Settings a reader keeps, as the window's controls show them: list items by index, numbers as
// they are. The defaults are the reader's as delivered.
#pragma once

namespace commands {

struct InterfaceSettings {
    int mode = 0;     // 0 Wiegand, 1 RS485
    int wiegand = 0;  // 26, 34, 42
    int rs485 = 1;    // 24, 32, 40, 64
};

struct KeyStatus {
    int keyNumber = 0;
    int delaySeconds = 3;
};

// Where the card ID lies on a MIFARE card, and how a key error is signalled.
struct CardIdLocation {
    int sector = 0;
    int block = 0;
    int byte = 0;
    bool keyB = false;
    int keyError = 1;  // "LED"
};

}  // namespace commands
