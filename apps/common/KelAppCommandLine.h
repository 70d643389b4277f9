// A command line read against a table of options, so that each application
// (and each feature of one) adds its own options in its own file:
//   -o VALUE, --output VALUE, --output=VALUE, flags without a value,
//   "--" ending the options, and at most one operand (a file name; "-" is one).
#pragma once

#include <functional>
#include <string>
#include <vector>

class KelAppCommandLine {
 public:
  // Answers false with a message in `error` when the value is refused; flags
  // get an empty value.
  using Apply = std::function<bool(const std::string& value, std::string& error)>;

  struct Option {
    char shortName = 0;     // 0: long form only
    std::string longName;   // "--output"
    std::string valueName;  // empty: a flag
    std::string help;       // may hold several lines
    Apply apply;
    bool stops = false;  // ends the parse once seen (--help, --version)
  };

  void Add(Option option);
  void Add(char shortName, const char* longName, const char* valueName, const char* help,
           Apply apply);
  // -h/--help and --version, which end the parse and set their flag.
  void AddHelpAndVersion(bool& help, bool& version);

  // Applies argv[1..] in order; the operand, if any, goes to `operand`. False
  // with a message in `error` on an unknown option, a missing or refused value,
  // or a second operand.
  bool Parse(int argc, const char* const* argv, std::string& operand, std::string& error) const;

  // One entry per option, in the order added, the help aligned after the names.
  std::string Help() const;

 private:
  const Option* Find(const std::string& name) const;

  std::vector<Option> _options;
};

// Value readers for option handlers: the whole text must be the value.
namespace KelAppValue {
// A decimal integer within [min, max].
bool Integer(const std::string& text, long min, long max, long& value);
// A finite decimal number.
bool Number(const std::string& text, double& value);
}  // namespace KelAppValue
