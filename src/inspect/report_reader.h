// The inspector's one reading loop: each file is opened once, each of its
// blocks read and checked once and handed to the report as it is read, and
// the file's verdict taken from what was read.
#pragma once

#include "inspect/report_printing.h"

// The inspector's exit statuses, for each file and for the run: the worst of them.
enum class InfoStatus {
    AllGood = 0,
    FoundWrong = 1,  // damage, unknown or misplaced content
    Failed = 2,      // bad usage, or a file that cannot be read as asked
};

// Opens file.path, tells its kind and reports it block by block.
// Returns: the file's verdict as an exit status: AllGood,
// FoundWrong, or Failed when it could not be read to its end.
InfoStatus reportFile(const ReportFormat& format, ReportState& state, InspectedFile& file);

// As reportFile, for a file that inspectFile has opened and told.
InfoStatus reportOpenedFile(const ReportFormat& format, ReportState& state, InspectedFile& file);

// Opens both images of comparison and reports them bank by bank. A side
// that is no readable image is said on the error channel.
// Returns: AllGood when they are the same, FoundWrong when a bank
// differs, Failed when a side could not be read to its end.
InfoStatus reportComparison(
    const ReportFormat& format, ReportState& state, const std::string& catalogueSource, ImageComparison& comparison);
