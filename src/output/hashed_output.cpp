#include "output/hashed_output.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "core/failure.h"
#include "core/text_lines.h"
#include "output/archive.h"
#include "output/output_preparation.h"
#include "output/replacement_file.h"

namespace bs {

namespace {

constexpr std::size_t kHashBlock = 8192;
constexpr std::size_t kCreditLength = 355;
constexpr std::size_t kPayeeLength = 816;
constexpr const char* kStage = "Writing the output file";

void appendPadded(std::string& out, std::string_view field, std::size_t width) {
  out.append(field.substr(0, width));
  if (field.size() < width) out.append(width - field.size(), ' ');
}

}  // namespace

Sha1::Sha1() : ctx_(EVP_MD_CTX_new(), &EVP_MD_CTX_free) {
  if (!ctx_ || EVP_DigestInit_ex(ctx_.get(), EVP_sha1(), nullptr) != 1)
    throw Failure("SHA-1 is not available");
}

void Sha1::update(const void* data, std::size_t size) {
  EVP_DigestUpdate(ctx_.get(), data, size);
}

Sha1Digest Sha1::digest() {
  Sha1Digest result{};
  unsigned int size = 0;
  if (EVP_DigestFinal_ex(ctx_.get(), result.data(), &size) != 1 || size != result.size())
    throw Failure("SHA-1 is not available");
  return result;
}

void normaliseLine(std::string_view line, bool beneChargeFlag, std::string& out) {
  std::string_view type = line.substr(0, 3);
  if (type == "003") {
    appendPadded(out, cut(line, 1, 335), 335);
    out.append(18, ' ');
    std::string_view charge = cut(line, 354, 354);
    out.push_back(beneChargeFlag && (charge == "B" || charge == "b") ? 'B' : ' ');
    out.push_back(' ');
    return;
  }
  if (type == "004") {
    std::string_view idCard = trim(cut(line, 18, 32));
    if (idCard.size() == 10 && trim(cut(line, 343, 352)).empty()) {
      appendPadded(out, cut(line, 1, 17), 17);
      out.append(15, ' ');
      appendPadded(out, cut(line, 33, 342), 310);
      out.append(idCard);
      appendPadded(out, cut(line, 353, kPayeeLength), kPayeeLength - 352);
      return;
    }
  }
  out.append(line);
}

std::optional<Sha1Digest> hashFile(const std::string& path, std::uint64_t offset) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return std::nullopt;
  Sha1 sha1;
  unsigned char block[kHashBlock];
  for (;;) {
    // A block is filled completely unless the file ends; the first short block, an empty one
    // included, is the last.
    std::size_t got = 0;
    while (got < kHashBlock) {
      ssize_t n = ::pread(fd.get(), block + got, kHashBlock - got, static_cast<off_t>(offset));
      if (n < 0) {
        if (errno == EINTR) continue;
        throwIoFailure("Read error on file", path, errno);
      }
      if (n == 0) break;
      got += static_cast<std::size_t>(n);
      offset += static_cast<std::uint64_t>(n);
    }
    sha1.update(block, got);
    if (got < kHashBlock) break;
  }
  return sha1.digest();
}

std::string hexDigest(const Sha1Digest& digest) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(40);
  for (unsigned char byte : digest) {
    text.push_back(kHex[byte >> 4]);
    text.push_back(kHex[byte & 0x0F]);
  }
  return text;
}

std::string outputPath(const Form& form) {
  return form.rdoReplace.checked ? form.edtFileInput.text : form.edtNewFile.text;
}

void writeHashedOutput(Session& session) {
  writeHashedOutput(session, OutputHooks{});
}

void writeHashedOutput(Session& session, const OutputHooks& hooks) {
  const std::string payment = session.form.edtFileInput.text;
  const std::string output = outputPath(session.form);
  const bool beneChargeFlag = session.state.beneChargeFlag;
  Ui& ui = session.ui;

  // The output is written beside its target and becomes the file only once it is complete, hash
  // line included; in Replace mode the payment file stays whole until then.  The normalised lines
  // follow a reserved hash line, so that they are written once and the hash value goes in front
  // of them when it is known.  The batch run starts this work while it validates the file; the
  // preparation it started is taken over here, else one is made now.
  std::unique_ptr<PendingWork> owned = std::move(session.pendingOutput);
  auto* prepared = dynamic_cast<OutputPreparation*>(owned.get());
  if (!prepared || !prepared->isFor(payment, output, beneChargeFlag)) {
    owned.reset();
    owned = std::make_unique<OutputPreparation>(payment, output, beneChargeFlag);
    prepared = static_cast<OutputPreparation*>(owned.get());
  }
  prepared->wait([&](std::uint64_t done, std::uint64_t size) {
    if (size > 0) ui.progress(kStage, done, size);
  });

  ReplacementFile& out = prepared->file();
  if (hooks.beforeHash) hooks.beforeHash(out.tempPath());
  {
    // The digest was taken of the lines as they were written; a scratch file that can no longer
    // be opened cannot be sealed.
    UniqueFd scratch(::open(out.tempPath().c_str(), O_RDONLY | O_CLOEXEC));
    if (!scratch) {
      // Without a digest there is nothing to seal: no output file and no archive.
      ui.messageBox("Unable to open source file.");
      throw CommandStopped();
    }
  }
  std::string hashLine = hexDigest(prepared->digest()) + "\r\n";
  out.writeAt(0, hashLine);
  out.commit();
  ui.progress(kStage, prepared->paymentSize(), prepared->paymentSize());

  const std::string archive = archiveName(session.form.edtZip.text);
  if (const DeflatedBody* body = prepared->deflated())
    addToArchive(archive, output, hashLine, *body);
  else
    addToArchive(archive, output);
  // A seal whose archive failed is no seal: the hash box stays empty.
  session.form.edtHashvalue.text = hashLine.substr(0, 40);
}

}  // namespace bs
