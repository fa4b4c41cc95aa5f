#pragma once

#include "reports/engine/report_document.h"

class QPrinter;
class QWidget;

namespace bs {

// The modal preview of a prepared report: zoom, print (the platform's print dialog), save as
// PDF, find a text in the pages, open a saved PDF in the desktop's viewer, help and close.
// A document without pages opens no window.
void showReportPreview(QWidget* parent, const ReportDocument& document);

// Prints pages `first` to `last` (from 0), each on the paper and in the orientation of its
// template, as Save writes them.  False when `progress` stopped it.
bool printReport(QPrinter& printer, const ReportDocument& document, int first, int last,
                 const PageProgress& progress = {});

}  // namespace bs
