#include "reports/engine/pdf_join.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

#include "core/failure.h"

namespace bs {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// A part read whole into memory.  qpdf reads a file object by object, seeking before each one,
// a system call each time; from memory the join takes about two thirds as long.
struct Part {
  std::string bytes;
  std::unique_ptr<QPDF> pdf;  // reads `bytes` in place, so it is declared after them and goes first
};

// Reads a part written by this program: anything the reader has to repair means the part is not
// what was written, and the join stops rather than print a damaged report.
std::unique_ptr<Part> readPart(const std::string& path) {
  auto part = std::make_unique<Part>();
  auto cannotRead = [&](const std::string& why) {
    return std::runtime_error("the part " + path + " cannot be read: " + why);
  };
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) throw cannotRead(std::strerror(errno));
  const long size = std::ftell(file.get());
  if (size < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) throw cannotRead(std::strerror(errno));
  part->bytes.resize(static_cast<std::size_t>(size));
  if (std::fread(part->bytes.data(), 1, part->bytes.size(), file.get()) != part->bytes.size())
    throw cannotRead(std::ferror(file.get()) ? std::strerror(errno) : "it ended early");
  part->pdf = std::make_unique<QPDF>();
  part->pdf->setSuppressWarnings(true);
  part->pdf->processMemoryFile(path.c_str(), part->bytes.data(), part->bytes.size());
  if (part->pdf->anyWarnings()) throw std::runtime_error("the part " + path + " is damaged");
  return part;
}

}  // namespace

void joinPdfFiles(const std::vector<std::string>& parts, const std::string& path) {
  const std::string cannot = "Cannot create file \"" + path + "\". ";
  if (parts.empty()) throw Failure(cannot + "There are no pages.");
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) throw Failure(cannot + std::strerror(errno));
  try {
    // The other parts' pages are copied from their bytes while the joined file is written, so
    // every part stays in memory until then.
    std::vector<std::unique_ptr<Part>> read;
    for (const std::string& part : parts) read.push_back(readPart(part));
    QPDFPageDocumentHelper pages(*read.front()->pdf);
    for (std::size_t i = 1; i < read.size(); ++i)
      for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(*read[i]->pdf).getAllPages())
        pages.addPage(page, false);
    QPDFWriter writer(*read.front()->pdf, path.c_str(), file.get(), false);
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
