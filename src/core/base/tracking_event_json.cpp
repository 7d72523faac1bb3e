#include "core/base/tracking_event_json.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace tarvo {
namespace {

void AppendEscaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char code[8];
          std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned char>(c));
          out += code;
        } else {
          out += c;
        }
    }
  }
}

class JsonObjectWriter {
 public:
  void Text(const char* name, const std::string& value) {
    if (value.empty()) return;
    Name(name);
    out_ += '"';
    AppendEscaped(out_, value);
    out_ += '"';
  }
  void Number(const char* name, const std::optional<int>& value) {
    if (!value) return;
    Name(name);
    out_ += std::to_string(*value);
  }
  // One decimal, whatever the locale.
  void Tenths(const char* name, const std::optional<double>& value) {
    // Past this no time of ours can lie; such a value is left out rather than overflow.
    if (!value || !(std::fabs(*value) < 1e15)) return;
    Name(name);
    const long long tenths = std::llround(*value * 10.0);
    if (tenths < 0) out_ += '-';
    const long long magnitude = tenths < 0 ? -tenths : tenths;
    out_ += std::to_string(magnitude / 10) + "." + std::to_string(magnitude % 10);
  }
  void Flag(const char* name, const std::optional<bool>& value) {
    if (!value) return;
    Name(name);
    out_ += *value ? "true" : "false";
  }
  std::string Finish() { return out_.empty() ? "{}" : out_ + "}"; }

 private:
  void Name(const char* name) {
    out_ += out_.empty() ? "{\"" : ",\"";
    out_ += name;
    out_ += "\":";
  }
  std::string out_;
};

// A value of a flat object: text for strings, the literal for numbers and booleans.
struct JsonValue {
  std::string text;
  bool isString = false;
};

class FlatObjectReader {
 public:
  explicit FlatObjectReader(std::string_view in) : in_(in) {}

  std::optional<std::map<std::string, JsonValue>> Read() {
    std::map<std::string, JsonValue> fields;
    Skip();
    if (!Take('{')) return std::nullopt;
    Skip();
    if (Take('}')) return End(fields);
    while (true) {
      Skip();
      std::string name;
      if (!String(name)) return std::nullopt;
      Skip();
      if (!Take(':')) return std::nullopt;
      Skip();
      JsonValue value;
      if (Peek() == '"') {
        value.isString = true;
        if (!String(value.text)) return std::nullopt;
      } else if (!Literal(value.text)) {
        return std::nullopt;
      }
      fields[name] = std::move(value);
      Skip();
      if (Take('}')) return End(fields);
      if (!Take(',')) return std::nullopt;
    }
  }

 private:
  std::optional<std::map<std::string, JsonValue>> End(std::map<std::string, JsonValue>& fields) {
    Skip();
    if (pos_ != in_.size()) return std::nullopt;
    return std::move(fields);
  }
  char Peek() const { return pos_ < in_.size() ? in_[pos_] : '\0'; }
  bool Take(char c) {
    if (Peek() != c || pos_ >= in_.size()) return false;
    ++pos_;
    return true;
  }
  void Skip() {
    while (pos_ < in_.size() &&
           (in_[pos_] == ' ' || in_[pos_] == '\t' || in_[pos_] == '\r' || in_[pos_] == '\n')) {
      ++pos_;
    }
  }
  bool Literal(std::string& out) {
    const std::size_t start = pos_;
    while (pos_ < in_.size()) {
      const char c = in_[pos_];
      const bool part = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || c == '-' || c == '+' ||
                        c == '.' || c == 'E';
      if (!part) break;
      ++pos_;
    }
    out.assign(in_.substr(start, pos_ - start));
    return !out.empty();
  }
  bool Hex4(unsigned& code) {
    if (in_.size() - pos_ < 4) return false;
    const auto* first = in_.data() + pos_;
    const auto result = std::from_chars(first, first + 4, code, 16);
    if (result.ec != std::errc() || result.ptr != first + 4) return false;
    pos_ += 4;
    return true;
  }
  static void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  bool String(std::string& out) {
    if (!Take('"')) return false;
    while (pos_ < in_.size()) {
      const char c = in_[pos_++];
      if (c == '"') return true;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= in_.size()) return false;
      const char e = in_[pos_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          unsigned code = 0;
          if (!Hex4(code)) return false;
          if (code >= 0xD800 && code < 0xDC00 && in_.substr(pos_, 2) == "\\u") {
            pos_ += 2;
            unsigned low = 0;
            if (!Hex4(low) || low < 0xDC00 || low >= 0xE000) return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          }
          AppendUtf8(out, code);
          break;
        }
        default:
          return false;
      }
    }
    return false;
  }

  std::string_view in_;
  std::size_t pos_ = 0;
};

