#pragma once

#include "archive/CountArchive.h"

#include <string>

namespace orva {

// The German text of the box (or the command line's message) for an archive that cannot serve:
// what happened, where the file is, and the database's own words last.
std::string archiveErrorText(const ArchiveError& error);

} // namespace orva
