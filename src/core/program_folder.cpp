#include "core/program_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

namespace bs {

namespace fs = std::filesystem;

namespace {

// Where an installation puts Data/ and Report/, seen from the folder of the executables.
#ifndef BATCHSEAL_INSTALLED_DATA
#define BATCHSEAL_INSTALLED_DATA "../share/batchseal"
#endif

bool userMayWrite(const fs::path& folder) {
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool isFolder(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p, ec);
}

std::string reason(const std::error_code& ec) {
  return ec.message();
}

// Copies the shipped Data/ and Report/ into `target`, which must not exist yet.  The copy is made
// in a hidden sibling and renamed into place, so that a copy cut short is never taken for a
// finished program folder.  Another program starting at the same time may win the rename; its
// folder is as good as ours.
std::string makeUserFolder(const fs::path& shipped, const fs::path& target) {
  std::error_code ec;
  const fs::path parent = target.parent_path();
  fs::create_directories(parent, ec);
  if (ec) return "Cannot create folder \"" + parent.string() + "\". " + reason(ec);

  std::string pattern = (parent / ("." + target.filename().string() + "-XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data()) == nullptr)
    return "Cannot create a folder in \"" + parent.string() + "\". " + std::strerror(errno);
  const fs::path partial(name.data());
  auto fail = [&](std::string message) {
    std::error_code ignored;
    fs::remove_all(partial, ignored);
    return message;
  };

  for (const char* sub : {"Data", "Report"}) {
    const fs::path from = shipped / sub;
    if (!isFolder(from)) continue;
    fs::copy(from, partial / sub, fs::copy_options::recursive, ec);
    if (ec)
      return fail("Cannot copy \"" + from.string() + "\" to \"" + (partial / sub).string() +
                  "\". " + reason(ec));
  }
  // The shipped files may be read-only; the user's copies are theirs to change.
  for (auto it = fs::recursive_directory_iterator(partial, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    fs::permissions(it->path(), fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::add, ec);
    if (ec) break;
  }
  if (ec) return fail("Cannot make \"" + partial.string() + "\" writable. " + reason(ec));

  if (::rename(partial.c_str(), target.c_str()) != 0) {
    const int error = errno;
    if ((error == EEXIST || error == ENOTEMPTY) && isFolder(target)) return fail("");
    return fail("Cannot rename \"" + partial.string() + "\" to \"" + target.string() + "\". " +
                std::strerror(error));
  }
  return "";
}

}  // namespace

ProgramFolderChoice chooseProgramFolder(const ProgramFolderPlace& place) {
  ProgramFolderChoice choice;
  if (place.home) {
    std::error_code ec;
    fs::path home = fs::absolute(*place.home, ec);
    choice.paths.programFolder = ec ? *place.home : home;
    return choice;
  }
  auto writable = place.isWritable ? place.isWritable : userMayWrite;
  const fs::path& exe = place.executableFolder;
  choice.paths.programFolder = exe;

  fs::path shipped;
  if (isFolder(exe / "Data")) {
    if (writable(exe)) return choice;
    shipped = exe;
  } else if (const fs::path installed = (exe / BATCHSEAL_INSTALLED_DATA).lexically_normal();
             isFolder(installed / "Data")) {
    shipped = installed;
  } else {
    return choice;
  }

  // $XDG_DATA_HOME counts only when it is an absolute path.
  fs::path dataHome;
  if (!place.xdgDataHome.empty() && fs::path(place.xdgDataHome).is_absolute())
    dataHome = place.xdgDataHome;
  else if (!place.userHome.empty())
    dataHome = fs::path(place.userHome) / ".local" / "share";
  else {
    choice.problem = "The program folder \"" + shipped.string() +
                     "\" is read-only and neither XDG_DATA_HOME nor HOME names a folder for "
                     "your own copy. Start the program with --home DIR.";
    return choice;
  }
  const fs::path target = dataHome / "batchseal";
  choice.paths.programFolder = target;
  std::error_code ec;
  const fs::file_status status = fs::status(target, ec);
  if (fs::is_directory(status)) return choice;
  if (fs::exists(status)) {
    choice.problem = "Cannot use \"" + target.string() +
                     "\" as the program folder: it is not a "
                     "folder.";
    return choice;
  }
  choice.problem = makeUserFolder(shipped, target);
  return choice;
}

ProgramFolderChoice chooseProgramFolder(std::optional<fs::path> home) {
  ProgramFolderPlace place;
  place.home = std::move(home);
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  place.executableFolder = ec ? fs::current_path(ec) : exe.parent_path();
  if (const char* v = std::getenv("XDG_DATA_HOME")) place.xdgDataHome = v;
  if (const char* v = std::getenv("HOME"))
    place.userHome = v;
  else if (const passwd* user = ::getpwuid(::geteuid()); user && user->pw_dir)
    place.userHome = user->pw_dir;
  return chooseProgramFolder(place);
}

}  // namespace bs
