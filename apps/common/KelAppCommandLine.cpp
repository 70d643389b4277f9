#include "KelAppCommandLine.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace KelAppValue {

bool Integer(const std::string& text, long min, long max, long& value) {
  if (text.empty() ||
      !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-' || text[0] == '+'))
    return false;
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || !end || *end != '\0' || v < min || v > max) return false;
  value = v;
  return true;
}

bool Number(const std::string& text, double& value) {
  if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (errno != 0 || !end || *end != '\0' || !std::isfinite(v)) return false;
  value = v;
  return true;
}

}  // namespace KelAppValue

void KelAppCommandLine::Add(Option option) {
  _options.push_back(std::move(option));
}

void KelAppCommandLine::AddHelpAndVersion(bool& help, bool& version) {
  Option o;
  o.shortName = 'h';
  o.longName = "--help";
  o.help = "show this help";
  o.apply = [&help](const std::string&, std::string&) { return help = true; };
  o.stops = true;
  Add(o);
  o.shortName = 0;
  o.longName = "--version";
  o.help = "show the version";
  o.apply = [&version](const std::string&, std::string&) { return version = true; };
  Add(std::move(o));
}

void KelAppCommandLine::Add(char shortName, const char* longName, const char* valueName,
                            const char* help, Apply apply) {
  Option o;
  o.shortName = shortName;
  o.longName = longName;
  o.valueName = valueName ? valueName : "";
  o.help = help;
  o.apply = std::move(apply);
  Add(std::move(o));
}

const KelAppCommandLine::Option* KelAppCommandLine::Find(const std::string& name) const {
  for (const Option& o : _options)
    if (name == o.longName ||
        (o.shortName && name.size() == 2 && name[0] == '-' && name[1] == o.shortName))
      return &o;
  return nullptr;
}

bool KelAppCommandLine::Parse(int argc, const char* const* argv, std::string& operand,
                              std::string& error) const {
  bool operandSeen = false, optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i] ? argv[i] : "";
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      if (arg.empty()) {
        error = "empty file name";
        return false;
      }
      if (operandSeen) {
        error = "more than one file given: '" + operand + "' and '" + arg + "'";
        return false;
      }
      operand = arg;
      operandSeen = true;
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name = arg, value;
    bool inlineValue = false;
    const std::string::size_type eq = arg.find('=');
    if (arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      inlineValue = true;
    }
    const Option* option = Find(name);
    if (!option) {
      error = "unknown option '" + arg + "'";
      return false;
    }
    if (option->valueName.empty()) {
      if (inlineValue) {
        error = "option " + option->longName + " takes no value: '" + arg + "'";
        return false;
      }
    } else if (!inlineValue) {
      if (i + 1 >= argc || !argv[i + 1]) {
        error = "option " + option->longName + " needs a value";
        return false;
      }
      value = argv[++i];
    }
    if (option->apply && !option->apply(value, error)) return false;
    if (option->stops) return true;
  }
  return true;
}

std::string KelAppCommandLine::Help() const {
  std::vector<std::string> names;
  size_t width = 0;
  for (const Option& o : _options) {
    std::string n = o.shortName ? std::string("-") + o.shortName + ", " : "    ";
    n += o.longName;
    if (!o.valueName.empty()) n += " " + o.valueName;
    width = std::max(width, n.size());
    names.push_back(n);
  }
  std::string text;
  for (size_t k = 0; k < _options.size(); ++k) {
    const std::string indent(2 + width + 2, ' ');
    text += "  " + names[k] + std::string(width + 2 - names[k].size(), ' ');
    // Continuation lines of the help line up under its first line.
    const std::string& help = _options[k].help;
    for (size_t at = 0; at <= help.size();) {
      const size_t nl = help.find('\n', at);
      text += help.substr(at, nl == std::string::npos ? std::string::npos : nl - at) + "\n";
      if (nl == std::string::npos) break;
      at = nl + 1;
      text += indent;
    }
  }
  return text;
}
