#pragma once

// StampControlTable: the one sequence that stamps one database file. Tests
// that the file exists; opens it through a new connection made of the
// prefix followed by the path; binds a new catalog to it; and, when
// TableExists finds the control table, executes
// "UPDATE <table> SET Version = " followed by the version text read at that
// moment. Nothing is caught: every error reaches the caller after the
// connection and the catalog have been released.

#include <memory>
#include <string>
#include <string_view>

#include "data/connection.h"
#include "stamping/stamping_context.h"

namespace norv::stamping {

// The two connection-string prefixes, exactly as the updaters pass them:
// the first ends in a blank, the second does not.
inline constexpr std::string_view kFendrelConnectionPrefix =
    "Provider=MicroSoft.jet.OLEDB.4.0; Data Source= ";
inline constexpr std::string_view kBrenvikConnectionPrefix =
    "Provider=Microsoft.jet.OLEDB.4.0; Data Source=";

inline constexpr const char* kControlTable = "Control";
inline constexpr const char* kDovrelControlTable = "DovrelControl";

// "UPDATE Control SET Version = " and its like for another table.
std::string update_statement_lead(const std::string& table);

// `path` is a Windows path; it becomes native only for the existence test
// and, inside the connection, for opening. Returns whether the file was
// present, whether or not the table was found.
bool StampControlTable(const StampingContext& context, const std::string& path,
                       const std::string& table, std::string_view prefix);

// The same sequence, keeping the connection open for a further query on
// the file: returns it, or nothing when the file is absent. The catalog has
// been released when it returns.
std::shared_ptr<data::Connection> StampControlTableKeepingConnection(const StampingContext& context,
                                                                     const std::string& path,
                                                                     const std::string& table,
                                                                     std::string_view prefix);

}  // namespace norv::stamping
