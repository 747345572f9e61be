#pragma once
// A thin owner of one iconv descriptor, used by the code-page conversions.
// Not part of the platform layer's interface.

#include <iconv.h>

#include <string>
#include <string_view>

class IconvConverter {
  public:
    // Opens a conversion from `from` to `to` (iconv names).
    IconvConverter(const char* to, const char* from);
    ~IconvConverter();
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    [[nodiscard]] bool IsOpen() const { return descriptor_ != kInvalid; }

    enum class Stop {
        kDone,        // all input converted
        kInvalid,     // input starts with a sequence that cannot be converted
        kIncomplete,  // input holds only the start of a sequence
    };

    // Converts from the front of `input`, appending to `output` and removing
    // the converted bytes from `input`, until the input ends or a sequence
    // stops the conversion.
    Stop Convert(std::string_view& input, std::string& output);

    // Appends what returns the output to its initial shift state (nothing
    // for stateless encodings) and resets the descriptor.
    [[nodiscard]] bool Finish(std::string& output);

    // Back to the initial shift state, discarding any pending output.
    void Reset();

  private:
    static inline const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);
    iconv_t descriptor_;
};
