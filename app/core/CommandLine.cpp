#include "app/core/CommandLine.h"

#include <charconv>

#include "framework/Exceptions.h"
#include "mysql/ColumnName.h"

namespace tabulix::app {

namespace {

[[noreturn]] void Refuse(const std::string& problem) {
  throw Exception(problem + "\n" + kUsage);
}

bool Importing(const CommandLine& line) {
  return line.command == CommandLine::Command::Import ||
         line.command == CommandLine::Command::ImportDir;
}

// The setting that an option of import or import-dir fills; nullptr for any other option.
std::string* ImportSetting(const std::string& arg, CommandLine& line) {
  if (!Importing(line)) return nullptr;
  if (arg == "--database") return &line.database;
  if (line.command == CommandLine::Command::Import && arg == "--table") return &line.table;
  if (line.command == CommandLine::Command::ImportDir && arg == "--report") {
    return &line.reportFile;
  }
  if (line.command == CommandLine::Command::ImportDir && arg == "--log-dir") return &line.logDir;
  if (arg == "--host") return &line.host;
  if (arg == "--port") return &line.port;
  if (arg == "--socket") return &line.socket;
  if (arg == "--user") return &line.user;
  if (arg == "--password-file") return &line.passwordFile;
  return nullptr;
}

// A whole number from min up, for an option.
std::int64_t Count(const std::string& option, const std::string& text, std::int64_t min) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < min) {
    Refuse(option + " needs a whole number from " + std::to_string(min) + " up, not '" + text +
           "'");
  }
  return value;
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
  } else if (command == "import-dir") {
    line.command = CommandLine::Command::ImportDir;
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
    const bool importing = Importing(line);
    const bool dir = line.command == CommandLine::Command::ImportDir;
    if (importing && !hasValue && arg == "--bulk") {
      line.bulk = true;
    } else if (importing && arg == "--unit-rows") {
      line.unitRows = Count(arg, takeValue(), 1);
    } else if (importing && !hasValue && arg == "--skip-unique-checks") {
      line.skipUniqueChecks = true;
    } else if (importing && !hasValue && arg == "--skip-foreign-key-checks") {
      line.skipForeignKeyChecks = true;
    } else if (dir && arg == "--jobs") {
      line.jobs = static_cast<int>(Count(arg, takeValue(), 1));
      if (line.jobs > 64) Refuse("--jobs takes at most 64");
    } else if (line.command == CommandLine::Command::Import && arg == "--channel-fd") {
      line.channelFd = static_cast<int>(Count(arg, takeValue(), 3));
    } else if (dir && arg == "--binary") {
      Refuse("--binary names a field of one table; import-dir does not take it");
    } else if (arg == "--encoding") {
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
  if (line.file.empty()) {
    Refuse(line.command == CommandLine::Command::ImportDir ? "no folder given"
                                                           : "no table file given");
  }
  if (Importing(line) && !line.bulk &&
      (line.unitRows > 0 || line.skipUniqueChecks || line.skipForeignKeyChecks)) {
    Refuse("--unit-rows, --skip-unique-checks and --skip-foreign-key-checks go with --bulk");
  }
  if (line.command == CommandLine::Command::ImportDir && !databaseGiven) {
    Refuse("import-dir needs --database");
  }
  if (line.command == CommandLine::Command::Import) {
    // An empty or blank name is the engine's to refuse, with its message.
    if (!databaseGiven) Refuse("import needs --database");
    if (line.table.empty()) {
      // Named after the file rather than typed: a file named like a reserved word (DECIMAL.DB)
      // or with blanks still gives a table of that name.
      const std::string name = line.file.substr(line.file.rfind('/') + 1);
      line.table = QuoteColumnName(name.substr(0, name.rfind('.')));
    }
  }
  return line;
}

}  // namespace tabulix::app
