#pragma once

#include "archive/CountArchive.h"

#include <string>

namespace orva {

// The text of the box for an archive that cannot serve: what happened, where the file is and
// what to do; the database's own words, when there are any, on the last line.
std::string archiveErrorText(const ArchiveError& error);

} // namespace orva
