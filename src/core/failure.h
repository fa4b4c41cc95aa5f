#pragma once

#include <memory>
#include <stdexcept>
#include <string>

namespace bs {

// A failure that ends the running command: a conversion that refuses its text, a file that cannot
// be opened, read or written, an error of the table store, the report engine or the archive.
// Only the command handler at the top catches it and shows its message, byte for byte, in an
// error box.  Faults in the data are never failures; they are error rows.
class Failure : public std::runtime_error {
 public:
  explicit Failure(const std::string& message)
      : std::runtime_error(message), message_(std::make_shared<const std::string>(message)) {}
  // The whole message; what() stops at a NUL byte that a quoted field may hold.
  const std::string& message() const noexcept { return *message_; }

 private:
  std::shared_ptr<const std::string> message_;
};

// A command that ends after it has shown the user why: the handler at the top shows nothing
// more.
class CommandStopped : public std::exception {
 public:
  const char* what() const noexcept override { return "command stopped"; }
};

// The message of an I/O error on `path`, in the platform's words ("Cannot open file ...").
[[noreturn]] void throwIoFailure(const std::string& what, const std::string& path, int errorNumber);

// The message of a file that cannot be opened for reading: "Cannot open file ..." with the
// platform's reason, or the plain reason when it is a folder (EISDIR) or a device, a pipe or a
// socket (ENODEV).
[[noreturn]] void throwOpenFailure(const std::string& path, int errorNumber);
// The message of a name that is a folder, or a device, a pipe or a socket, where a file is meant:
// `what` ("Cannot create file"), the name and the plain reason.
[[noreturn]] void throwNotAFile(const std::string& what, const std::string& path, bool folder);

}  // namespace bs
