#pragma once

#include <string>

// The process-wide binding of the MySQL client library. The library is loaded at run time on
// the first connection, so the program starts and works without it until it needs a server.
// Once bound it stays bound until the program ends.
namespace tabulix {

// The file name of the client library to load; MariaDB Connector/C by default.
const std::string& ClientLibraryName();
void SetClientLibraryName(std::string fileName);

// True while the library is bound.
bool ClientLibraryBound();
// True when the binding loaded the library itself; false when it found it already loaded.
bool LoadedByBinding();

// Binds the library when it is not bound: takes the copy the process has loaded already or
// loads it, then looks up every entry point. Raises Exception "Dynamic library %s not found"
// when the library cannot be had; the binding then stays unbound and the next call tries again.
void BindClientLibrary();

// Releases the binding: the library's own state is freed and the library unloaded when the
// binding loaded it. Runs by itself at program end; every connection must be closed before.
void ReleaseClientLibrary();

}  // namespace tabulix
