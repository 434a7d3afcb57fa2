#include "shell/KeyboardHardKeys.h"

#include <Qt>
#include <algorithm>

HardKeyList CKeyboardHardKeys::DefaultKeys() {
    HardKeyList keys;
    keys.up = kCodeUp;
    keys.down = kCodeDown;
    keys.left = kCodeLeft;
    keys.right = kCodeRight;
    keys.a = kCodeButton1;
    keys.b = kCodeButton2;
    keys.c = kCodeSpare;
    keys.start = kCodeStart;
    return keys;
}

uint16_t CKeyboardHardKeys::CodeOfKey(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Up:
            return kCodeUp;
        case Qt::Key_Down:
            return kCodeDown;
        case Qt::Key_Left:
            return kCodeLeft;
        case Qt::Key_Right:
            return kCodeRight;
        case Qt::Key_F5:
            return kCodeButton1;
        case Qt::Key_F6:
            return kCodeButton2;
        case Qt::Key_F7:
            return kCodeSpare;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kCodeStart;
        default:
            return 0;
    }
}

bool CKeyboardHardKeys::IsSlotKey(uint16_t code) {
    CKeyboardHardKeys keys;
    const auto codes = SlotKeys(keys.DefaultKeys());
    return code != 0 && std::find(codes.begin(), codes.end(), code) != codes.end();
}
