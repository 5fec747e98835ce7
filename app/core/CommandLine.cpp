#include "app/core/CommandLine.h"

#include "framework/Exceptions.h"

namespace tabulix::app {

namespace {

[[noreturn]] void Refuse(const std::string& problem) {
  throw Exception(problem + "\n" + kUsage);
}

// The setting that an option of import fills; nullptr for any other option.
std::string* ImportSetting(const std::string& arg, CommandLine& line) {
  if (line.command != CommandLine::Command::Import) return nullptr;
  if (arg == "--database") return &line.database;
  if (arg == "--table") return &line.table;
  if (arg == "--host") return &line.host;
  if (arg == "--port") return &line.port;
  if (arg == "--socket") return &line.socket;
  if (arg == "--user") return &line.user;
  if (arg == "--password-file") return &line.passwordFile;
  return nullptr;
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
  } else if (command == "import") {
    line.command = CommandLine::Command::Import;
  } else {
    Refuse("unknown command '" + command + "'");
  }
  bool databaseGiven = false;
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
    } else if (arg == "--strict" && !hasValue && line.command != CommandLine::Command::Inspect) {
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
    } else if (std::string* setting = ImportSetting(arg, line)) {
      *setting = takeValue();
      databaseGiven = databaseGiven || arg == "--database";
    } else if (arg.starts_with("--") || !line.file.empty()) {
      Refuse("unexpected argument '" + args[i] + "'");
    } else {
      line.file = arg;
    }
  }
  if (line.file.empty()) Refuse("no table file given");
  if (line.command == CommandLine::Command::Import) {
    // An empty or blank name is the engine's to refuse, with its message.
    if (!databaseGiven) Refuse("import needs --database");
    if (line.table.empty()) {
      const std::string name = line.file.substr(line.file.rfind('/') + 1);
      line.table = name.substr(0, name.rfind('.'));
    }
  }
  return line;
}

}  // namespace tabulix::app
