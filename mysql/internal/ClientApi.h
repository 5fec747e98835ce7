#pragma once

// The entry points of the client library, bound at run time. Only the direct layer's sources
// include this header: it needs the client library's own declarations for the types.
#include <mysql.h>

#include "framework/Exceptions.h"
#include "framework/FormatMessage.h"

namespace tabulix::mysql_internal {

// One entry point under the client library's own name. Calling a slot that the library did not
// fill raises a plain error naming the function instead of jumping through a null pointer.
template <class Fn>
class Slot;

template <class R, class... Args>
class Slot<R(Args...)> {
 public:
  using Pointer = R (*)(Args...);

  explicit constexpr Slot(const char* name) : name_(name) {}

  const char* Name() const { return name_; }
  explicit operator bool() const { return fn_ != nullptr; }
  void Set(Pointer fn) { fn_ = fn; }
  void Clear() { fn_ = nullptr; }

  template <class... Actual>
  R operator()(Actual&&... args) const {
    if (!fn_) {
      throw Exception(FormatMessage("Function %s is missing in the client library", {name_}));
    }
    return fn_(static_cast<Actual&&>(args)...);
  }

 private:
  const char* name_;
  Pointer fn_ = nullptr;
};

// The functions current client libraries no longer export; declared here for their slots.
using MysqlConnectFn = MYSQL*(MYSQL*, const char* host, const char* user, const char* passwd);
using MysqlDbFn = int(MYSQL*, const char* db);

struct ClientApi {
  // The table of entry points, in the order in which they are looked up.
  Slot<decltype(::mysql_debug)> mysql_debug{"mysql_debug"};
  Slot<decltype(::mysql_dump_debug_info)> mysql_dump_debug_info{"mysql_dump_debug_info"};
  Slot<decltype(::mysql_init)> mysql_init{"mysql_init"};
  Slot<MysqlConnectFn> mysql_connect{"mysql_connect"};
  Slot<decltype(::mysql_real_connect)> mysql_real_connect{"mysql_real_connect"};
  Slot<decltype(::mysql_close)> mysql_close{"mysql_close"};
  Slot<decltype(::mysql_select_db)> mysql_select_db{"mysql_select_db"};
  Slot<MysqlDbFn> mysql_create_db{"mysql_create_db"};
  Slot<MysqlDbFn> mysql_drop_db{"mysql_drop_db"};
  Slot<decltype(::mysql_query)> mysql_query{"mysql_query"};
  Slot<decltype(::mysql_real_query)> mysql_real_query{"mysql_real_query"};
  Slot<decltype(::mysql_shutdown)> mysql_shutdown{"mysql_shutdown"};
  Slot<decltype(::mysql_refresh)> mysql_refresh{"mysql_refresh"};
  Slot<decltype(::mysql_kill)> mysql_kill{"mysql_kill"};
  Slot<decltype(::mysql_ping)> mysql_ping{"mysql_ping"};
  Slot<decltype(::mysql_stat)> mysql_stat{"mysql_stat"};
  Slot<decltype(::mysql_options)> mysql_options{"mysql_options"};
  Slot<decltype(::mysql_escape_string)> mysql_escape_string{"mysql_escape_string"};
  Slot<decltype(::mysql_get_server_info)> mysql_get_server_info{"mysql_get_server_info"};
  Slot<decltype(::mysql_get_client_info)> mysql_get_client_info{"mysql_get_client_info"};
  Slot<decltype(::mysql_get_host_info)> mysql_get_host_info{"mysql_get_host_info"};
  Slot<decltype(::mysql_get_proto_info)> mysql_get_proto_info{"mysql_get_proto_info"};
  Slot<decltype(::mysql_list_fields)> mysql_list_fields{"mysql_list_fields"};
  Slot<decltype(::mysql_list_processes)> mysql_list_processes{"mysql_list_processes"};
  Slot<decltype(::mysql_list_dbs)> mysql_list_dbs{"mysql_list_dbs"};
  Slot<decltype(::mysql_list_tables)> mysql_list_tables{"mysql_list_tables"};
  Slot<decltype(::mysql_data_seek)> mysql_data_seek{"mysql_data_seek"};
  Slot<decltype(::mysql_row_seek)> mysql_row_seek{"mysql_row_seek"};
  Slot<decltype(::mysql_field_seek)> mysql_field_seek{"mysql_field_seek"};
  Slot<decltype(::mysql_fetch_row)> mysql_fetch_row{"mysql_fetch_row"};
  Slot<decltype(::mysql_fetch_lengths)> mysql_fetch_lengths{"mysql_fetch_lengths"};
  Slot<decltype(::mysql_fetch_field)> mysql_fetch_field{"mysql_fetch_field"};
  Slot<decltype(::mysql_store_result)> mysql_store_result{"mysql_store_result"};
  Slot<decltype(::mysql_use_result)> mysql_use_result{"mysql_use_result"};
  Slot<decltype(::mysql_free_result)> mysql_free_result{"mysql_free_result"};
  Slot<decltype(::mysql_thread_id)> mysql_thread_id{"mysql_thread_id"};

