#pragma once
// What the program itself makes in a ledger file, kept in one list: the
// template's tables, indexes and stored queries, the query definitions the
// views write, and the objects later features add. A ledger is compared
// with this list when it is opened (engine/schema_objects.h); what else it
// holds was made by someone else and is never run (see openLedger).

#include <string>
#include <vector>

#include "engine/schema_objects.h"

namespace ledger {

// Every object the program makes in a ledger. A feature that adds a table,
// index or view to ledgers adds its statement in ledger_objects.cpp, in
// programObjects(), so that ledgers holding it open as the program's own.
const KnownObjects& programLedgerObjects();

// The template alone (resources/ledger_schema.sql): what the master ledger
// must hold exactly.
const KnownObjects& templateLedgerObjects();

// The list for a message: one object a line, at most a few lines and a
// count of the rest.
std::string describeForeignObjects(const std::vector<ForeignObject>& objects);

}  // namespace ledger
