#include "platform/win/session_protocol.h"

#include <cstring>

namespace tevorin::win {
namespace {

constexpr std::uint32_t kMagic = 0x54564453;  // "TVDS"
constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kMaxPath = 4096;

class Writer {
  public:
    template <typename T>
    void Put(T value) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
        out_.insert(out_.end(), bytes, bytes + sizeof value);
    }
    void PutText(const std::string& text) {
        Put(static_cast<std::uint32_t>(text.size()));
        out_.insert(out_.end(), text.begin(), text.end());
    }
    std::vector<std::uint8_t> Take() { return std::move(out_); }

  private:
    std::vector<std::uint8_t> out_;
};

class Reader {
  public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    template <typename T>
    bool Get(T* value) {
        if (size_ - offset_ < sizeof(T)) return false;
        std::memcpy(value, data_ + offset_, sizeof(T));
        offset_ += sizeof(T);
        return true;
    }
    bool GetText(std::string* text, std::size_t limit) {
        std::uint32_t length = 0;
        if (!Get(&length) || length > limit || size_ - offset_ < length) return false;
        text->assign(reinterpret_cast<const char*>(data_ + offset_), length);
        offset_ += length;
        return true;
    }
    bool AtEnd() const { return offset_ == size_; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
};

bool IsKnown(std::uint16_t command) {
    switch (static_cast<SessionCommand>(command)) {
        case SessionCommand::kPost:
        case SessionCommand::kShow:
        case SessionCommand::kTree:
        case SessionCommand::kClick:
        case SessionCommand::kSnapshot:
        case SessionCommand::kReply:
            return true;
    }
    return false;
}

}  // namespace

std::vector<std::uint8_t> EncodeSessionDatagram(const SessionDatagram& d) {
    Writer w;
    w.Put(kMagic);
    w.Put(kVersion);
    w.Put(static_cast<std::uint16_t>(d.command));
    w.Put(d.handle);
    w.Put(d.requestId);
    switch (d.command) {
        case SessionCommand::kPost:
            w.Put(d.message);
            w.Put(d.wParam);
            w.Put(d.lParam);
            break;
        case SessionCommand::kShow:
            w.Put(d.value);
            w.PutText(d.replyTo);
            break;
        case SessionCommand::kTree:
        case SessionCommand::kClick:
            w.PutText(d.replyTo);
            break;
        case SessionCommand::kSnapshot:
            w.PutText(d.replyTo);
            w.PutText(d.path);
            break;
        case SessionCommand::kReply:
            w.Put(d.value);
            w.PutText(d.payload);
            break;
    }
    return w.Take();
}

std::optional<SessionDatagram> DecodeSessionDatagram(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size > kMaxSessionDatagram) return std::nullopt;
    Reader r(data, size);
    std::uint32_t magic = 0;
    std::uint16_t version = 0;
    std::uint16_t command = 0;
    SessionDatagram d;
    if (!r.Get(&magic) || magic != kMagic || !r.Get(&version) || version != kVersion ||
        !r.Get(&command) || !IsKnown(command) || !r.Get(&d.handle) || !r.Get(&d.requestId))
        return std::nullopt;
    d.command = static_cast<SessionCommand>(command);
    if (d.command != SessionCommand::kReply && d.handle <= 0) return std::nullopt;
    bool ok = true;
    switch (d.command) {
        case SessionCommand::kPost:
            ok = r.Get(&d.message) && r.Get(&d.wParam) && r.Get(&d.lParam);
            break;
        case SessionCommand::kShow:
            // An empty reply address: the caller does not wait for the answer.
            ok =
                r.Get(&d.value) && d.value >= 0 && d.value <= 11 && r.GetText(&d.replyTo, kMaxPath);
            break;
        case SessionCommand::kTree:
        case SessionCommand::kClick:
            ok = r.GetText(&d.replyTo, kMaxPath) && !d.replyTo.empty();
            break;
        case SessionCommand::kSnapshot:
            ok = r.GetText(&d.replyTo, kMaxPath) && !d.replyTo.empty() &&
                 r.GetText(&d.path, kMaxPath) && !d.path.empty();
            break;
        case SessionCommand::kReply:
            ok = r.Get(&d.value) && r.GetText(&d.payload, kMaxSessionDatagram);
            break;
    }
    if (!ok || !r.AtEnd()) return std::nullopt;
    if (d.replyTo.find('\0') != std::string::npos || d.path.find('\0') != std::string::npos)
        return std::nullopt;
    return d;
}

}  // namespace tevorin::win
