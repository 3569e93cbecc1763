#pragma once

#include "Sqlite.h"

#include <string>

namespace k5db {

// Makes the tables of a new store, with its top folder and the groups "(Global)" and
// "(Retain)", in one transaction.
void createSchema(Database &db, const std::string &projectName, const std::string &topFolder);
// Throws K5DB_ERR_STORE unless the file is a store of this library in a version it reads.
void checkSchema(Database &db);

} // namespace k5db
