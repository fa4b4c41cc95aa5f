#pragma once

class QWidget;

namespace bs {

class ReportDocument;

// The modal preview of a prepared report: zoom, print (the platform's print dialog), save as
// PDF, find a text in the pages, open a saved PDF in the desktop's viewer, help and close.
// A document without pages opens no window.
void showReportPreview(QWidget* parent, const ReportDocument& document);

}  // namespace bs
