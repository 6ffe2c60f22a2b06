// The one argument parser and error reporter of every korvenia-cli command. A command lists
// its options once (name, value word, help text); parsing, the usage errors and the option
// part of its --help all come from that list.
#pragma once

#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korv::cli {

struct CliOption {
  const char* name;   // without "--"
  const char* value;  // what its value is, for --help ("FILE", "on|off"); nullptr for a flag
  const char* help;   // one or more lines for --help ("\n" between lines)
};

struct ParsedArgs {
  std::map<std::string, std::string> values;  // options with a value, without "--"
  std::vector<std::string> flags;             // flags given
  std::vector<std::string> files;             // the rest, in order ("--" ends the options)

  bool Has(const std::string& flag) const;
  std::optional<std::string> Value(const std::string& name) const;
};

// Parses `args` against the command's option `table`: "--name VALUE", "--name=VALUE", flags alone.
// Returns nullopt after a usage error is printed (an unknown option, a missing value, an option
// given twice, a value for a flag).
std::optional<ParsedArgs> ParseArgs(const char* command, const std::vector<std::string>& args,
                                    const std::vector<CliOption>& table);

// Prints "korvenia-cli COMMAND: MESSAGE (see korvenia-cli COMMAND --help)" on stderr and
// returns the usage exit status.
int UsageError(const char* command, const std::string& message);
// Prints "korvenia-cli: MESSAGE" on stderr and returns the failure exit status.
int Failure(const std::string& message);

// The "Options:" part of a command's --help.
void PrintOptions(std::ostream& out, const std::vector<CliOption>& table);

// The conversions of the registry, one line each ("--from raw --to kof  raw data to KOF"),
// with the options each takes below it when `withOptions`.
void PrintConversions(std::ostream& out, bool withOptions);

// The settings file a command uses: the one --ini names (nullopt after a failure printed when
// it cannot be read), else the program's own, else "" for the defaults of a new file.
std::optional<std::string> SettingsFileOf(const ParsedArgs& args);

}  // namespace korv::cli
