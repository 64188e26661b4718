#include "ini_output.h"

#include <cctype>
#include <cstdio>

#include "command_line.h"

namespace zidevuv10::cli {

namespace {

bool isShellName(std::string_view name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
  for (char c : name) {
    if (c != '_' && !std::isalnum(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::string shellText(const std::vector<SectionListing>& sections) {
  std::string out;
  for (const SectionListing& s : sections) {
    if (sections.size() > 1) out += "# [" + s.name + "]\n";
    for (const auto& [key, value] : s.values) {
      if (!isShellName(key)) {
        throw Failure("key '" + key + "' in section [" + s.name +
                      "] is not a shell variable name (letters, digits and '_', no digit first)");
      }
      out += key + "=" + shellQuoted(value) + "\n";
    }
  }
  return out;
}

std::string iniText(const std::vector<SectionListing>& sections) {
  std::string out;
  for (const SectionListing& s : sections) {
    if (!out.empty()) out += "\n";
    // Lines outside any section come first, without a header.
    if (!s.name.empty()) out += "[" + s.name + "]\n";
    for (const std::string& entry : s.entries) out += entry + "\n";
  }
  return out;
}

std::string jsonText(const std::vector<SectionListing>& sections) {
  if (sections.empty()) return "{}\n";
  std::string out = "{\n";
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const SectionListing& s = sections[i];
    out += "  " + jsonQuoted(s.name) + ": {";
    for (std::size_t k = 0; k < s.values.size(); ++k) {
      out += (k == 0 ? "\n" : ",\n");
      out += "    " + jsonQuoted(s.values[k].first) + ": " + jsonQuoted(s.values[k].second);
    }
    out += s.values.empty() ? "}" : "\n  }";
    out += i + 1 < sections.size() ? ",\n" : "\n";
  }
  return out + "}\n";
}

}  // namespace

std::optional<Format> formatNamed(std::string_view name) {
  if (name == "lines") return Format::Lines;
  if (name == "sh") return Format::Sh;
  if (name == "ini") return Format::Ini;
  if (name == "json") return Format::Json;
  return std::nullopt;
}

std::string formatSections(Format format, const std::vector<SectionListing>& sections) {
  switch (format) {
    case Format::Sh:
      return shellText(sections);
    case Format::Ini:
      return iniText(sections);
    case Format::Json:
      return jsonText(sections);
    case Format::Lines:
      break;
  }
  return {};
}

std::string shellQuoted(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out + "'";
}

// The store answers valid UTF-8, which JSON takes as it is; only quotes,
// backslashes and control characters are escaped.
std::string jsonQuoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (u < 0x20 || u == 0x7f) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", u);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace zidevuv10::cli
