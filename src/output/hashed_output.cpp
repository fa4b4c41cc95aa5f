#include "output/hashed_output.h"

#include <openssl/evp.h>

#include <cerrno>
#include <memory>

#include "core/failure.h"
#include "core/platform_file.h"
#include "core/text_lines.h"
#include "output/archive.h"
#include "output/output_preparation.h"
#include "output/replacement_file.h"
#include "store/table_store.h"

namespace bs {

namespace {

constexpr std::size_t kHashBlock = 8192;
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
  int error = 0;
  UniqueFd fd = openForReading(path, error);
  if (!fd) return std::nullopt;
  Sha1 sha1;
  unsigned char block[kHashBlock];
  for (;;) {
    // A block is filled completely unless the file ends; the first short block, an empty one
    // included, is the last.
    std::size_t got = 0;
    while (got < kHashBlock) {
      long long n = readAt(fd.get(), block + got, kHashBlock - got, offset);
      if (n < 0) throwIoFailure("Read error on file", path, static_cast<int>(-n));
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

void writeHashedOutput(Session& session, const OutputHooks& hooks) {
  writeHashedOutput(session, nullptr, hooks);
}

SealedOutput::SealedOutput(std::unique_ptr<OutputPreparation> prepared,
                           std::unique_ptr<PreparedArchive> archive, std::string hashLine,
                           std::jthread pagesDropped)
    : prepared_(std::move(prepared)),
      archive_(std::move(archive)),
      hashLine_(std::move(hashLine)),
      pagesDropped_(std::move(pagesDropped)) {}

SealedOutput::SealedOutput(SealedOutput&&) noexcept = default;
SealedOutput::~SealedOutput() = default;

void SealedOutput::commit(Session& session) {
  archive_->commit();
  if (pagesDropped_.joinable()) pagesDropped_.join();
  prepared_->file().commit();
  // The hash box shows a value only once the file that carries it is in place.
  session.form.edtHashvalue.text = hashLine_.substr(0, 40);
  session.ui.progress(kStage, prepared_->paymentSize(), prepared_->paymentSize());
}

SealedOutput prepareSealedOutput(Session& session, std::unique_ptr<OutputPreparation> prepared,
                                 const OutputHooks& hooks) {
  const std::string payment = session.form.edtFileInput.text;
  const std::string output = outputPath(session.form);
  const bool beneChargeFlag = session.state.beneChargeFlag;
  Ui& ui = session.ui;

  // The output is written beside its target and becomes the file only once it is complete, hash
  // line included; in Replace mode the payment file stays whole until then.  The normalised lines
  // follow a reserved hash line, so that they are written once and the hash value goes in front
  // of them when it is known.  The batch run starts this work while it validates the file; the
  // preparation it started is taken over here, else one is made now.
  if (!prepared || !prepared->isFor(payment, output, beneChargeFlag)) {
    prepared.reset();
    prepared = std::make_unique<OutputPreparation>(payment, output, beneChargeFlag);
  }
  prepared->wait([&](std::uint64_t done, std::uint64_t size) {
    if (size > 0) ui.progress(kStage, done, size);
  });

  // Nothing reads the payment file any more.  When the output replaces it, its cached pages are
  // dropped now, in the background, rather than by the rename that replaces it.
  std::jthread pagesDropped;
  if (output == payment) pagesDropped = std::jthread([payment] { dropCachedPages(payment); });

  ReplacementFile& out = prepared->file();
  if (hooks.beforeHash) hooks.beforeHash(out.tempPath());
  if (int error = prepared->seal(archiveName(session.form.edtZip.text))) {
    // Without a digest there is nothing to seal: no output file and no archive.
    ui.messageBox("Unable to open source file.");
    throwOpenFailure(out.tempPath(), error);
  }
  std::unique_ptr<PreparedArchive> archive = prepared->takeArchive();
  std::string hashLine = prepared->hashLine();
  return SealedOutput(std::move(prepared), std::move(archive), std::move(hashLine),
                      std::move(pagesDropped));
}

void writeHashedOutput(Session& session, std::unique_ptr<OutputPreparation> prepared,
                       const OutputHooks& hooks) {
  SealedOutput sealed = prepareSealedOutput(session, std::move(prepared), hooks);
  if (session.store && session.store->inCommand()) session.store->commitCommand();
  sealed.commit(session);
}

}  // namespace bs
