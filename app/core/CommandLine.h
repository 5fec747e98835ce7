#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/core/TableDump.h"

namespace tabulix::app {

inline constexpr const char* kUsage =
    "usage: tabulix-cli inspect [--encoding NAME] [--binary FIELD]... [--without-memos] FILE\n"
    "       tabulix-cli dump [--format json|csv] [--encoding NAME] [--binary FIELD]...\n"
    "                        [--without-memos] [--strict] FILE\n"
    "       tabulix-cli import FILE --database DB [--table T] [--host H] [--port P]\n"
    "                   [--socket PATH] [--user U] [--password-file F] [--encoding NAME]\n"
    "                   [--binary FIELD]... [--without-memos] [--strict] [BULK OPTIONS]\n"
    "       tabulix-cli import-dir FOLDER --database DB [--jobs N] [--report FILE]\n"
    "                   [--log-dir DIR] [--host H] [--port P] [--socket PATH] [--user U]\n"
    "                   [--password-file F] [--encoding NAME] [--without-memos] [--strict]\n"
    "                   [BULK OPTIONS]\n"
    "  --encoding NAME   read the text in this code page, whatever the table says\n"
    "  --binary FIELD    read this character or memo field as raw bytes (a blob)\n"
    "  --without-memos   read a table whose memo file is missing, its memos as null\n"
    "  --strict          fail, writing nothing, when a value cannot be read as stored\n"
    "  import copies the table into a MySQL table, printing the log on standard output;\n"
    "  the password comes from --password-file, else TABULIX_PASSWORD, else the terminal.\n"
    "  Its exit status: 0 done, 1 failed (message on standard error), 2 login cancelled.\n"
    "  import-dir imports every Paradox (*.db) and dBase (*.dbf) table of FOLDER into a table\n"
    "  named after its file, N tables at a time (default 1), each by an import of its own;\n"
    "  a table that fails does not stop the others. It prints a summary table on standard\n"
    "  output, writes it as JSON with --report FILE and each table's log to DIR/TABLE.log\n"
    "  with --log-dir DIR. Exit status 0 when every table arrived, 1 when any failed.\n"
    "BULK OPTIONS:\n"
    "  --bulk            send the rows in units of many (LOAD DATA LOCAL INFILE, or multi-row\n"
    "                    INSERTs where the server does not allow it), each unit one\n"
    "                    transaction, instead of one INSERT per record: the same table and\n"
    "                    values, far faster. A record the server refuses rolls back its unit;\n"
    "                    the units before it stay on the server, and the message says which.\n"
    "  --unit-rows N     at most N rows in a unit (default: about 4 MiB of rows)\n"
    "  --skip-unique-checks       with --bulk: let the server skip checking unique keys\n"
    "                    while loading (SET SESSION unique_checks = 0). Faster for large\n"
    "                    tables, but a duplicate key may then go unnoticed: use it only\n"
    "                    for source tables known to have none.\n"
    "  --skip-foreign-key-checks  with --bulk: let the server skip foreign key checks\n"
    "                    (SET SESSION foreign_key_checks = 0); rows may then refer to rows\n"
    "                    that do not exist. The tables this tool makes have no foreign keys;\n"
    "                    it matters only for a table made beforehand.\n"
    "  Neither changes anything beyond the import's own session; no setting that trades\n"
    "  durability away (such as innodb_flush_log_at_trx_commit) is ever touched.\n";

// What the command line asks for.
struct CommandLine {
  enum class Command { Help, Inspect, Dump, Import, ImportDir };
  Command command = Command::Help;
  std::string file;      // the table file; for import-dir the folder
  std::string encoding;  // iconv name overriding the table's code page; empty: the table's
  std::vector<std::string> binaryFields;  // --binary, in the order given
  bool withoutMemos = false;
  bool strict = false;  // dump and import
  DumpFormat format = DumpFormat::JsonLines;
  // import: the target, with the window's defaults for host, port and user; the table name
  // defaults to the file's base name (without folder and extension).
  std::string database;
  std::string table;
  std::string host = "localhost";
  std::string port = "3306";
  std::string socket;
  std::string user = "root";
  std::string passwordFile;
  // import and import-dir: bulk mode and its options.
  bool bulk = false;
  std::int64_t unitRows = 0;  // 0: the writer's byte limit alone
  bool skipUniqueChecks = false;
  bool skipForeignKeyChecks = false;
  // import: a descriptor on which progress and the result go as lines (ImportChannel.h), for
  // import-dir, which starts the imports; -1 for none.
  int channelFd = -1;
  // import-dir
  int jobs = 1;
  std::string reportFile;
  std::string logDir;
};

// Reads the arguments after the program name; raises tabulix::Exception with the usage text
// when they do not make a command.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

}  // namespace tabulix::app
