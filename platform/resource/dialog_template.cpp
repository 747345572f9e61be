#include "platform/resource/dialog_template.h"

namespace {

char16_t FoldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; }

}  // namespace

bool IsDialogControlClass(const DialogControl& control, std::u16string_view className) {
    if (control.className.size() != className.size()) return false;
    for (size_t i = 0; i < className.size(); ++i) {
        if (FoldAscii(control.className[i]) != FoldAscii(className[i])) return false;
    }
    return true;
}
