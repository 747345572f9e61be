#include "tools/publish/version_argument.h"

bool ParseVersionArgument(std::string text, DWORD& version) {
    if (text.starts_with("0x") || text.starts_with("0X")) text.erase(0, 2);
    if (text.empty() || text.size() > 8) return false;
    DWORD value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return false;
        }
        value = (value << 4) | static_cast<DWORD>(digit);
    }
    version = value;
    return true;
}
