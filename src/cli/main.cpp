// korvenia-cli: conversion, download and upload from a terminal or a script.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/command.h"

namespace korv::cli {

namespace {
std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}
}  // namespace

bool RegisterCommand(const Command& command) {
  Registry().push_back(command);
  return true;
}

const std::vector<Command>& Commands() { return Registry(); }

}  // namespace korv::cli

namespace {
void PrintUsage(std::ostream& out) {
  out << "Usage: korvenia-cli COMMAND [options] ...\n\nCommands:\n";
  for (const auto& c : korv::cli::Commands()) out << "  " << c.name << "  " << c.summary << "\n";
  out << "\nRun 'korvenia-cli COMMAND --help' for a command's options.\n";
}
}  // namespace

int main(int argc, char** argv) {
  // A file-size limit makes a write fail like a full disk instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintUsage(std::cerr);
    return korv::cli::kExitUsage;
  }
  const std::string& word = args.front();
  if (word == "--help" || word == "-h" || word == "help") {
    PrintUsage(std::cout);
    return korv::cli::kExitOk;
  }
  if (word == "--version") {
    std::cout << "korvenia-cli " << KORVENIA_VERSION << "\n";
    return korv::cli::kExitOk;
  }
  for (const auto& c : korv::cli::Commands()) {
    if (c.name == word) return c.run(std::vector<std::string>(args.begin() + 1, args.end()));
  }
  korv::cli::Failure("unknown command '" + word + "'");
  PrintUsage(std::cerr);
  return korv::cli::kExitUsage;
}
