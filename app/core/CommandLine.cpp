#include "app/core/CommandLine.h"

#include "framework/Exceptions.h"

namespace tabulix::app {

namespace {

[[noreturn]] void Refuse(const std::string& problem) {
  throw Exception(problem + "\n" + kUsage);
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  if (args.empty()) Refuse("no command given");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") return line;
  if (command == "inspect") {
    line.command = CommandLine::Command::Inspect;
  } else if (command == "dump") {
    line.command = CommandLine::Command::Dump;
  } else {
    Refuse("unknown command '" + command + "'");
  }
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string arg = args[i];
    std::string value;
    bool hasValue = false;
    if (arg.starts_with("--") && arg.find('=') != std::string::npos) {
      value = arg.substr(arg.find('=') + 1);
      arg = arg.substr(0, arg.find('='));
      hasValue = true;
    }
    auto takeValue = [&]() -> std::string {
      if (hasValue) return value;
      if (i + 1 >= args.size()) Refuse(arg + " needs a value");
      return args[++i];
    };
    if (arg == "--encoding") {
      line.encoding = takeValue();
      if (line.encoding.empty()) Refuse("--encoding needs a value");
    } else if (arg == "--binary") {
      std::string field = takeValue();
      if (field.empty()) Refuse("--binary needs a field name");
      line.binaryFields.push_back(field);
    } else if (arg == "--without-memos" && !hasValue) {
      line.withoutMemos = true;
    } else if (arg == "--strict" && !hasValue && line.command == CommandLine::Command::Dump) {
      line.strict = true;
    } else if (arg == "--format" && line.command == CommandLine::Command::Dump) {
      std::string format = takeValue();
      if (format == "json" || format == "jsonl") {
        line.format = DumpFormat::JsonLines;
      } else if (format == "csv") {
        line.format = DumpFormat::Csv;
      } else {
        Refuse("unknown format '" + format + "'");
      }
    } else if (arg.starts_with("--") || !line.file.empty()) {
      Refuse("unexpected argument '" + args[i] + "'");
    } else {
      line.file = arg;
    }
  }
  if (line.file.empty()) Refuse("no table file given");
  return line;
}

}  // namespace tabulix::app
