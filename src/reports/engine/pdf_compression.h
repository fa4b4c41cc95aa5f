#pragma once

namespace bs {

// While alive, the PDF writer on this thread compresses what it writes at zlib's level 3
// rather than the default 6.  A long report's page contents are a quarter of a gigabyte of
// text before compression, and level 6 spends a third of the painting on it; level 3 runs at
// about two and a half times the speed for a file about a quarter larger.  The pages and their
// pictures are the same.  Other threads, and compressions that name their own level, are
// untouched.
class FasterPdfCompression {
 public:
  FasterPdfCompression();
  ~FasterPdfCompression();
  FasterPdfCompression(const FasterPdfCompression&) = delete;
  FasterPdfCompression& operator=(const FasterPdfCompression&) = delete;

 private:
  int previous_;
};

}  // namespace bs
