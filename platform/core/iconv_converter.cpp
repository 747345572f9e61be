#include "platform/core/iconv_converter.h"

#include <cerrno>

IconvConverter::IconvConverter(const char* to, const char* from)
    : descriptor_(iconv_open(to, from)) {}

IconvConverter::~IconvConverter() {
    if (IsOpen()) iconv_close(descriptor_);
}

IconvConverter::Stop IconvConverter::Convert(std::string_view& input, std::string& output) {
    if (!IsOpen()) return input.empty() ? Stop::kDone : Stop::kInvalid;
    while (!input.empty()) {
        // Room for the worst case of the encodings we meet (one input byte
        // giving up to four output bytes); E2BIG just loops for more.
        const std::size_t written = output.size();
        const std::size_t room = input.size() * 4 + 16;
        output.resize(written + room);
        // iconv does not write through its input pointer; the cast only
        // satisfies its C signature.
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char* out = output.data() + written;
        std::size_t outLeft = room;
        const std::size_t result = iconv(descriptor_, &in, &inLeft, &out, &outLeft);
        const int error = errno;
        output.resize(written + (room - outLeft));
        input.remove_prefix(input.size() - inLeft);
        if (result != static_cast<std::size_t>(-1)) continue;
        if (error == E2BIG) continue;
        if (error == EINVAL) return Stop::kIncomplete;
        return Stop::kInvalid;
    }
    return Stop::kDone;
}

bool IconvConverter::Finish(std::string& output) {
    if (!IsOpen()) return false;
    char buffer[64];
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    if (iconv(descriptor_, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1)) {
        return false;
    }
    output.append(buffer, sizeof buffer - outLeft);
    return true;
}

void IconvConverter::Reset() {
    if (IsOpen()) iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
}
