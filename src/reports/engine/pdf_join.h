#pragma once

#include <string>
#include <vector>

namespace bs {

// Writes the pages of the PDF files `parts`, in order, into one PDF file `path`.  The document
// information (title, creator) and the catalogue are those of the first part; the page content,
// fonts and page sizes of every part are copied as they are, without decoding.  Throws Failure
// naming `path` when a part cannot be read or the file cannot be written.
void joinPdfFiles(const std::vector<std::string>& parts, const std::string& path);

}  // namespace bs