std::optional<double> NumberOf(const std::map<std::string, JsonValue>& fields, const char* name) {
  const auto it = fields.find(name);
  if (it == fields.end() || it->second.isString) return std::nullopt;
  double value = 0.0;
  const std::string& text = it->second.text;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int> IntegerOf(const std::map<std::string, JsonValue>& fields, const char* name) {
  const auto value = NumberOf(fields, name);
  if (!value || !(*value >= -2e9 && *value <= 2e9)) return std::nullopt;
  return static_cast<int>(*value);
}

std::string TextOf(const std::map<std::string, JsonValue>& fields, const char* name) {
  const auto it = fields.find(name);
  return it != fields.end() && it->second.isString ? it->second.text : std::string();
}

std::optional<bool> FlagOf(const std::map<std::string, JsonValue>& fields, const char* name) {
  const auto it = fields.find(name);
  if (it == fields.end() || it->second.isString) return std::nullopt;
  if (it->second.text == "true") return true;
  if (it->second.text == "false") return false;
  return std::nullopt;
}

}  // namespace

std::string FormatEventJson(const TrackingEvent& e) {
  JsonObjectWriter w;
  w.Text("time", e.time);
  w.Text("event", e.event);
  w.Text("decoder", e.decoder);
  w.Text("station", e.station);
  w.Text("id", e.id);
  w.Text("line", e.line);
  w.Text("linetype", e.lineType);
  w.Number("channel", e.channel);
  w.Text("action", e.action);
  w.Text("reason", e.reason);
  w.Text("to", e.to);
  w.Tenths("seconds", e.seconds);
  w.Flag("tuned", e.tuned);
  w.Number("frames", e.frames);
  w.Number("rejected", e.rejected);
  w.Tenths("silent", e.silent);
  w.Text("state", e.state);
  w.Text("device", e.device);
  return w.Finish();
}

std::optional<TrackingEvent> ParseEventJson(std::string_view line) {
  const auto fields = FlatObjectReader(line).Read();
  if (!fields) return std::nullopt;
  TrackingEvent e;
  e.event = TextOf(*fields, "event");
  if (e.event.empty()) return std::nullopt;
  e.time = TextOf(*fields, "time");
  e.decoder = TextOf(*fields, "decoder");
  e.station = TextOf(*fields, "station");
  e.id = TextOf(*fields, "id");
  e.line = TextOf(*fields, "line");
  e.lineType = TextOf(*fields, "linetype");
  e.channel = IntegerOf(*fields, "channel");
  e.action = TextOf(*fields, "action");
  e.reason = TextOf(*fields, "reason");
  e.to = TextOf(*fields, "to");
  e.seconds = NumberOf(*fields, "seconds");
  e.tuned = FlagOf(*fields, "tuned");
  e.frames = IntegerOf(*fields, "frames");
  e.rejected = IntegerOf(*fields, "rejected");
  e.silent = NumberOf(*fields, "silent");
  e.state = TextOf(*fields, "state");
  e.device = TextOf(*fields, "device");
  return e;
}

}  // namespace tarvo
