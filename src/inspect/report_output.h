// Prints inspection reports: aligned tables for people, JSON for scripts.
#pragma once

#include <string>
#include <vector>

#include "inspect/inspect_reports.h"

// One inspected file: which kind, what was found, or why it could not be read.
struct InspectedFile {
    std::string path;
    bool isImage = false;
    int status = kInspectRead;
    ImageReport image;
    LoaderReport loader;
};

// Returns: the text for an inspect status that stopped the reading.
std::string inspectStatusText(const InspectedFile& file);

// Prints every file as tables on the progress channel (and unreadable ones on the error channel).
void printReportTables(const std::string& catalogueSource, const std::vector<InspectedFile>& files);

// Prints every file as one JSON document on the progress channel.
void printReportJson(const std::string& catalogueSource, const std::vector<InspectedFile>& files);
