// Shows one message box for the tests that answer it from another process.
// Arguments: caption, text, type (decimal). Prints "answer <id>" and ends.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/controls/control_classes.h"
#include "platform/core/text.h"
#include "platform/framework/dialog.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: message_box_peer CAPTION TEXT TYPE\n");
        return 2;
    }
    if (!tevorin::controls::RegisterControlClasses()) return 1;
    const std::u16string caption = Utf8ToUtf16(argv[1]);
    const std::u16string text = Utf8ToUtf16(argv[2]);
    const auto type = static_cast<UINT>(std::strtoul(argv[3], nullptr, 10));
    const int answer = MessageBoxW(nullptr, text.c_str(), caption.c_str(), type);
    std::printf("answer %d\n", answer);
    std::fflush(stdout);
    return 0;
}
