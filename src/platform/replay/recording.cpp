#include "platform/replay/recording.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "platform/saved_games/save_format.hpp"
#include "platform/terminal/key_sequences.hpp"

namespace orbalune {

namespace {

// A ttyrec header's numbers: 32 bits each, the lowest byte first.
void putLittleEndian(std::ostream& out, std::uint32_t value) {
    const std::array<char, 4> bytes = {
        static_cast<char>(value & 0xff), static_cast<char>((value >> 8) & 0xff),
        static_cast<char>((value >> 16) & 0xff), static_cast<char>((value >> 24) & 0xff)};
    out.write(bytes.data(), bytes.size());
}

bool isUtf8Continuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xc0) == 0x80;
}

}  // namespace

void FrameCutter::pass(std::chrono::microseconds time) {
    if (!pending_.empty()) {
        frame_(now_, pending_);
        pending_.clear();
    }
    now_ += time;
}

FrameCutter::int_type FrameCutter::overflow(int_type byte) {
    if (!traits_type::eq_int_type(byte, traits_type::eof())) {
        const char written = traits_type::to_char_type(byte);
        xsputn(&written, 1);
    }
    return traits_type::not_eof(byte);
}

std::streamsize FrameCutter::xsputn(const char* bytes, std::streamsize count) {
    for (const char byte : std::string_view(bytes, static_cast<std::size_t>(count))) {
        if (byte == '\n') {
            pending_ += '\r';
        }
        pending_ += byte;
    }
    return count;
}

std::string jsonString(std::string_view bytes) {
    std::string json = "\"";
    for (std::size_t at = 0; at < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (byte >= 0x80) {
            if (const std::size_t length = characterLength(bytes.substr(at)); length > 0) {
                json.append(bytes.substr(at, length));
                at += length;
            } else {
                json += "\xef\xbf\xbd";  // U+FFFD
                ++at;
            }
            continue;
        }
        if (byte == '"' || byte == '\\') {
            json += '\\';
            json += static_cast<char>(byte);
        } else if (byte == '\n') {
            json += "\\n";
        } else if (byte == '\r') {
            json += "\\r";
        } else if (byte < 0x20 || byte == 0x7f) {
            std::array<char, 8> escaped{};
            std::snprintf(escaped.data(), escaped.size(), "\\u%04x", byte);
            json += escaped.data();
        } else {
            json += static_cast<char>(byte);
        }
        ++at;
    }
    return json + '"';
}

LongestLine::int_type LongestLine::overflow(int_type byte) {
    if (traits_type::eq_int_type(byte, traits_type::eof())) {
        return traits_type::not_eof(byte);
    }
    const char written = traits_type::to_char_type(byte);
    constexpr std::size_t kTabStop = 8;
    if (written == '\n') {
        current_ = 0;
    } else if (written == '\t') {
        current_ = (current_ / kTabStop + 1) * kTabStop;
        longest_ = std::max(longest_, current_);
    } else if (!isUtf8Continuation(written)) {
        longest_ = std::max(longest_, ++current_);
    }
    return byte;
}

RecordingWriter::RecordingWriter(std::ostream& out, RecordingFormat format, std::size_t width,
                                 std::size_t height, std::string_view title)
    : out_(out), format_(format) {
    if (format_ == RecordingFormat::Asciicast) {
        out_ << R"({"version": 2, "width": )" << width << R"(, "height": )" << height
             << R"(, "title": )" << jsonString(title) << "}\n";
    }
}

void RecordingWriter::frame(std::chrono::microseconds at, std::string_view bytes) {
    const auto seconds = static_cast<std::uint64_t>(at.count()) / 1000000;
    const auto micros = static_cast<std::uint64_t>(at.count()) % 1000000;
    if (format_ == RecordingFormat::Asciicast) {
        std::array<char, 32> time{};
        std::snprintf(time.data(), time.size(), "%llu.%06llu",
                      static_cast<unsigned long long>(seconds),
                      static_cast<unsigned long long>(micros));
        out_ << '[' << time.data() << R"(, "o", )" << jsonString(bytes) << "]\n";
        return;
    }
    // A ttyrec says a frame's time in 32 bits of seconds: a later one would go back in time.
    if (seconds > std::numeric_limits<std::uint32_t>::max() ||
        bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        throw SaveFileError{
            "too long for a ttyrec, which ends after 136 years of watching (a higher --speed, or "
            "--cast, records it)"};
    }
    putLittleEndian(out_, static_cast<std::uint32_t>(seconds));
    putLittleEndian(out_, static_cast<std::uint32_t>(micros));
    putLittleEndian(out_, static_cast<std::uint32_t>(bytes.size()));
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace orbalune
