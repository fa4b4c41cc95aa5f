#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "core/session.h"

struct evp_md_ctx_st;  // OpenSSL's EVP_MD_CTX

namespace bs {

class OutputPreparation;

using Sha1Digest = std::array<unsigned char, 20>;

// SHA-1 through OpenSSL's EVP interface.  Throws Failure("SHA-1 is not available") when the
// library cannot give it.
class Sha1 {
 public:
  Sha1();
  void update(const void* data, std::size_t size);
  Sha1Digest digest();

 private:
  std::unique_ptr<evp_md_ctx_st, void (*)(evp_md_ctx_st*)> ctx_;
};

// The hash line of an output file: 40 hexadecimal digits, then CR LF.
inline constexpr std::size_t kHashLineSize = 42;

// Appends the normalised form of one payment line to `out`.  Credit lines: columns 336-355 become
// blanks, except that column 354 keeps a beneficiary charge "B" (or "b", written as "B") when
// `beneChargeFlag` is on.  Payee lines whose Payee1 Tax ID is blank receive a 10-character Payee1
// ID Card number there, and the ID Card field is blanked.  Every other line is unchanged.
void normaliseLine(std::string_view line, bool beneChargeFlag, std::string& out);

// SHA-1 of the file at `path` from byte `offset` on, read in 8192-byte blocks.  Nothing when the
// file cannot be opened; throws Failure when it cannot be read.
std::optional<Sha1Digest> hashFile(const std::string& path, std::uint64_t offset = 0);

// The 20 digest bytes as 40 upper-case hexadecimal digits.
std::string hexDigest(const Sha1Digest& digest);

// Where the output goes: the payment file in Replace mode, else the new file.
std::string outputPath(const Form& form);

// For tests: called with the scratch file once the normalised lines are written and before they
// are hashed.
struct OutputHooks {
  std::function<void(const std::string& scratchFile)> beforeHash;
};

class PreparedArchive;

// The sealed output and the archive holding it, complete and on the disk in temporary files
// beside their targets; nothing the user sees has changed yet.  Dropped without commit(), it
// removes both, and the payment file stays as the fill left it.
class SealedOutput {
 public:
  SealedOutput(std::unique_ptr<OutputPreparation> prepared,
               std::unique_ptr<PreparedArchive> archive, std::string hashLine,
               std::jthread pagesDropped);
  SealedOutput(SealedOutput&&) noexcept;
  ~SealedOutput();

  // Puts the archive in place, then the output: the payment file, in Replace mode, is replaced
  // last.  Then the hash value goes into edtHashvalue.
  void commit(Session& session);

 private:
  std::unique_ptr<OutputPreparation> prepared_;  // holds the output's temporary file
  std::unique_ptr<PreparedArchive> archive_;
  std::string hashLine_;
  // Drops the cached pages of the payment file that the output replaces, while the archive and
  // the tables go to the disk.
  std::jthread pagesDropped_;
};

// The output step of the batch run, up to the point where everything is ready: the normalised
// lines of the payment file with their hash line in the output's temporary file, and the
// archive's, both synced.  `prepared` is the output started while the batch was validated: it
// is taken over when it is of this batch, else one is made now.  When the normalised lines
// cannot be hashed, shows "Unable to open source file." and then fails naming the scratch file
// and the reason: no output file and no archive are written.
SealedOutput prepareSealedOutput(Session& session, std::unique_ptr<OutputPreparation> prepared,
                                 const OutputHooks& hooks = {});

// The whole output step: prepareSealedOutput, the command's report tables committed, then the
// archive and the output put in place.  A failure at any step leaves the payment file as the
// fill left it and removes what was prepared.
void writeHashedOutput(Session& session, std::unique_ptr<OutputPreparation> prepared,
                       const OutputHooks& hooks = {});
void writeHashedOutput(Session& session, const OutputHooks& hooks = {});

}  // namespace bs