  // Accessors for values the library keeps in its structures, and the calls that keep a
  // connection in step and release the library's own state.
  Slot<decltype(::mysql_error)> mysql_error{"mysql_error"};
  Slot<decltype(::mysql_errno)> mysql_errno{"mysql_errno"};
  Slot<decltype(::mysql_affected_rows)> mysql_affected_rows{"mysql_affected_rows"};
  Slot<decltype(::mysql_num_rows)> mysql_num_rows{"mysql_num_rows"};
  Slot<decltype(::mysql_num_fields)> mysql_num_fields{"mysql_num_fields"};
  Slot<decltype(::mysql_more_results)> mysql_more_results{"mysql_more_results"};
  Slot<decltype(::mysql_next_result)> mysql_next_result{"mysql_next_result"};
  Slot<decltype(::mysql_server_end)> mysql_server_end{"mysql_server_end"};

  // The bulk load: the callbacks that serve a LOAD DATA LOCAL INFILE from memory, and the
  // count of the server's warnings that tells a load that bent values from a clean one.
  Slot<decltype(::mysql_set_local_infile_handler)> mysql_set_local_infile_handler{
      "mysql_set_local_infile_handler"};
  Slot<decltype(::mysql_warning_count)> mysql_warning_count{"mysql_warning_count"};

  // Calls f(slot) for every slot, in lookup order.
  template <class F>
  void ForEach(F&& f) {
    f(mysql_debug), f(mysql_dump_debug_info), f(mysql_init), f(mysql_connect);
    f(mysql_real_connect), f(mysql_close), f(mysql_select_db), f(mysql_create_db);
    f(mysql_drop_db), f(mysql_query), f(mysql_real_query), f(mysql_shutdown);
    f(mysql_refresh), f(mysql_kill), f(mysql_ping), f(mysql_stat), f(mysql_options);
    f(mysql_escape_string), f(mysql_get_server_info), f(mysql_get_client_info);
    f(mysql_get_host_info), f(mysql_get_proto_info), f(mysql_list_fields);
    f(mysql_list_processes), f(mysql_list_dbs), f(mysql_list_tables), f(mysql_data_seek);
    f(mysql_row_seek), f(mysql_field_seek), f(mysql_fetch_row), f(mysql_fetch_lengths);
    f(mysql_fetch_field), f(mysql_store_result), f(mysql_use_result), f(mysql_free_result);
    f(mysql_thread_id);
    f(mysql_error), f(mysql_errno), f(mysql_affected_rows), f(mysql_num_rows);
    f(mysql_num_fields), f(mysql_more_results), f(mysql_next_result), f(mysql_server_end);
    f(mysql_set_local_infile_handler), f(mysql_warning_count);
  }
};

// The process-wide table; every slot is empty while the library is not bound.
ClientApi& Lib();

}  // namespace tabulix::mysql_internal
