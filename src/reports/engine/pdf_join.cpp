#include "reports/engine/pdf_join.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>

#include "core/failure.h"

namespace bs {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Reads a part written by this program: anything the reader has to repair means the part is not
// what was written, and the join stops rather than print a damaged report.
std::unique_ptr<QPDF> readPart(const std::string& part) {
  auto pdf = std::make_unique<QPDF>();
  pdf->setSuppressWarnings(true);
  pdf->processFile(part.c_str());
  if (pdf->anyWarnings()) throw std::runtime_error("the part " + part + " is damaged");
  return pdf;
}

}  // namespace

void joinPdfFiles(const std::vector<std::string>& parts, const std::string& path) {
  const std::string cannot = "Cannot create file \"" + path + "\". ";
  if (parts.empty()) throw Failure(cannot + "There are no pages.");
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) throw Failure(cannot + std::strerror(errno));
  try {
    // The other parts' pages are copied from their files while the joined file is written, so
    // every part stays open until then.
    std::vector<std::unique_ptr<QPDF>> read;
    read.push_back(readPart(parts.front()));
    QPDFPageDocumentHelper pages(*read.front());
    for (std::size_t i = 1; i < parts.size(); ++i) {
      read.push_back(readPart(parts[i]));
      for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(*read.back()).getAllPages())
        pages.addPage(page, false);
    }
    QPDFWriter writer(*read.front(), path.c_str(), file.get(), false);
    // The streams are copied as they were compressed, neither decoded nor compressed again.
    writer.setCompressStreams(false);
    writer.setDecodeLevel(qpdf_dl_none);
    writer.write();
  } catch (const Failure&) {
    throw;
  } catch (const std::exception& e) {
    throw Failure(cannot + e.what());
  }
  if (std::fflush(file.get()) != 0 || std::fclose(file.release()) != 0)
    throw Failure(cannot + std::strerror(errno));
}

}  // namespace bs
