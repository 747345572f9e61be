#include "tools/main/main_arguments.h"

namespace main_stand_in {

std::optional<DWORD> ParseVersionArgument(const std::string& text) {
    std::string_view digits = text;
    if (digits.starts_with("0x") || digits.starts_with("0X")) digits.remove_prefix(2);
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    DWORD value = 0;
    for (char c : digits) {
        DWORD digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<DWORD>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<DWORD>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<DWORD>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        value = (value << 4) | digit;
    }
    return value;
}

std::optional<MainArguments> ParseMainArguments(const std::vector<std::string>& args,
                                                std::string* error) {
    MainArguments parsed;
    if (args.empty()) return parsed;
    if (args.size() == 1 && args[0] == "--check") {
        parsed.mode = MainMode::kCheck;
        return parsed;
    }
    if (args.size() == 1 && args[0] == "--update") {
        parsed.mode = MainMode::kUpdate;
        return parsed;
    }
    if (args[0] == "--install") {
        if (args.size() != 2 && !(args.size() == 4 && args[2] == "--version")) {
            *error = "--install takes a directory and optionally --version HEX";
            return std::nullopt;
        }
        if (args[1].empty()) {
            *error = "--install needs a directory";
            return std::nullopt;
        }
        parsed.mode = MainMode::kInstall;
        parsed.installDir = args[1];
        if (args.size() == 4) {
            auto version = ParseVersionArgument(args[3]);
            if (!version) {
                *error = "'" + args[3] + "' is not a version (1 to 8 hexadecimal digits)";
                return std::nullopt;
            }
            parsed.version = *version;
        }
        return parsed;
    }
    *error =
        "unknown arguments; expected nothing, --check, --update or --install DIR [--version HEX]";
    return std::nullopt;
}

}  // namespace main_stand_in
