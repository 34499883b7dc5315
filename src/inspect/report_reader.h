// The inspector's one reading loop: each file is opened once, each of its
// blocks read and checked once and handed to the report as it is read, and
// the file's verdict taken from what was read.
#pragma once

#include "inspect/report_printing.h"

// Opens file.path, tells its kind and reports it block by block.
// Returns: the file's verdict as an exit status: kInfoAllGood,
// kInfoFoundWrong, or kInfoFailed when it could not be read to its end.
int reportFile(const ReportFormat& format, ReportState& state, InspectedFile& file);

// As reportFile, for a file that inspectFile has opened and told.
int reportOpenedFile(const ReportFormat& format, ReportState& state, InspectedFile& file);

// Opens both images of comparison and reports them bank by bank. A side
// that is no readable image is said on the error channel.
// Returns: kInfoAllGood when they are the same, kInfoFoundWrong when a bank
// differs, kInfoFailed when a side could not be read to its end.
int reportComparison(
    const ReportFormat& format, ReportState& state, const std::string& catalogueSource, ImageComparison& comparison);
