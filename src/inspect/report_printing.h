// Prints what the checks found: aligned tables for people, JSON for scripts.
#pragma once

#include <string>
#include <vector>

#include "inspect/file_checks.h"

// Returns: the text for an inspect status that stopped the reading.
std::string inspectStatusText(const InspectedFile& file);

// Prints every file as tables on the progress channel (and unreadable ones on the error channel).
void printReportTables(const std::string& catalogueSource, const std::vector<InspectedFile>& files);

// Prints every file as one JSON document on the progress channel.
void printReportJson(const std::string& catalogueSource, const std::vector<InspectedFile>& files);
