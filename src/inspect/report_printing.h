// Prints what the checks found: aligned tables for people, JSON for scripts.
#pragma once

#include <string>
#include <vector>

#include "inspect/file_checks.h"

// Returns: why a file could not be inspected, for a status other than kInspectRead.
std::string inspectStatusText(const InspectedFile& file);

// Prints every file as tables on the progress channel (and those that could
// not be inspected on the error channel): images and ROM files each in a
// table of their own, bank loader files together in one.
void printReportTables(const std::string& catalogueSource, const std::vector<InspectedFile>& files);

// Prints every file as one JSON document on the progress channel.
void printReportJson(const std::string& catalogueSource, const std::vector<InspectedFile>& files);
