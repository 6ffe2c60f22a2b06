// Parsing korvenia-cli's options and reporting usage errors.
#include "cli/args.h"

#include <algorithm>
#include <iostream>

#include "cli/command.h"
#include "conversions/registry.h"
#include "core/file_procs.h"

namespace korv::cli {

bool ParsedArgs::Has(const std::string& flag) const {
  return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

std::optional<std::string> ParsedArgs::Value(const std::string& name) const {
  auto it = values.find(name);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

std::optional<ParsedArgs> ParseArgs(const char* command, const std::vector<std::string>& args,
                                    const std::vector<CliOption>& table) {
  ParsedArgs out;
  bool onlyFiles = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (onlyFiles || a.size() < 2 || a.compare(0, 2, "--") != 0) {
      out.files.push_back(a);
      continue;
    }
    if (a == "--") {
      onlyFiles = true;
      continue;
    }
    std::string name = a.substr(2);
    std::optional<std::string> inlineValue;
    if (size_t eq = name.find('='); eq != std::string::npos) {
      inlineValue = name.substr(eq + 1);
      name.erase(eq);
    }
    auto known = std::find_if(table.begin(), table.end(),
                              [&name](const CliOption& s) { return name == s.name; });
    if (known == table.end()) {
      UsageError(command, "unknown option --" + name);
      return std::nullopt;
    }
    if (!known->value) {
      if (inlineValue) {
        UsageError(command, "--" + name + " takes no value");
        return std::nullopt;
      }
      out.flags.push_back(name);
      continue;
    }
    if (!inlineValue && i + 1 >= args.size()) {
      UsageError(command, "--" + name + " needs a value");
      return std::nullopt;
    }
    if (out.values.count(name)) {
      UsageError(command, "--" + name + " given twice");
      return std::nullopt;
    }
    out.values[name] = inlineValue ? *inlineValue : args[++i];
  }
  return out;
}

int UsageError(const char* command, const std::string& message) {
  std::cerr << "korvenia-cli " << command << ": " << message << " (see korvenia-cli " << command
            << " --help)\n";
  return kExitUsage;
}

int Failure(const std::string& message) {
  std::cerr << "korvenia-cli: " << message << "\n";
  return kExitFailed;
}

void PrintOptions(std::ostream& out, const std::vector<CliOption>& table) {
  out << "\nOptions:\n";
  for (const CliOption& s : table) {
    std::string head = std::string("  --") + s.name;
    if (s.value) head += std::string(" ") + s.value;
    std::string help = s.help;
    size_t start = 0;
    bool first = true;
    for (;;) {
      const size_t end = help.find('\n', start);
      const std::string line = help.substr(start, end - start);
      std::string left = first ? head : std::string();
      if (line.empty()) {
        out << left << "\n";
      } else if (left.size() < 24) {
        left.resize(24, ' ');
        out << left << line << "\n";
      } else {
        out << left << "\n" << std::string(24, ' ') << line << "\n";
      }
      first = false;
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }
}

void PrintConversions(std::ostream& out, bool withOptions) {
  for (const Conversion& c : Conversions()) {
    out << "  --from " << DataKindWord(c.from) << " --to " << c.to << "\t" << c.what << "\n";
    if (!withOptions || c.options.empty()) continue;
    out << "     ";
    for (const char* o : c.options) out << " --" << o;
    out << "\n";
  }
}

std::optional<std::string> SettingsFileOf(const ParsedArgs& args) {
  if (auto named = args.Value("ini")) {
    const int code = CheckFileName(*named);
    if (code != ErrorCode::kNone) {
      Failure("Cannot read " + *named + ": " + ErrorDescription(code));
      return std::nullopt;
    }
    return *named;
  }
  return FindOwnSettingsFile();
}

}  // namespace korv::cli
