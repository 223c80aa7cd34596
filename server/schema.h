// The tables of the review server's database.
#pragma once

#include "server/sqlite_db.h"

namespace quillserver {

// Creates every table and index that is missing; existing data stays as it is.
void CreateSchema(Connection& conn);

}  // namespace quillserver
